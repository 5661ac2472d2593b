// A table model over the rows of a continuous capture: the row count is the core's, cell texts
// are formed only for a window of rows around the ones painted.
#include "ui/capture_rows_model.hpp"

#include <algorithm>
#include <limits>

#include "platform/text_codec.hpp"
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
    endResetModel();
}

void CaptureRowsModel::TakeNewRows() {
    const int count = ShownCount(rows_);
    if (count <= shownRows_) return;
    beginInsertRows(QModelIndex(), shownRows_, count - 1);
    shownRows_ = count;
    endInsertRows();
}

int CaptureRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int CaptureRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || columns_ == nullptr ? 0 : columns_->ColumnCount();
}

const CaptureRowsModel::CellTexts& CaptureRowsModel::Row(int row) const {
    const bool inWindow =
        row >= windowFirst_ && row - windowFirst_ < static_cast<int>(window_.size());
    if (!inWindow) {
        // The asked row sits in the middle of the window, so scrolling either way stays in it.
        windowFirst_ = std::max(0, row - kWindowRows / 2);
        const int count = std::min(kWindowRows, shownRows_ - windowFirst_);
        window_.assign(static_cast<std::size_t>(std::max(0, count)), CellTexts{});
        rows_->FormRows(static_cast<std::uint64_t>(windowFirst_), static_cast<std::uint64_t>(count),
                        [this](std::uint64_t formed, std::uint64_t, const RowCells& cells) {
                            CellTexts& texts = window_[formed - windowFirst_];
                            for (std::size_t c = 0; c < cells.size(); ++c) {
                                texts[c] = FromWindows1252(cells[c]);
                            }
                        });
    }
    return window_[static_cast<std::size_t>(row - windowFirst_)];
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
