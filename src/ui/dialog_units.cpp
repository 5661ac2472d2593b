// Dialog units: window layouts are given in units of the dialog font, converted to pixels here.
#include "ui/dialog_units.hpp"

#include <QFontMetrics>
#include <QString>
#include <cmath>
#include <cstdint>

namespace orvane {
namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// round(pixels * 1024 / span), halves up.
int FromPixels(int pixels, int span) {
    if (span <= 0) return 0;
    const double exact = static_cast<double>(pixels) * 1024.0 / span;
    return static_cast<int>(std::floor(exact + 0.5));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int lettersWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (lettersWidth / 26 + 1) / 2;
    baseHeight_ = metrics.height();
    if (baseWidth_ < 1) baseWidth_ = 1;
    if (baseHeight_ < 1) baseHeight_ = 1;
}

int DialogUnits::ToPixelsX(int units) const { return MulDiv(units, baseWidth_, 4); }
int DialogUnits::ToPixelsY(int units) const { return MulDiv(units, baseHeight_, 8); }

QRect DialogUnits::ToPixels(const QRect& units) const {
    return QRect(ToPixelsX(units.x()), ToPixelsY(units.y()), ToPixelsX(units.width()),
                 ToPixelsY(units.height()));
}

QSize DialogUnits::ToPixels(const QSize& units) const {
    return QSize(ToPixelsX(units.width()), ToPixelsY(units.height()));
}

int DialogUnits::FromPixelsX(int pixels) const { return FromPixels(pixels, ToPixelsX(1024)); }
int DialogUnits::FromPixelsY(int pixels) const { return FromPixels(pixels, ToPixelsY(1024)); }

}  // namespace orvane
