// A table model over the rows of a continuous capture: the row count is the core's, cell texts
// are formed only for a window of rows around the ones painted.
#include "ui/capture_rows_model.hpp"

#include <algorithm>
#include <limits>

#include "platform/text_codec.hpp"
#include "views/capture_rows.hpp"

namespace orvane {
namespace {

// A table view counts rows in int: a capture beyond that shows its first 2^31-1 rows.
int ShownCount(const CaptureRows* rows) {
    if (rows == nullptr) return 0;
    return static_cast<int>(
        std::min<std::uint64_t>(rows->RowCount(), std::numeric_limits<int>::max()));
}

}  // namespace

CaptureRowsModel::CaptureRowsModel(QObject* parent) : PacketTableModel(parent) {}

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

QString CaptureRowsModel::OwnCell(int row, int column) const {
    const auto at = static_cast<std::size_t>(column);
    return at < CellTexts().size() ? Row(row)[at] : QString();
}

std::optional<RowItem> CaptureRowsModel::ItemOfRow(int row) const {
    if (rows_ == nullptr) return std::nullopt;
    Row(row);
    return RowItem{rows_->view(), windowItems_[static_cast<std::size_t>(row - windowFirst_)]};
}

}  // namespace orvane
