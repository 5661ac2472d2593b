// Owner-drawn push buttons: a grey gradient face, a raised or sunken edge and a centred caption.
#include "ui/owner_button.hpp"

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cmath>

#include "ui/look.hpp"

namespace orvane {
namespace {

constexpr int kPressedWithFocus = kItemSelected | kItemFocus;

// The grey of a fractional level, rounded to the nearest integer with halves to even.
QColor FaceGrey(float level) { return GreyLevel(static_cast<int>(std::nearbyint(level))); }

// One side pair of a 3-D edge: top and left in one colour, bottom and right in another.
void DrawEdgeRing(QPainter& painter, const QRect& r, const QColor& topLeft,
                  const QColor& bottomRight) {
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

// The platform's standard 3-D border: raised (outer light/dark-shadow, inner
// highlight/shadow) or sunken (the same colours turned round).
void DrawEdge(QPainter& painter, const QRect& r, bool sunken, const QPalette& colours) {
    const QColor highlight = colours.color(QPalette::Active, QPalette::Light);
    const QColor light = colours.color(QPalette::Active, QPalette::Midlight);
    const QColor shadow = colours.color(QPalette::Active, QPalette::Dark);
    const QColor darkShadow = colours.color(QPalette::Active, QPalette::Shadow);
    const QRect inner = r.adjusted(1, 1, -1, -1);
    if (sunken) {
        DrawEdgeRing(painter, r, shadow, highlight);
        DrawEdgeRing(painter, inner, darkShadow, light);
    } else {
        DrawEdgeRing(painter, r, light, darkShadow);
        DrawEdgeRing(painter, inner, highlight, shadow);
    }
}

}  // namespace

void PaintButtonFace(QPainter& painter, int width, int height) {
    if (width <= 0 || height <= 0) return;
    QImage face(width, height, QImage::Format_RGB32);
    face.fill(Qt::black);
    const int half = height / 2;
    const float step = half > 0 ? 128.0f / static_cast<float>(half) : 0.0f;
    float level = 127.0f;
    QPainter facePainter(&face);
    for (int y = 0; y <= half; ++y) {
        facePainter.fillRect(QRect(0, y, width, 1), FaceGrey(level));
        level += step;
    }
    // Row `half` is drawn again here and ends white; row `height` lies outside the image.
    for (int y = half; y <= height; ++y) {
        facePainter.fillRect(QRect(0, y, width, 1), FaceGrey(level));
        level -= step;
    }
    facePainter.end();
    painter.drawImage(0, 0, face);
}

void DrawOwnerButton(QPainter& painter, const DrawItemRequest& request, const QFont& font,
                     const QPalette& colours) {
    painter.save();
    painter.setFont(font);
    PaintButtonFace(painter, request.rect.right() + 1, request.rect.bottom() + 1);
    DrawEdge(painter, request.rect, request.state == kPressedWithFocus, colours);
    const bool disabled = (request.state & kItemDisabled) != 0;
    painter.setPen(disabled ? colours.color(QPalette::Disabled, QPalette::ButtonText)
                            : colours.color(QPalette::Active, QPalette::ButtonText));
    painter.drawText(request.rect, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                     request.caption.left(127));
    painter.restore();
}

OwnerButton::OwnerButton(const QString& caption, const QFont& captionFont, QWidget* parent)
    : QPushButton(caption, parent), captionFont_(captionFont) {
    setAutoDefault(false);
}

int OwnerButton::ItemState() const {
    int state = 0;
    if (isDown()) state |= kItemSelected;
    if (!isEnabled()) state |= kItemDisabled;
    if (hasFocus()) state |= kItemFocus;
    return state;
}

void OwnerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawOwnerButton(painter, DrawItemRequest{rect(), ItemState(), text()}, captionFont_, palette());
}

}  // namespace orvane
