// A list of rows and cells in the core: the operations the views and the log writer need from a
// list.
#include "views/list_model.hpp"

#include <algorithm>
#include <utility>

namespace orvane {

namespace {

// A list cell stops at its first NUL byte. Cells are short, so a plain scan beats a library call.
std::string_view CutAtNul(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') return text.substr(0, i);
    }
    return text;
}

}  // namespace

int ListModel::InsertItem(int row, std::string_view text) {
    const int count = GetItemCount();
    row = std::clamp(row, 0, count);
    if (row == count) {
        // Fills append; build the row in place.
        rows_.emplace_back()[0].assign(CutAtNul(text));
    } else {
        Row newRow;
        newRow[0].assign(CutAtNul(text));
        rows_.insert(rows_.begin() + row, std::move(newRow));
    }
    return row;
}

void ListModel::DeleteAllItems() {
    // Keep the capacity: the next fill of the same capture needs as many rows again.
    rows_.clear();
}

int ListModel::InsertColumn(int column, std::string_view caption, bool centred) {
    if (ColumnCount() >= kMaxColumns) return -1;
    column = std::clamp(column, 0, ColumnCount());
    columns_.insert(columns_.begin() + column, Column{std::string(caption), 0, centred});
    for (Row& row : rows_) {
        std::move_backward(row.begin() + column, row.end() - 1, row.end());
        row[static_cast<std::size_t>(column)].clear();
    }
    return column;
}

void ListModel::SetColumnWidth(int column, int widthPx) {
    if (column < 0 || column >= ColumnCount()) return;
    columns_[static_cast<std::size_t>(column)].widthPx = widthPx;
}

void ListModel::SetItemText(int row, int column, std::string_view text) {
    if (row < 0 || row >= GetItemCount() || column < 0 || column >= ColumnCount()) return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)].assign(CutAtNul(text));
}

void ListModel::Reserve(int rows) {
    if (rows > 0) rows_.reserve(static_cast<std::size_t>(rows));
}

}  // namespace orvane
