// The Statistics window: the line's figures beside the list, read again once a second while a
// capture grows.
#pragma once

#include <QTimer>
#include <QWidget>

class QBarSet;
class QChart;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;

namespace orvane {

class LineStatistics;

// Non-modal. The packets by name with their share and latency, the verdict and NAK counts, the
// polls a second, a histogram of reply latency and the latency over time. Copy puts the table of
// names on the clipboard as TAB-separated text; "Save as CSV..." asks the program to write the
// figures to a file, which the window never does itself.
class StatisticsWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRefreshMs = 1000;

    explicit StatisticsWindow(QWidget* owner);

    // The figures shown; null shows none. They must outlive the window or the next call.
    void SetStatistics(const LineStatistics* statistics);
    // Reads the figures again.
    void Refresh();

    // The table of names as TAB-separated text with its header line, as Copy puts it.
    QString NameTableText() const;

    QLabel* summaryLabel() const { return summary_; }
    QTableWidget* nameTable() const { return names_; }
    QTableWidget* verdictTable() const { return verdicts_; }
    QChart* histogramChart() const { return histogramChart_; }
    QChart* timelineChart() const { return timelineChart_; }
    QBarSet* histogramBars() const { return histogramBars_; }
    QLineSeries* medianSeries() const { return median_; }
    QLineSeries* minSeries() const { return min_; }
    QLineSeries* maxSeries() const { return max_; }
    QPushButton* copyButton() const { return copy_; }
    QPushButton* csvButton() const { return csv_; }

  signals:
    // Once a second while shown: the program brings the figures up to date, then Refresh.
    void RefreshWanted();
    // "Save as CSV..." was pressed.
    void CsvFileWanted();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void BuildCharts();
    void FillNames();
    void FillVerdicts();
    void FillHistogram();
    void FillTimeline();

    const LineStatistics* statistics_ = nullptr;
    QTimer refresh_;
    QLabel* summary_;
    QTableWidget* names_;
    QTableWidget* verdicts_;
    QChart* histogramChart_ = nullptr;
    QChart* timelineChart_ = nullptr;
    QBarSet* histogramBars_ = nullptr;
    QLineSeries* median_ = nullptr;
    QLineSeries* min_ = nullptr;  // the lower and upper edges of the band of latencies
    QLineSeries* max_ = nullptr;
    QPushButton* copy_;
    QPushButton* csv_;
};

}  // namespace orvane
