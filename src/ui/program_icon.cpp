// The program's icon: a 32 x 32 picture of two serial-line traces, drawn in code.
#include "ui/program_icon.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace orvane {
namespace {

// A pulse train along `baseline`, high where `bits` has a 1, each bit `bitWidth` wide.
QPainterPath PulseTrain(const char* bits, qreal left, qreal baseline, qreal high, qreal bitWidth) {
    QPainterPath path;
    path.moveTo(left, baseline);
    qreal x = left;
    bool up = false;
    for (const char* bit = bits; *bit != '\0'; ++bit) {
        const bool wantUp = *bit == '1';
        if (wantUp != up) {
            path.lineTo(x, wantUp ? baseline - high : baseline);
            up = wantUp;
        }
        x += bitWidth;
        path.lineTo(x, up ? baseline - high : baseline);
    }
    return path;
}

}  // namespace

QImage ProgramIconImage() {
    QImage image(kProgramIconSize, kProgramIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient tile(0, 0, 0, kProgramIconSize);
    tile.setColorAt(0.0, QColor(38, 70, 140));
    tile.setColorAt(1.0, QColor(12, 28, 70));
    painter.setPen(QPen(QColor(8, 16, 40), 1.0));
    painter.setBrush(tile);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 31, 31), 6, 6);

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 190, 40), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(PulseTrain("0101100101", 3, 14, 7, 2.6));
    painter.setPen(QPen(QColor(245, 245, 245), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(PulseTrain("0011010110", 3, 26, 7, 2.6));
    painter.end();
    return image;
}

QIcon ProgramIcon() { return QIcon(QPixmap::fromImage(ProgramIconImage())); }

}  // namespace orvane
