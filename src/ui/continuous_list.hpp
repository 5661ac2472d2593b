// The list of a continuous capture in the main window: the rows of one view and filter choice,
// a table model that forms texts on demand, and a view that follows the newest row.
#pragma once

#include <QObject>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>

#include "views/packet_filter.hpp"

class QScrollBar;
class QTableView;
class QWidget;

namespace orvane {

class CaptureLists;
class CaptureRows;
class CaptureRowsModel;
class ContinuousCapture;
class ListModel;
class RowAnalysis;

// A capture of more rows than a page holds is shown a page at a time: the table holds one page
// (see CaptureRowsModel::SetPage) and a scroll bar of its own beside it covers the whole
// capture. Scrolling near a page's edge, dragging that bar, a jump to a row or following the
// newest rows moves the page; the user sees one list.
class ContinuousList : public QObject {
    Q_OBJECT
  public:
    // Rows a page holds: an item view keeps about 8 bytes a row it is given.
    static constexpr int kPageRows = 1 << 20;

    // The view is created hidden in `parent`; `columns` gives each view's captions and widths.
    ContinuousList(QWidget* parent, const CaptureLists& columns);
    ~ContinuousList() override;

    // Shows the rows of `capture` under a view and filter choice, found in one pass over its
    // packets (or bytes); null shows nothing. One model reset.
    void Show(const ContinuousCapture* capture, ViewKind view, const FilterFlags& flags);

    // Takes in what the capture completed since the last call, as one insert of rows. The view
    // follows the newest row while it is scrolled to the bottom; a user who scrolled away keeps
    // the place until back at the bottom.
    void Grow();

    // The Latency and Verdict columns: shown or not, and the analysis they read (null for
    // none), which must outlive the list or the next call.
    void SetAnalysisShown(bool shown);
    void SetAnalysis(const RowAnalysis* analysis);

    // Where the list sits in the window, and whether it shows.
    void SetGeometry(const QRect& rect);
    void SetVisible(bool visible);

    // Rows of the whole capture shown, the current one (none when no row is current), and a
    // jump that makes a row current and shows it in the middle of the list.
    std::uint64_t RowCount() const;
    std::optional<std::uint64_t> CurrentRow() const;
    void GoToRow(std::uint64_t row);
    // The capture row at the top of the list.
    std::uint64_t TopRow() const;

    // A smaller page, so that tests can page through a capture of a few thousand rows.
    void SetPageRows(int rows);

    QTableView* view() const { return view_; }
    // The scroll bar over the whole capture; shown only while the capture is paged.
    QScrollBar* overview() const { return overview_; }
    CaptureRowsModel* model() const { return model_; }
    const CaptureRows* rows() const { return rows_.get(); }

  signals:
    // The rows shown are others (another capture, view or filter choice): row numbers taken
    // before no longer hold.
    void RowsReplaced();

  protected:
    // Ctrl+Home and Ctrl+End go to the capture's first and last rows, not the page's.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool Following() const;
    bool Paged() const;
    int VisibleRows() const;
    // Shows the page from `first` (clamped to the capture), keeping the current row.
    void MovePage(std::uint64_t first);
    // Whether the page holds `row` with a screen of rows before it and two after, or as many
    // as the capture has: the list can show it, and scroll a little, without a page move.
    bool PageHasRoomAround(std::uint64_t row) const;
    // The page moved so that `row` lies in its middle.
    void CentrePageOn(std::uint64_t row);
    void ScrollToTop(std::uint64_t row);
    void ScrollToEnd();
    void OnListScrolled(int value);
    void OnOverviewMoved(int value);
    // The overview's range and place, and which of the two bars shows. Its values are rows,
    // or rows divided by overviewScale_ when there are more than an int counts.
    void UpdateOverview();
    std::uint64_t OverviewScale() const;

    const CaptureLists& columns_;
    const ListModel* shownColumns_;  // the columns of the view shown
    CaptureRowsModel* model_;
    QTableView* view_;
    QScrollBar* overview_;
    std::unique_ptr<CaptureRows> rows_;
    QRect rect_;
    bool visible_ = false;
    int pageRows_ = kPageRows;
    bool moving_ = false;  // inside a page move or a scroll it made: no more moves
    // The current row of the capture, kept while the page it is on is not shown.
    std::optional<std::uint64_t> currentRow_;
};

}  // namespace orvane
