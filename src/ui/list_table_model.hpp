// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#pragma once

#include <QAbstractTableModel>

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
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    ListTableModel(const ListModel& rows, QObject* parent);

    void BeginChange();
    void EndChange();

    // Where the analysis columns read from; null for none (the columns stay, empty). Both must
    // outlive the model or the next call.
    void SetAnalysis(const RowAnalysis* analysis, const CaptureRows* rows);
    // Adds or removes the two columns.
    void SetAnalysisShown(bool shown);
    bool analysisShown() const { return analysisShown_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    Qt::Alignment ColumnAlignment(int column) const;
    QVariant AnalysisData(int row, int column, int role) const;

    const ListModel& rows_;
    int shownRows_ = 0;
    bool changing_ = false;
    const RowAnalysis* analysis_ = nullptr;
    const CaptureRows* analysisRows_ = nullptr;
    bool analysisShown_ = false;
};

}  // namespace orvane
