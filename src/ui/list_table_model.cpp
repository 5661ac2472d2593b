// A table model over one of the core's lists: rows and cells are read on demand, none kept here.
#include "ui/list_table_model.hpp"

#include "platform/text_codec.hpp"
#include "ui/analysis_look.hpp"
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

void ListTableModel::SetAnalysis(const RowAnalysis* analysis, const CaptureRows* rows) {
    analysis_ = analysis;
    analysisRows_ = rows;
    if (analysisShown_ && !changing_ && shownRows_ > 0) {
        emit dataChanged(index(0, 0), index(shownRows_ - 1, columnCount() - 1));
    }
}

void ListTableModel::SetAnalysisShown(bool shown) {
    if (shown == analysisShown_) return;
    const int first = rows_.ColumnCount();
    if (changing_) {
        // Inside a reset the view asks for everything again at its end.
        analysisShown_ = shown;
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

int ListTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return rows_.ColumnCount() + (analysisShown_ ? kAnalysisColumnCount : 0);
}

Qt::Alignment ListTableModel::ColumnAlignment(int column) const {
    const bool centred = column >= 0 && column < rows_.ColumnCount() && rows_.ColumnCentred(column);
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant ListTableModel::AnalysisData(int row, int column, int role) const {
    const int analysisColumn = column - rows_.ColumnCount();
    AnalysisCells cells;
    if (analysis_ != nullptr && analysisRows_ != nullptr &&
        static_cast<std::uint64_t>(row) < analysisRows_->RowCount()) {
        const std::uint64_t item = analysisRows_->ItemOfRow(static_cast<std::uint64_t>(row));
        if (analysisColumn < 0) {
            cells.severity = analysis_->SeverityOfItem(analysisRows_->view(), item);
        } else {
            cells = analysis_->CellsOfItem(analysisRows_->view(), item);
        }
    }
    return AnalysisCellData(cells, analysisColumn < 0 ? -1 : analysisColumn, role);
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const bool ownColumn = index.column() < rows_.ColumnCount();
    if (analysisShown_) {
        const bool analysisRole = role == Qt::BackgroundRole || role == kSeverityRole;
        if (!ownColumn || analysisRole) return AnalysisData(index.row(), index.column(), role);
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
    if (orientation == Qt::Horizontal && analysisShown_ && section >= rows_.ColumnCount() &&
        section < columnCount()) {
        return AnalysisHeaderData(section - rows_.ColumnCount(), role);
    }
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
