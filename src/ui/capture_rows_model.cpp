// A table model over a page of the rows of a continuous capture: cell texts are formed only for
// a window of rows around the ones painted.
#include "ui/capture_rows_model.hpp"

#include <algorithm>

#include "platform/text_codec.hpp"
#include "views/capture_rows.hpp"

namespace orvane {

CaptureRowsModel::CaptureRowsModel(QObject* parent) : PacketTableModel(parent) {}

std::uint64_t CaptureRowsModel::CaptureRowCount() const {
    return rows_ == nullptr ? 0 : rows_->RowCount();
}

int CaptureRowsModel::PageCount() const {
    const std::uint64_t total = CaptureRowCount();
    if (total <= pageFirst_) return 0;
    return static_cast<int>(std::min<std::uint64_t>(total - pageFirst_, pageRows_));
}

void CaptureRowsModel::SetRows(const CaptureRows* rows, const ListModel* columns) {
    beginResetModel();
    rows_ = rows;
    columns_ = columns;
    pageFirst_ = 0;
    shownRows_ = PageCount();
    window_.clear();
    windowItems_.clear();
    endResetModel();
}

void CaptureRowsModel::SetPage(std::uint64_t first, int pageRows) {
    beginResetModel();
    pageFirst_ = first;
    pageRows_ = std::max(1, pageRows);
    shownRows_ = PageCount();
    window_.clear();
    windowItems_.clear();
    endResetModel();
}

void CaptureRowsModel::TakeNewRows() {
    const int count = PageCount();
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
        const std::uint64_t first = pageFirst_ + static_cast<std::uint64_t>(windowFirst_);
        rows_->FormRows(
            first, static_cast<std::uint64_t>(count),
            [this, first](std::uint64_t formed, std::uint64_t item, const RowCells& cells) {
                CellTexts& texts = window_[formed - first];
                for (std::size_t c = 0; c < cells.size(); ++c) {
                    texts[c] = FromWindows1252(cells[c]);
                }
                windowItems_[formed - first] = item;
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
