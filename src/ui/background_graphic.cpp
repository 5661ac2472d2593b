// The background graphic of every window: a persistent image painted with grey bands once.
#include "ui/background_graphic.hpp"

#include <QPainter>

#include "ui/control_ids.hpp"
#include "ui/look.hpp"

namespace orvane {

BackgroundGraphic::BackgroundGraphic(QWidget* parent, const QSize& sizePx)
    : QWidget(parent), image_(sizePx, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("id%1").arg(kIdBackground));
    image_.fill(palette().color(QPalette::Active, QPalette::Button));
    setGeometry(QRect(QPoint(0, 0), sizePx));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BackgroundGraphic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void PaintGradientBackground(QWidget* window, int startLevel, int turningRow, int lastRow) {
    auto* graphic =
        window->findChild<BackgroundGraphic*>(QStringLiteral("id%1").arg(kIdBackground));
    if (graphic == nullptr) return;
    QImage& image = graphic->image();
    QPainter painter(&image);
    const int width = std::min(kGradientLineEnd, image.width());
    int level = startLevel;
    for (int y = 0; y <= lastRow; ++y) {
        painter.fillRect(QRect(0, y - 1, width, 3), GreyLevel(level));
        level += y < turningRow ? 2 : -2;
    }
    painter.end();
    graphic->update();
}

}  // namespace orvane
