// Tests of the list of rows and cells: the list operations the views and the log writer use.
#include "views/list_model.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

ListModel ThreeColumnList() {
    ListModel list;
    list.InsertColumn(0, "Event");
    list.InsertColumn(1, "Time");
    list.InsertColumn(2, "ID", true);
    return list;
}

TEST(ListModel, InsertsRowsAtTheirIndexWithColumnZeroText) {
    ListModel list = ThreeColumnList();
    EXPECT_EQ(list.InsertItem(0, "b"), 0);
    EXPECT_EQ(list.InsertItem(0, "a"), 0);
    EXPECT_EQ(list.InsertItem(2, "c"), 2);
    EXPECT_EQ(list.InsertItem(99, "d"), 3);  // past the end appends
    ASSERT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.GetItemText(0, 0), "a");
    EXPECT_EQ(list.GetItemText(1, 0), "b");
    EXPECT_EQ(list.GetItemText(2, 0), "c");
    EXPECT_EQ(list.GetItemText(3, 0), "d");
    EXPECT_EQ(list.GetItemText(0, 1), "");
}

TEST(ListModel, CellEndsAtItsFirstNul) {
    ListModel list = ThreeColumnList();
    list.InsertItem(0, std::string("ab\0cd", 5));
    list.SetItemText(0, 2, std::string("Clip\0Name", 9));
    EXPECT_EQ(list.GetItemText(0, 0), "ab");
    EXPECT_EQ(list.GetItemText(0, 2), "Clip");
    EXPECT_EQ(list.CellView(0, 2), "Clip");
}

TEST(ListModel, OutOfRangeCellsAreIgnoredAndReadEmpty) {
    ListModel list = ThreeColumnList();
    list.InsertItem(0, "x");
    list.SetItemText(0, 3, "no such column");
    list.SetItemText(1, 0, "no such row");
    list.SetItemText(-1, 0, "negative row");
    EXPECT_EQ(list.GetItemText(0, 3), "");
    EXPECT_EQ(list.GetItemText(1, 0), "");
    EXPECT_EQ(list.GetItemText(0, -1), "");
    EXPECT_EQ(list.GetItemCount(), 1);
    EXPECT_EQ(list.GetItemText(0, 0), "x");
}

TEST(ListModel, DeleteAllItemsKeepsTheColumns) {
    ListModel list = ThreeColumnList();
    list.SetColumnWidth(2, 48);
    list.InsertItem(0, "x");
    list.DeleteAllItems();
    EXPECT_EQ(list.GetItemCount(), 0);
    ASSERT_EQ(list.ColumnCount(), 3);
    EXPECT_EQ(list.ColumnCaption(2), "ID");
    EXPECT_EQ(list.ColumnWidth(2), 48);
    EXPECT_TRUE(list.ColumnCentred(2));
    EXPECT_FALSE(list.ColumnCentred(0));
}

TEST(ListModel, ColumnsAreLimitedAndInsertingOneShiftsCells) {
    ListModel list;
    list.InsertColumn(0, "A");
    list.InsertColumn(1, "C");
    list.InsertItem(0, "a");
    list.SetItemText(0, 1, "c");
    EXPECT_EQ(list.InsertColumn(1, "B"), 1);
    EXPECT_EQ(list.ColumnCaption(1), "B");
    EXPECT_EQ(list.GetItemText(0, 0), "a");
    EXPECT_EQ(list.GetItemText(0, 1), "");
    EXPECT_EQ(list.GetItemText(0, 2), "c");
    for (int i = 3; i < ListModel::kMaxColumns; ++i) EXPECT_EQ(list.InsertColumn(i, "X"), i);
    EXPECT_EQ(list.InsertColumn(0, "too many"), -1);
    EXPECT_EQ(list.ColumnCount(), ListModel::kMaxColumns);
    list.SetColumnWidth(ListModel::kMaxColumns, 10);  // no such column: ignored
}

}  // namespace
}  // namespace orvane
