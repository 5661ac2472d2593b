// Dialog units: window layouts are given in units of the dialog font, converted to pixels here.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace orvane {

// A horizontal dialog unit is a quarter of the font's average character width, a vertical one
// an eighth of its character height. The average width is taken the classic way: the width of
// the 52 letters A-Z a-z, divided by 26, plus one, halved, in whole pixels.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont& font);

    // Dialog units to pixels, rounded to the nearest pixel, halves away from zero.
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    QRect ToPixels(const QRect& units) const;
    QSize ToPixels(const QSize& units) const;

    // Pixels to dialog units: units = round(pixels * 1024 / P), halves up, where P is the number
    // of pixels that 1024 dialog units span on that axis.
    int FromPixelsX(int pixels) const;
    int FromPixelsY(int pixels) const;

  private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace orvane
