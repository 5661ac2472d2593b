// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#pragma once

#include "ui/packet_table_model.hpp"

namespace orvane {

class CaptureRows;
class ListModel;
class RowAnalysis;

// Shows a ListModel in a table view. The row count it reports changes only inside one model
// reset: BeginChange before the core list changes, EndChange after it, so a view never sees a
// half-filled list. Cell text is converted from Windows-1252 as it is painted.
//
// The analysis columns, Latency and Verdict, follow the list's own when shown; they are read
// from rows over a continuous capture of the same reads, which hold the list's packets (or
// bytes) in the same order.
class ListTableModel : public PacketTableModel {
    Q_OBJECT
  public:
    ListTableModel(const ListModel& rows, QObject* parent);

    void BeginChange();
    void EndChange();

    // Where the analysis columns read from; null for none (the columns stay, empty). Both must
    // outlive the model or the next call.
    void SetAnalysis(const RowAnalysis* analysis, const CaptureRows* rows);

  protected:
    const ListModel* Columns() const override { return &rows_; }
    QString OwnCell(int row, int column) const override;
    std::optional<RowItem> ItemOfRow(int row) const override;
    bool InReset() const override { return changing_; }

  private:
    const ListModel& rows_;
    bool changing_ = false;
    const CaptureRows* analysisRows_ = nullptr;
};

}  // namespace orvane
