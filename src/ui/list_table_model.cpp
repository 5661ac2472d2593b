// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#include "ui/list_table_model.hpp"

#include "platform/text_codec.hpp"
#include "views/list_model.hpp"

namespace orvane {

ListTableModel::ListTableModel(const ListModel& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), shownRows_(rows.GetItemCount()) {}

void ListTableModel::BeginChange() {
    if (changing_) return;
    changing_ = true;
    beginResetModel();
}

void ListTableModel::EndChange() {
    if (!changing_) return;
    shownRows_ = rows_.GetItemCount();
    changing_ = false;
    endResetModel();
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.ColumnCount();
}

Qt::Alignment ListTableModel::ColumnAlignment(int column) const {
    const bool centred = column >= 0 && column < rows_.ColumnCount() && rows_.ColumnCentred(column);
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return FromWindows1252(rows_.CellView(index.row(), index.column()));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(index.column()));
    }
    return {};
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= rows_.ColumnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return FromWindows1252(rows_.ColumnCaption(section));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace orvane
