// How the analysis shows in the lists: the Latency and Verdict columns, the tint of a row with a
// problem and the shape that tells an error from a warning.
#include "ui/analysis_look.hpp"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTableView>
#include <algorithm>

#include "ui/look.hpp"
#include "views/list_model.hpp"

namespace orvane {
namespace {

constexpr int kCommandColumn = 4;
constexpr int kCommandWidthPx = 240;
constexpr int kLatencyWidthPx = 56;
constexpr int kVerdictWidthPx = 220;
constexpr int kIconPx = 12;
constexpr int kIconScale = 2;  // drawn at twice the size, so it stays sharp on dense screens

// A transparent square for a shape, drawn at kIconScale times its size.
QPixmap BlankShape() {
    QPixmap pixmap(kIconPx * kIconScale, kIconPx * kIconScale);
    pixmap.setDevicePixelRatio(kIconScale);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A round sign with a white cross: an error stops the exchange.
QPixmap ErrorShape() {
    QPixmap pixmap = BlankShape();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xC6, 0x28, 0x28));
    painter.drawEllipse(QRectF(0.5, 0.5, kIconPx - 1.0, kIconPx - 1.0));
    painter.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(3.8, 3.8), QPointF(kIconPx - 3.8, kIconPx - 3.8));
    painter.drawLine(QPointF(kIconPx - 3.8, 3.8), QPointF(3.8, kIconPx - 3.8));
    return pixmap;
}

// A triangle with an exclamation mark: a warning is worth a look.
QPixmap WarningShape() {
    QPixmap pixmap = BlankShape();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygonF triangle({QPointF(kIconPx / 2.0, 0.6), QPointF(kIconPx - 0.4, kIconPx - 0.8),
                              QPointF(0.4, kIconPx - 0.8)});
    painter.setPen(QPen(QColor(0x5D, 0x40, 0x00), 0.8));
    painter.setBrush(QColor(0xF2, 0xB7, 0x05));
    painter.drawPolygon(triangle);
    painter.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(kIconPx / 2.0, 4.2), QPointF(kIconPx / 2.0, 7.4));
    painter.drawPoint(QPointF(kIconPx / 2.0, 9.4));
    return pixmap;
}

// The shape keeps its colours on a selected row too.
QIcon ShapeIcon(const QPixmap& shape) {
    QIcon icon(shape);
    icon.addPixmap(shape, QIcon::Selected);
    return icon;
}

}  // namespace

QColor SeverityTint(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return QColor(0xF8, 0xD4, 0xD0);
        case Severity::kWarning:
            return QColor(0xFF, 0xF0, 0xC2);
        case Severity::kNone:
            break;
    }
    return {};
}

QIcon SeverityIcon(Severity severity) {
    static const QIcon kError = ShapeIcon(ErrorShape());
    static const QIcon kWarning = ShapeIcon(WarningShape());
    switch (severity) {
        case Severity::kError:
            return kError;
        case Severity::kWarning:
            return kWarning;
        case Severity::kNone:
            break;
    }
    return {};
}

QVariant AnalysisCellData(const AnalysisCells& cells, int column, int role) {
    if (role == kSeverityRole) return static_cast<int>(cells.severity);
    if (role == Qt::BackgroundRole) {
        if (cells.severity == Severity::kNone) return {};
        return SeverityTint(cells.severity);
    }
    if (column == 0 && role == Qt::DisplayRole) return QString::fromLatin1(cells.latency);
    if (column == 0 && role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (column != 1) return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(cells.verdict);
    if (role == Qt::DecorationRole && cells.severity != Severity::kNone) {
        return SeverityIcon(cells.severity);
    }
    if (role == Qt::FontRole && cells.severity == Severity::kError) {
        QFont bold = DialogFont();
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

QVariant AnalysisHeaderData(int column, int role) {
    if (role == Qt::DisplayRole) {
        return column == 0 ? QStringLiteral("Latency") : QStringLiteral("Verdict");
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue((column == 0 ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    }
    return {};
}

void ApplyAnalysisColumnWidths(QTableView* view, const ListModel& columns, bool shown) {
    if (columns.ColumnCount() <= kCommandColumn) return;
    const int commandWidth = columns.ColumnWidth(kCommandColumn);
    if (!shown) {
        view->setColumnWidth(kCommandColumn, commandWidth);
        return;
    }
    view->setColumnWidth(kCommandColumn, std::min(commandWidth, kCommandWidthPx));
    view->setColumnWidth(columns.ColumnCount(), kLatencyWidthPx);
    view->setColumnWidth(columns.ColumnCount() + 1, kVerdictWidthPx);
}

}  // namespace orvane
