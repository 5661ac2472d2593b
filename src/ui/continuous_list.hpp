// The list of a continuous capture in the main window: the rows of one view and filter choice,
// a table model that forms texts on demand, and a view that follows the newest row.
#pragma once

#include <QObject>
#include <memory>

#include "views/packet_filter.hpp"

class QTableView;
class QWidget;

namespace orvane {

class CaptureLists;
class CaptureRows;
class CaptureRowsModel;
class ContinuousCapture;
class ListModel;
class CaptureLists;
class RowAnalysis;

class ContinuousList : public QObject {
    Q_OBJECT
  public:
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

    QTableView* view() const { return view_; }
    CaptureRowsModel* model() const { return model_; }
    const CaptureRows* rows() const { return rows_.get(); }

  private:
    const CaptureLists& columns_;
    const ListModel* shownColumns_;  // the columns of the view shown
    CaptureRowsModel* model_;
    QTableView* view_;
    std::unique_ptr<CaptureRows> rows_;
};

}  // namespace orvane
