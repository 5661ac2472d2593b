// The Statistics window: the line's figures beside the list, read again once a second while a
// capture grows.
#include "ui/statistics_window.hpp"

#include <QApplication>
#include <QAreaSeries>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/text_codec.hpp"
#include "ui/dialog_frame.hpp"
#include "views/line_statistics.hpp"

namespace orvane {
namespace {

constexpr int kNameColumns = 8;
const char* const kNameHeaders[kNameColumns] = {"Name", "Side",   "Count", "Share",
                                                "Min",  "Median", "P95",   "Max"};

QString SideName(bool fromDevice) {
    return fromDevice ? QStringLiteral("deck") : QStringLiteral("controller");
}

// The names as the table lists them: the controller's first, then the deck's, each by count.
std::vector<const NameStatistics*> SortedNames(const LineStatistics& statistics) {
    std::vector<const NameStatistics*> names;
    for (const NameStatistics& name : statistics.names()) names.push_back(&name);
    std::stable_sort(names.begin(), names.end(), [](const auto* a, const auto* b) {
        if (a->fromDevice != b->fromDevice) return !a->fromDevice;
        return a->count > b->count;
    });
    return names;
}

QTableWidgetItem* Cell(const QString& text, bool number) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidget* MakeTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    // The window opens with the focus on its buttons, no row of a table marked.
    table->setFocusPolicy(Qt::ClickFocus);
    return table;
}

QValueAxis* MakeAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%g"));
    return axis;
}

QChartView* MakeChartView(QChart* chart, QWidget* parent) {
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(320, 220);
    return view;
}

// A round step that cuts `span` into at most ten parts: 1, 2, 5, 10, 20, ...
double RoundStep(double span) {
    double step = 1;
    while (true) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (span / (step * factor) <= 10) return step * factor;
        }
        step *= 10;
    }
}

// An axis from 0 to the first round step at or above `highest`, a tick each step.
void SetValueRange(QValueAxis* axis, double highest) {
    const double step = RoundStep(std::max(1.0, highest));
    const double steps = std::max(1.0, std::ceil(highest / step));
    axis->setRange(0, steps * step);
    axis->setTickCount(static_cast<int>(steps) + 1);
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setWindowTitle(QStringLiteral("Statistics"));
    setObjectName(QStringLiteral("statisticsWindow"));
    ApplyWindowLook(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("statisticsSummary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QStringList nameHeaders;
    for (const char* header : kNameHeaders) nameHeaders << QString::fromLatin1(header);
    names_ = MakeTable(this, nameHeaders);
    names_->setObjectName(QStringLiteral("nameTable"));
    names_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < kNameColumns; ++column) {
        names_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    verdicts_ = MakeTable(this, {QStringLiteral("Verdict"), QStringLiteral("Packets")});
    verdicts_->setObjectName(QStringLiteral("verdictTable"));
    verdicts_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    verdicts_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    verdicts_->setMinimumWidth(260);

    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    csv_ = new QPushButton(QStringLiteral("Save as CSV..."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(copy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(NameTableText()); });
    connect(csv_, &QPushButton::clicked, this, &StatisticsWindow::CsvFileWanted);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QGridLayout(this);
    layout->addWidget(summary_, 0, 0, 1, 2);
    layout->addWidget(names_, 1, 0);
    layout->addWidget(verdicts_, 1, 1);
    BuildCharts();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy_);
    buttons->addWidget(csv_);
    buttons->addWidget(close);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    layout->setRowStretch(1, 1);
    layout->setRowStretch(2, 1);
    resize(960, 680);

    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &StatisticsWindow::RefreshWanted);
    Refresh();
}

void StatisticsWindow::BuildCharts() {
    auto* grid = qobject_cast<QGridLayout*>(layout());
    histogramChart_ = new QChart;
    histogramChart_->setTitle(QStringLiteral("Reply latency"));
    histogramChart_->legend()->hide();
    histogramBars_ = new QBarSet(QStringLiteral("Replies"));
    histogramBars_->setColor(QColor(0x3B, 0x6E, 0xA5));
    histogramBars_->setBorderColor(QColor(0x3B, 0x6E, 0xA5));
    auto* bars = new QBarSeries;
    bars->setBarWidth(0.9);
    bars->append(histogramBars_);
    histogramChart_->addSeries(bars);
    QValueAxis* latencyAxis = MakeAxis(QStringLiteral("ms"));
    // Bars stand on whole milliseconds: the labels too.
    latencyAxis->setTickType(QValueAxis::TicksDynamic);
    latencyAxis->setTickAnchor(0);
    latencyAxis->setLabelFormat(QStringLiteral("%.0f"));
    QValueAxis* countAxis = MakeAxis(QStringLiteral("replies"));
    countAxis->setLabelFormat(QStringLiteral("%.0f"));
    histogramChart_->addAxis(latencyAxis, Qt::AlignBottom);
    histogramChart_->addAxis(countAxis, Qt::AlignLeft);
    bars->attachAxis(latencyAxis);
    bars->attachAxis(countAxis);
    grid->addWidget(MakeChartView(histogramChart_, this), 2, 0);

    timelineChart_ = new QChart;
    timelineChart_->setTitle(QStringLiteral("Latency over time"));
    // The band from the least to the longest latency of each stretch, the median over it.
    min_ = new QLineSeries(this);
    max_ = new QLineSeries(this);
    auto* band = new QAreaSeries(max_, min_);
    band->setName(QStringLiteral("min to max"));
    band->setColor(QColor(0xB8, 0xCC, 0xE4));
    band->setBorderColor(QColor(0x8F, 0xAE, 0xD3));
    median_ = new QLineSeries;
    median_->setName(QStringLiteral("median"));
    median_->setPen(QPen(QColor(0x1F, 0x3F, 0x66), 1.5));
    timelineChart_->addSeries(band);
    timelineChart_->addSeries(median_);
    QValueAxis* timeAxis = MakeAxis(QStringLiteral("s"));
    QValueAxis* msAxis = MakeAxis(QStringLiteral("ms"));
    timelineChart_->addAxis(timeAxis, Qt::AlignBottom);
    timelineChart_->addAxis(msAxis, Qt::AlignLeft);
    for (QAbstractSeries* series :
         {static_cast<QAbstractSeries*>(band), static_cast<QAbstractSeries*>(median_)}) {
        series->attachAxis(timeAxis);
        series->attachAxis(msAxis);
    }
    timelineChart_->legend()->setAlignment(Qt::AlignTop);
    grid->addWidget(MakeChartView(timelineChart_, this), 2, 1);
}

void StatisticsWindow::SetStatistics(const LineStatistics* statistics) {
    statistics_ = statistics;
    Refresh();
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh_.start();
}

void StatisticsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    refresh_.stop();
}

void StatisticsWindow::Refresh() {
    if (statistics_ == nullptr) {
        summary_->setText(QStringLiteral("No capture."));
    } else {
        const LineStatistics& s = *statistics_;
        QString text = QStringLiteral("Packets: %1 in %2 s    Polls: %3 (%4 a second)")
                           .arg(s.packetCount())
                           .arg(static_cast<double>(s.durationMs()) / 1000.0, 0, 'f', 1)
                           .arg(s.pollCount())
                           .arg(s.PollsPerSecond(), 0, 'f', 1);
        const LatencyHistogram& latency = s.replyLatency();
        if (latency.count() > 0) {
            text += QStringLiteral("    Replies: %1, latency median %2 ms, p95 %3 ms")
                        .arg(latency.count())
                        .arg(latency.Percentile(50))
                        .arg(latency.Percentile(95));
        }
        text += QStringLiteral("    Lost messages: %1").arg(s.lostMessages());
        summary_->setText(text);
    }
    FillNames();
    FillVerdicts();
    FillHistogram();
    FillTimeline();
}

void StatisticsWindow::FillNames() {
    if (statistics_ == nullptr) {
        names_->setRowCount(0);
        return;
    }
    const std::vector<const NameStatistics*> names = SortedNames(*statistics_);
    names_->setRowCount(static_cast<int>(names.size()));
    const double packets =
        static_cast<double>(std::max<std::uint64_t>(1, statistics_->packetCount()));
    for (int row = 0; row < static_cast<int>(names.size()); ++row) {
        const NameStatistics& name = *names[static_cast<std::size_t>(row)];
        const LatencyHistogram& latency = name.latency;
        const bool timed = latency.count() > 0;
        const auto ms = [timed](std::uint32_t value) {
            return timed ? QString::number(value) : QString();
        };
        const QString cells[kNameColumns] = {
            FromWindows1252(name.name),
            SideName(name.fromDevice),
            QString::number(name.count),
            QStringLiteral("%1 %").arg(100.0 * static_cast<double>(name.count) / packets, 0, 'f',
                                       1),
            ms(timed ? latency.min() : 0),
            ms(timed ? latency.Percentile(50) : 0),
            ms(timed ? latency.Percentile(95) : 0),
            ms(timed ? latency.max() : 0),
        };
        for (int column = 0; column < kNameColumns; ++column) {
            names_->setItem(row, column, Cell(cells[column], column >= 2));
        }
    }
}

void StatisticsWindow::FillVerdicts() {
    std::vector<std::pair<QString, std::uint64_t>> rows;
    if (statistics_ != nullptr) {
        for (int kind = 0; kind < kVerdictKindCount; ++kind) {
            const auto verdict = static_cast<VerdictKind>(kind);
            rows.emplace_back(QString::fromLatin1(VerdictKindName(verdict)),
                              statistics_->VerdictCount(verdict));
        }
        for (int bit = 0; bit < 8; ++bit) {
            const char* reason = NakReasonName(bit);
            const std::uint64_t count = statistics_->NakReasonCount(bit);
            if (reason == nullptr && count == 0) continue;
            rows.emplace_back(QStringLiteral("NAK: ") +
                                  (reason != nullptr ? QString::fromLatin1(reason)
                                                     : QStringLiteral("error bit %1").arg(bit)),
                              count);
        }
    }
    verdicts_->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        const auto& [label, count] = rows[static_cast<std::size_t>(row)];
        verdicts_->setItem(row, 0, Cell(label, false));
        verdicts_->setItem(row, 1, Cell(QString::number(count), true));
    }
}

void StatisticsWindow::FillHistogram() {
    // One bar a millisecond from 0 to the longest latency.
    QList<qreal> counts;
    qreal highest = 0;
    if (statistics_ != nullptr && statistics_->replyLatency().count() > 0) {
        const LatencyHistogram& latency = statistics_->replyLatency();
        for (std::uint32_t ms = 0; ms <= latency.max(); ++ms) {
            const auto overflow = latency.overflow().find(ms);
            const std::uint64_t count =
                ms < LatencyHistogram::kBinCount
                    ? latency.BinCount(ms)
                    : (overflow != latency.overflow().end() ? overflow->second : 0);
            counts.append(static_cast<qreal>(count));
            highest = std::max(highest, static_cast<qreal>(count));
        }
    }
    histogramBars_->remove(0, histogramBars_->count());
    histogramBars_->append(counts);
    const auto axes = histogramChart_->axes();
    for (QAbstractAxis* axis : axes) {
        auto* value = qobject_cast<QValueAxis*>(axis);
        if (value == nullptr) continue;
        if (axis->alignment() == Qt::AlignBottom) {
            const qreal bars = std::max<qreal>(1, static_cast<qreal>(counts.size()));
            value->setRange(-0.5, bars - 0.5);
            value->setTickInterval(RoundStep(bars));
        } else {
            SetValueRange(value, highest);
        }
    }
}

void StatisticsWindow::FillTimeline() {
    QList<QPointF> medians;
    QList<QPointF> minima;
    QList<QPointF> maxima;
    double lastSecond = 1;
    double highest = 0;
    if (statistics_ != nullptr) {
        const LatencyTimeline& timeline = statistics_->latencyOverTime();
        for (const LatencyPoint& point : timeline.Points()) {
            // Each stretch is drawn at its middle.
            const double second = (static_cast<double>(point.startMs) +
                                   static_cast<double>(timeline.bucketMs()) / 2) /
                                  1000.0;
            medians.append(QPointF(second, point.median));
            minima.append(QPointF(second, point.min));
            maxima.append(QPointF(second, point.max));
            lastSecond = std::max(lastSecond, (static_cast<double>(point.startMs) +
                                               static_cast<double>(timeline.bucketMs())) /
                                                  1000.0);
            highest = std::max(highest, static_cast<double>(point.max));
        }
    }
    median_->replace(medians);
    min_->replace(minima);
    max_->replace(maxima);
    const auto axes = timelineChart_->axes();
    for (QAbstractAxis* axis : axes) {
        auto* value = qobject_cast<QValueAxis*>(axis);
        if (value == nullptr) continue;
        SetValueRange(value, axis->alignment() == Qt::AlignBottom ? lastSecond : highest);
    }
}

QString StatisticsWindow::NameTableText() const {
    QString text;
    for (int column = 0; column < kNameColumns; ++column) {
        if (column > 0) text += QLatin1Char('\t');
        text += QString::fromLatin1(kNameHeaders[column]);
    }
    text += QLatin1Char('\n');
    for (int row = 0; row < names_->rowCount(); ++row) {
        for (int column = 0; column < kNameColumns; ++column) {
            if (column > 0) text += QLatin1Char('\t');
            const QTableWidgetItem* item = names_->item(row, column);
            if (item != nullptr) text += item->text();
        }
        text += QLatin1Char('\n');
    }
    return text;
}

}  // namespace orvane
