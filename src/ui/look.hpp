// The shared look of every window: the 32-colour palette and the stock fonts.
#pragma once

#include <QColor>
#include <QFont>
#include <array>

namespace orvane {

inline constexpr int kPaletteSize = 32;
inline constexpr int kPaletteBlack = 0;   // text
inline constexpr int kPaletteWindow = 7;  // window background, 196 grey
inline constexpr int kPaletteWhite = 15;  // value fields

// Palette colour `index`; an index outside 0..31 is black.
QColor PaletteColor(int index);

// A grey of the given level, limited to 0..255 first.
QColor GreyLevel(int level);

// Indices of the stock-font table, in the order the table holds them.
enum StockFontIndex {
    kSystemFont = 0,   // labels of the small dialogs
    kAnsiVarFont = 1,  // captions of the owner-drawn buttons
    kStockFontCount = 2,
};

// The dialog font every window is laid out in; it defines the size of a dialog unit. The
// classic 8-point dialog face is asked for first and a sans-serif face of the same size stands
// in where it is missing.
QFont DialogFont();

// The stock-font table, created once at start-up by the program and handed to every window it
// builds.
class Look {
  public:
    void CreateFontTable();

    const QFont& Font(int index) const;  // an index outside the table gives the system font

  private:
    std::array<QFont, kStockFontCount> fonts_;
};

}  // namespace orvane
