// The list of rows and cells: the list operations the views and the log writer use.
#include "views/list_model.hpp"

#include <gtest/gtest.h>

#include <string>

#include "views_test_support.hpp"

namespace orvane {
namespace {

TEST(ListModel, RowsAndColumnsGoWhereTheyAreInsertedAndCellsOutOfRangeAreIgnored) {
    ListModel list;
    list.InsertColumn(0, "Event");
    list.InsertColumn(1, "ID", true);
    EXPECT_EQ(list.InsertItem(0, std::string("b\0cd", 4)), 0);  // a cell ends at its first NUL
    EXPECT_EQ(list.InsertItem(0, "a"), 0);
    EXPECT_EQ(list.InsertItem(99, "c"), 2);  // past the end appends
    list.SetItemText(0, 1, std::string("x\0y", 3));
    for (const auto& [row, column] : {std::pair{0, 2}, {3, 0}, {-1, 0}}) {
        list.SetItemText(row, column, "out of range");
    }
    EXPECT_EQ(list.GetItemText(0, 2) + list.GetItemText(3, 0) + list.GetItemText(0, -1), "");
    EXPECT_EQ(list.InsertColumn(1, "Time"), 1);  // the cells after it move on
    list.SetColumnWidth(2, 48);
    EXPECT_EQ(testing::RowsText(list),
              "Event (0)\tTime (0)\tID (48, centred)\na\t\tx\nb\t\t\nc\t\t\n");
    list.DeleteAllItems();  // the columns stay
    EXPECT_EQ(testing::RowsText(list), "Event (0)\tTime (0)\tID (48, centred)\n");
    for (int i = 3; i < ListModel::kMaxColumns; ++i) EXPECT_EQ(list.InsertColumn(i, "X"), i);
    EXPECT_EQ(list.InsertColumn(0, "one too many"), -1);
    list.SetColumnWidth(ListModel::kMaxColumns, 10);  // no such column: ignored
}

}  // namespace
}  // namespace orvane
