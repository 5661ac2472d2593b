// What the two table models of the lists share: the columns of a bounded list (captions,
// alignment) and, when shown, the analysis columns Latency and Verdict after them.
#include "ui/packet_table_model.hpp"

#include "platform/text_codec.hpp"
#include "ui/analysis_look.hpp"
#include "views/analysis_columns.hpp"
#include "views/list_model.hpp"

namespace orvane {

void PacketTableModel::SetAnalysisShown(bool shown) {
    if (shown == analysisShown_) return;
    const int first = OwnColumnCount();
    if (InReset() || Columns() == nullptr) {
        analysisShown_ = shown;  // the view asks for every column again
        return;
    }
    if (shown) {
        beginInsertColumns(QModelIndex(), first, first + kAnalysisColumnCount - 1);
        analysisShown_ = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), first, first + kAnalysisColumnCount - 1);
        analysisShown_ = false;
        endRemoveColumns();
    }
}

int PacketTableModel::OwnColumnCount() const {
    return Columns() == nullptr ? 0 : Columns()->ColumnCount();
}

void PacketTableModel::RepaintAnalysis() {
    // Every row may have changed its tint, and a view repaints only what it shows.
    if (!analysisShown_ || InReset() || shownRows_ == 0 || columnCount() == 0) return;
    emit dataChanged(index(0, 0), index(shownRows_ - 1, columnCount() - 1));
}

int PacketTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int PacketTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || Columns() == nullptr) return 0;
    return OwnColumnCount() + (analysisShown_ ? kAnalysisColumnCount : 0);
}

Qt::Alignment PacketTableModel::ColumnAlignment(int column) const {
    const bool centred =
        column >= 0 && column < OwnColumnCount() && Columns()->ColumnCentred(column);
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant PacketTableModel::AnalysisData(int row, int column, int role) const {
    const int analysisColumn = column - OwnColumnCount();
    AnalysisCells cells;
    const std::optional<RowItem> item = analysis_ != nullptr ? ItemOfRow(row) : std::nullopt;
    if (item) {
        if (analysisColumn < 0) {
            cells.severity = analysis_->SeverityOfItem(item->view, item->item);
        } else {
            cells = analysis_->CellsOfItem(item->view, item->item);
        }
    }
    return AnalysisCellData(cells, analysisColumn < 0 ? -1 : analysisColumn, role);
}

QVariant PacketTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const bool ownColumn = index.column() < OwnColumnCount();
    if (analysisShown_) {
        const bool analysisRole = role == Qt::BackgroundRole || role == kSeverityRole;
        if (!ownColumn || analysisRole) return AnalysisData(index.row(), index.column(), role);
    }
    if (role == Qt::DisplayRole) return OwnCell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(index.column()));
    return {};
}

QVariant PacketTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && analysisShown_ && section >= OwnColumnCount() &&
        section < columnCount()) {
        return AnalysisHeaderData(section - OwnColumnCount(), role);
    }
    if (orientation != Qt::Horizontal || section < 0 || section >= OwnColumnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return FromWindows1252(Columns()->ColumnCaption(section));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

Qt::ItemFlags PacketTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace orvane
