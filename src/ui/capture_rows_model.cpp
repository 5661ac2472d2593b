// A table model over the rows of a continuous capture: the row count is the core's, cell texts
// are formed only for a window of rows around the ones painted.
#include "ui/capture_rows_model.hpp"

#include <algorithm>
#include <limits>

#include "platform/text_codec.hpp"
#include "ui/analysis_look.hpp"
#include "views/capture_rows.hpp"
#include "views/list_model.hpp"

namespace orvane {
namespace {

// A table view counts rows in int: a capture beyond that shows its first 2^31-1 rows.
int ShownCount(const CaptureRows* rows) {
    if (rows == nullptr) return 0;
    return static_cast<int>(
        std::min<std::uint64_t>(rows->RowCount(), std::numeric_limits<int>::max()));
}

}  // namespace

CaptureRowsModel::CaptureRowsModel(QObject* parent) : QAbstractTableModel(parent) {}

void CaptureRowsModel::SetRows(const CaptureRows* rows, const ListModel* columns) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    shownRows_ = ShownCount(rows);
    window_.clear();
    windowItems_.clear();
    endResetModel();
}

void CaptureRowsModel::TakeNewRows() {
    const int count = ShownCount(rows_);
    if (count <= shownRows_) return;
    beginInsertRows(QModelIndex(), shownRows_, count - 1);
    shownRows_ = count;
    endInsertRows();
}

void CaptureRowsModel::SetAnalysis(const RowAnalysis* analysis) {
    analysis_ = analysis;
    AnalysisChanged();
}

void CaptureRowsModel::SetAnalysisShown(bool shown) {
    if (shown == analysisShown_) return;
    const int first = OwnColumnCount();
    if (columns_ == nullptr) {
        analysisShown_ = shown;  // no columns at all until SetRows names them
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

void CaptureRowsModel::AnalysisChanged() {
    // Every row may have changed its tint, and a view repaints only what it shows.
    if (!analysisShown_ || shownRows_ == 0 || columnCount() == 0) return;
    emit dataChanged(index(0, 0), index(shownRows_ - 1, columnCount() - 1));
}

int CaptureRowsModel::OwnColumnCount() const {
    return columns_ == nullptr ? 0 : columns_->ColumnCount();
}

int CaptureRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int CaptureRowsModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || columns_ == nullptr) return 0;
    return OwnColumnCount() + (analysisShown_ ? kAnalysisColumnCount : 0);
}

const CaptureRowsModel::CellTexts& CaptureRowsModel::Row(int row) const {
    const bool inWindow =
        row >= windowFirst_ && row - windowFirst_ < static_cast<int>(window_.size());
    if (!inWindow) {
        // The asked row sits in the middle of the window, so scrolling either way stays in it.
        windowFirst_ = std::max(0, row - kWindowRows / 2);
        const int count = std::min(kWindowRows, shownRows_ - windowFirst_);
        window_.assign(static_cast<std::size_t>(std::max(0, count)), CellTexts{});
        windowItems_.assign(window_.size(), 0);
        rows_->FormRows(static_cast<std::uint64_t>(windowFirst_), static_cast<std::uint64_t>(count),
                        [this](std::uint64_t formed, std::uint64_t item, const RowCells& cells) {
                            CellTexts& texts = window_[formed - windowFirst_];
                            for (std::size_t c = 0; c < cells.size(); ++c) {
                                texts[c] = FromWindows1252(cells[c]);
                            }
                            windowItems_[formed - windowFirst_] = item;
                        });
    }
    return window_[static_cast<std::size_t>(row - windowFirst_)];
}

std::uint64_t CaptureRowsModel::ItemOfRow(int row) const {
    Row(row);
    return windowItems_[static_cast<std::size_t>(row - windowFirst_)];
}

QVariant CaptureRowsModel::AnalysisData(int row, int column, int role) const {
    const int analysisColumn = column - OwnColumnCount();
    AnalysisCells cells;
    if (analysis_ != nullptr) {
        const std::uint64_t item = ItemOfRow(row);
        if (analysisColumn < 0) {
            cells.severity = analysis_->SeverityOfItem(rows_->view(), item);
        } else {
            cells = analysis_->CellsOfItem(rows_->view(), item);
        }
    }
    return AnalysisCellData(cells, analysisColumn < 0 ? -1 : analysisColumn, role);
}

Qt::Alignment CaptureRowsModel::ColumnAlignment(int column) const {
    const bool centred = columns_ != nullptr && column >= 0 && column < columns_->ColumnCount() &&
                         columns_->ColumnCentred(column);
    return (centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant CaptureRowsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const bool ownColumn = index.column() < OwnColumnCount();
    if (analysisShown_) {
        const bool analysisRole = role == Qt::BackgroundRole || role == kSeverityRole;
        if (!ownColumn || analysisRole) return AnalysisData(index.row(), index.column(), role);
    }
    if (role == Qt::DisplayRole) {
        const auto column = static_cast<std::size_t>(index.column());
        return column < 6 ? Row(index.row())[column] : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(ColumnAlignment(index.column()));
    }
    return {};
}

QVariant CaptureRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && analysisShown_ && section >= OwnColumnCount() &&
        section < columnCount()) {
        return AnalysisHeaderData(section - OwnColumnCount(), role);
    }
    if (orientation != Qt::Horizontal || columns_ == nullptr || section < 0 ||
        section >= columns_->ColumnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return FromWindows1252(columns_->ColumnCaption(section));
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(ColumnAlignment(section));
    return {};
}

Qt::ItemFlags CaptureRowsModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

}  // namespace orvane
