// The list of a continuous capture in the main window: the rows of one view and filter choice,
// a table model that forms texts on demand, and a view that follows the newest row.
#include "ui/continuous_list.hpp"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableView>
#include <algorithm>
#include <limits>

#include "ui/analysis_look.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/report_list.hpp"
#include "views/capture_lists.hpp"
#include "views/capture_rows.hpp"

namespace orvane {

ContinuousList::ContinuousList(QWidget* parent, const CaptureLists& columns)
    : QObject(parent),
      columns_(columns),
      shownColumns_(&columns.packetList),
      model_(new CaptureRowsModel(this)) {
    model_->SetRows(nullptr, &columns_.packetList);
    model_->SetPage(0, pageRows_);
    view_ = CreateReportList(parent, model_, columns_.packetList);
    // A scroll bar value is a row: the page moves are worked out in rows.
    view_->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view_->hide();
    overview_ = new QScrollBar(Qt::Vertical, parent);
    overview_->setObjectName(QStringLiteral("continuousListOverview"));
    overview_->hide();
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ContinuousList::OnListScrolled);
    connect(overview_, &QScrollBar::valueChanged, this, &ContinuousList::OnOverviewMoved);
    view_->installEventFilter(this);
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (moving_) return;
                currentRow_.reset();
                if (current.isValid()) {
                    currentRow_ = model_->pageFirst() + static_cast<std::uint64_t>(current.row());
                }
            });
}

ContinuousList::~ContinuousList() = default;

void ContinuousList::Show(const ContinuousCapture* capture, ViewKind view,
                          const FilterFlags& flags) {
    const ListModel& columns = columns_.ListFor(view);
    const bool following = Following();
    // One model reset, with the old rows freed once the model has let go of them.
    std::unique_ptr<CaptureRows> fresh;
    if (capture != nullptr) fresh = std::make_unique<CaptureRows>(*capture, view, flags);
    emit RowsReplaced();
    moving_ = true;
    model_->SetRows(fresh.get(), &columns);
    view_->doItemsLayout();
    moving_ = false;
    currentRow_.reset();
    rows_ = std::move(fresh);
    shownColumns_ = &columns;
    ApplyColumnWidths(view_, columns);
    ApplyAnalysisColumnWidths(view_, columns, model_->analysisShown());
    if (following) {
        ScrollToEnd();
    } else {
        view_->scrollToTop();
    }
    UpdateOverview();
}

void ContinuousList::Grow() {
    if (!rows_) return;
    const bool following = Following();
    rows_->Update();
    model_->TakeNewRows();
    if (following) ScrollToEnd();
    UpdateOverview();
}

void ContinuousList::SetAnalysisShown(bool shown) {
    model_->SetAnalysisShown(shown);
    ApplyAnalysisColumnWidths(view_, *shownColumns_, shown);
}

void ContinuousList::SetAnalysis(const RowAnalysis* analysis) { model_->SetAnalysis(analysis); }

void ContinuousList::SetGeometry(const QRect& rect) {
    rect_ = rect;
    UpdateOverview();
}

void ContinuousList::SetVisible(bool visible) {
    visible_ = visible;
    view_->setVisible(visible);
    UpdateOverview();
}

std::uint64_t ContinuousList::RowCount() const { return model_->CaptureRowCount(); }

std::optional<std::uint64_t> ContinuousList::CurrentRow() const { return currentRow_; }

std::uint64_t ContinuousList::TopRow() const {
    return model_->pageFirst() + static_cast<std::uint64_t>(view_->verticalScrollBar()->value());
}

void ContinuousList::GoToRow(std::uint64_t row) {
    if (row >= RowCount()) return;
    moving_ = true;
    if (!PageHasRoomAround(row)) CentrePageOn(row);
    const QModelIndex index = model_->index(static_cast<int>(row - model_->pageFirst()), 0);
    currentRow_ = row;
    view_->setCurrentIndex(index);
    view_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    moving_ = false;
    UpdateOverview();
}

void ContinuousList::SetPageRows(int rows) {
    pageRows_ = std::max(1, rows);
    MovePage(0);
    UpdateOverview();
}

bool ContinuousList::eventFilter(QObject* watched, QEvent* event) {
    if (watched != view_ || event->type() != QEvent::KeyPress || !Paged()) return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->modifiers() != Qt::ControlModifier || RowCount() == 0) return false;
    if (key->key() == Qt::Key_Home) {
        GoToRow(0);
        return true;
    }
    if (key->key() == Qt::Key_End) {
        GoToRow(RowCount() - 1);
        return true;
    }
    return false;
}

bool ContinuousList::Following() const {
    const QScrollBar* bar = view_->verticalScrollBar();
    const auto pageEnd = model_->pageFirst() + static_cast<std::uint64_t>(model_->rowCount());
    return bar->value() >= bar->maximum() && pageEnd >= RowCount();
}

bool ContinuousList::Paged() const {
    return model_->pageFirst() > 0 || RowCount() > static_cast<std::uint64_t>(pageRows_);
}

int ContinuousList::VisibleRows() const {
    const int rowHeight = std::max(1, view_->verticalHeader()->defaultSectionSize());
    return std::max(1, view_->viewport()->height() / rowHeight);
}

void ContinuousList::MovePage(std::uint64_t first) {
    // A page past the capture's middle keeps at least half a page of rows (the rest is room
    // for the rows still to come), so following a live capture moves it every half page.
    const std::uint64_t total = RowCount();
    const auto half = static_cast<std::uint64_t>(pageRows_ / 2);
    const std::uint64_t last =
        total <= static_cast<std::uint64_t>(pageRows_) ? 0 : total - std::min(total, half);
    first = std::min(first, last);
    if (first == model_->pageFirst() && model_->pageRows() == pageRows_) return;
    const bool wasMoving = moving_;
    moving_ = true;
    model_->SetPage(first, pageRows_);
    // The table sets its scroll range only when it next lays out its items; a scroll to a row
    // of the new page before that would be cut to the old page's range.
    view_->doItemsLayout();
    // The current row comes back when the page holds it (the table forgets it on every move).
    if (currentRow_ && *currentRow_ >= first &&
        *currentRow_ - first < static_cast<std::uint64_t>(model_->rowCount())) {
        const QSignalBlocker quiet(view_->verticalScrollBar());
        view_->selectionModel()->setCurrentIndex(
            model_->index(static_cast<int>(*currentRow_ - first), 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    moving_ = wasMoving;
}

bool ContinuousList::PageHasRoomAround(std::uint64_t row) const {
    const std::uint64_t first = model_->pageFirst();
    const std::uint64_t end = first + static_cast<std::uint64_t>(model_->rowCount());
    const auto screen = static_cast<std::uint64_t>(VisibleRows());
    if (row < first || row >= end) return false;
    const bool roomBefore = first == 0 || row >= first + screen;
    const bool roomAfter = end >= RowCount() || row + 2 * screen <= end;
    return roomBefore && roomAfter;
}

void ContinuousList::CentrePageOn(std::uint64_t row) {
    const auto half = static_cast<std::uint64_t>(pageRows_ / 2);
    MovePage(row > half ? row - half : 0);
}

void ContinuousList::ScrollToTop(std::uint64_t row) {
    const std::uint64_t first = model_->pageFirst();
    const std::uint64_t inPage = row > first ? row - first : 0;
    view_->verticalScrollBar()->setValue(
        static_cast<int>(std::min<std::uint64_t>(inPage, std::numeric_limits<int>::max())));
}

void ContinuousList::ScrollToEnd() {
    const auto pageEnd = model_->pageFirst() + static_cast<std::uint64_t>(model_->rowCount());
    if (pageEnd < RowCount()) MovePage(RowCount());
    view_->scrollToBottom();
}

void ContinuousList::OnListScrolled(int value) {
    if (!moving_ && Paged()) {
        // Near a page's edge with more of the capture beyond it: the page moves so that the
        // row at the top lies in its middle, and the list shows the same rows as before.
        const std::uint64_t row =
            model_->pageFirst() + static_cast<std::uint64_t>(std::max(0, value));
        if (!PageHasRoomAround(row)) {
            moving_ = true;
            CentrePageOn(row);
            ScrollToTop(row);
            moving_ = false;
        }
    }
    UpdateOverview();
}

void ContinuousList::OnOverviewMoved(int value) {
    if (moving_) return;
    moving_ = true;
    const std::uint64_t row =
        std::min(static_cast<std::uint64_t>(std::max(0, value)) * OverviewScale(), RowCount());
    if (!PageHasRoomAround(row)) CentrePageOn(row);
    ScrollToTop(row);
    moving_ = false;
}

void ContinuousList::UpdateOverview() {
    const bool paged = Paged();
    view_->setVerticalScrollBarPolicy(paged ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    QRect table = rect_;
    if (paged) {
        const int width = view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        table.setRight(rect_.right() - width);
        overview_->setGeometry(QRect(table.right() + 1, rect_.top(), width, rect_.height()));
    }
    view_->setGeometry(table);
    overview_->setVisible(visible_ && paged);
    if (!paged) return;
    const QSignalBlocker quiet(overview_);
    const std::uint64_t total = RowCount();
    const auto visible = static_cast<std::uint64_t>(VisibleRows());
    const std::uint64_t scale = OverviewScale();
    const std::uint64_t maximum = total > visible ? total - visible : 0;
    overview_->setRange(0, static_cast<int>(maximum / scale));
    overview_->setPageStep(static_cast<int>(std::max<std::uint64_t>(1, visible / scale)));
    overview_->setSingleStep(1);
    overview_->setValue(static_cast<int>(std::min(TopRow(), maximum) / scale));
}

std::uint64_t ContinuousList::OverviewScale() const {
    constexpr auto kMost = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    return RowCount() / kMost + 1;
}

}  // namespace orvane
