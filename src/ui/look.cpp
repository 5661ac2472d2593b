// The shared look of every window: the 32-colour palette and the stock fonts.
#include "ui/look.hpp"

#include <QFontDatabase>
#include <algorithm>

namespace orvane {
namespace {

struct Rgb {
    int r, g, b;
};

constexpr std::array<Rgb, kPaletteSize> kPalette = {{
    {0, 0, 0},       {0, 0, 128},     {0, 128, 0},     {0, 128, 128},    // 0..3
    {196, 0, 0},     {128, 0, 128},   {128, 64, 0},    {196, 196, 196},  // 4..7
    {128, 128, 128}, {0, 0, 255},     {0, 255, 0},     {0, 255, 255},    // 8..11
    {255, 0, 0},     {255, 0, 255},   {255, 255, 0},   {255, 255, 255},  // 12..15
    {164, 164, 164}, {128, 160, 255}, {160, 255, 160}, {160, 255, 255},  // 16..19
    {255, 160, 160}, {255, 160, 255}, {255, 255, 160}, {212, 212, 212},  // 20..23
    {180, 180, 180}, {188, 220, 255}, {220, 255, 220}, {220, 255, 255},  // 24..27
    {255, 220, 220}, {255, 220, 255}, {255, 255, 220}, {228, 228, 228},  // 28..31
}};

}  // namespace

QColor PaletteColor(int index) {
    if (index < 0 || index >= kPaletteSize) return QColor(0, 0, 0);
    const Rgb& c = kPalette[static_cast<std::size_t>(index)];
    return QColor(c.r, c.g, c.b);
}

QColor GreyLevel(int level) {
    const int limited = std::clamp(level, 0, 255);
    return QColor(limited, limited, limited);
}

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

void Look::CreateFontTable() {
    // The stock fonts of the classic desktop that the windows use, each matched by a face of
    // similar role and size: a bold proportional system face and the proportional dialog face.
    QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    system.setPixelSize(13);
    system.setBold(true);
    fonts_ = {system, DialogFont()};
}

const QFont& Look::Font(int index) const {
    if (index < 0 || index >= kStockFontCount) return fonts_[kSystemFont];
    return fonts_[static_cast<std::size_t>(index)];
}

}  // namespace orvane
