// Text at the display edge: the core's Windows-1252 bytes to and from the widgets' Unicode.
#include "platform/text_codec.hpp"

#include <array>

namespace orvane {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char16_t CodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

}  // namespace

QString FromWindows1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(CodePoint(static_cast<unsigned char>(c)));
    return text;
}

std::string ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t unit = ch.unicode();
        char byte = '?';
        if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
            byte = static_cast<char>(unit);
        } else {
            for (std::size_t i = 0; i < kHighControls.size(); ++i) {
                if (kHighControls[i] == unit) byte = static_cast<char>(0x80 + i);
            }
        }
        bytes.push_back(byte);
    }
    return bytes;
}

}  // namespace orvane
