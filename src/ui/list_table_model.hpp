// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#pragma once

#include <QAbstractTableModel>

namespace orvane {

class ListModel;

// Shows a ListModel in a table view. The row count it reports changes only inside one model
// reset: BeginChange before the core list changes, EndChange after it, so a view never sees a
// half-filled list. Cell text is converted from Windows-1252 as it is painted.
class ListTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    ListTableModel(const ListModel& rows, QObject* parent);

    void BeginChange();
    void EndChange();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    Qt::Alignment ColumnAlignment(int column) const;

    const ListModel& rows_;
    int shownRows_ = 0;
    bool changing_ = false;
};

}  // namespace orvane
