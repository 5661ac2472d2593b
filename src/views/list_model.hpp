// A list of rows and cells in the core: the operations the views and the log writer need from a
// list.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// Rows are kept densely, one fixed array of cells per row, so that appending 100,000 rows is a
// handful of allocations. A list has at most kMaxColumns columns, and only the cells of inserted
// columns can be set or read. Text is Windows-1252 bytes; a cell holds its text up to, not
// including, its first NUL byte (a decoded identifier with a zero byte is cut there).
class ListModel {
  public:
    static constexpr int kMaxColumns = 6;

    struct Column {
        std::string caption;
        int widthPx = 0;
        bool centred = false;
    };

    // Number of rows.
    int GetItemCount() const { return static_cast<int>(rows_.size()); }

    // Inserts a row at `row` (clamped to 0..GetItemCount()) with the text of column 0; the other
    // cells start empty. Returns the index of the new row.
    int InsertItem(int row, std::string_view text);

    // Removes every row; columns stay.
    void DeleteAllItems();

    // Inserts a column at `column` (clamped to 0..ColumnCount()). Returns its index, or -1 when
    // the list already has kMaxColumns columns. Cells at and after `column` move one column on,
    // and the new column's cells are empty.
    int InsertColumn(int column, std::string_view caption, bool centred = false);

    // Sets a column's width in pixels; ignored for a column that does not exist.
    void SetColumnWidth(int column, int widthPx);

    // The text of a cell; empty for a row or column out of range.
    std::string GetItemText(int row, int column) const {
        return std::string(CellView(row, column));
    }

    // Sets the text of a cell, cut at its first NUL; ignored for a row or column out of range.
    void SetItemText(int row, int column, std::string_view text);

    // Read access for painting and export.
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const Column& ColumnAt(int column) const {
        return columns_.at(static_cast<std::size_t>(column));
    }
    std::string_view ColumnCaption(int column) const { return ColumnAt(column).caption; }
    int ColumnWidth(int column) const { return ColumnAt(column).widthPx; }
    bool ColumnCentred(int column) const { return ColumnAt(column).centred; }

    // The text of a cell without a copy; valid until the cell or the row list changes.
    std::string_view CellView(int row, int column) const {
        if (row < 0 || row >= GetItemCount() || column < 0 || column >= ColumnCount()) return {};
        return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    }

    // Makes room for `rows` rows ahead of a fill.
    void Reserve(int rows);

  private:
    using Row = std::array<std::string, kMaxColumns>;
    std::vector<Column> columns_;
    std::vector<Row> rows_;
};

}  // namespace orvane
