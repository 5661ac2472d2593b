// The list of a continuous capture in the main window: the rows of one view and filter choice,
// a table model that forms texts on demand, and a view that follows the newest row.
#include "ui/continuous_list.hpp"

#include <QScrollBar>
#include <QTableView>

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
    view_ = CreateReportList(parent, model_, columns_.packetList);
    view_->hide();
}

ContinuousList::~ContinuousList() = default;

void ContinuousList::Show(const ContinuousCapture* capture, ViewKind view,
                          const FilterFlags& flags) {
    const ListModel& columns = columns_.ListFor(view);
    const QScrollBar* bar = view_->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    // One model reset, with the old rows freed once the model has let go of them.
    std::unique_ptr<CaptureRows> fresh;
    if (capture != nullptr) fresh = std::make_unique<CaptureRows>(*capture, view, flags);
    model_->SetRows(fresh.get(), &columns);
    rows_ = std::move(fresh);
    shownColumns_ = &columns;
    ApplyColumnWidths(view_, columns);
    ApplyAnalysisColumnWidths(view_, columns, model_->analysisShown());
    if (following) {
        view_->scrollToBottom();
    } else {
        view_->scrollToTop();
    }
}

void ContinuousList::Grow() {
    if (!rows_) return;
    const QScrollBar* bar = view_->verticalScrollBar();
    const bool following = bar->value() >= bar->maximum();
    rows_->Update();
    model_->TakeNewRows();
    if (following) view_->scrollToBottom();
}

void ContinuousList::SetAnalysisShown(bool shown) {
    model_->SetAnalysisShown(shown);
    ApplyAnalysisColumnWidths(view_, *shownColumns_, shown);
}

void ContinuousList::SetAnalysis(const RowAnalysis* analysis) { model_->SetAnalysis(analysis); }

}  // namespace orvane
