// The table model over the core's lists: rows read on demand, Windows-1252 shown as Unicode, one
// reset per change, checked by Qt's model tester.
#include "ui/list_table_model.hpp"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "views/list_model.hpp"

namespace orvane {
namespace {

TEST(ListTableModel, ShowsCellsAndCaptionsConvertedFromWindows1252) {
    ListModel rows;
    rows.InsertColumn(0, "Event");
    rows.InsertColumn(1, "Caf\xE9", true);
    ListTableModel model(rows, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.BeginChange();
    rows.InsertItem(0, "00001");
    rows.SetItemText(0, 1, "\x93quoted\x94 \x80");
    rows.InsertItem(1, "00002");
    model.EndChange();
    ASSERT_EQ(model.rowCount(), 2);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("00001"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(),
              QString::fromUtf8("\u201Cquoted\u201D \u20AC"));
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), QString());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Caf\u00E9"));
    const auto centred =
        model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>();
    const auto left = model.data(model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_TRUE(centred & Qt::AlignHCenter);
    EXPECT_TRUE(left & Qt::AlignLeft);
}

TEST(ListTableModel, RowCountChangesOnlyInsideOneResetPerChange) {
    ListModel rows;
    rows.InsertColumn(0, "Event");
    ListTableModel model(rows, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.BeginChange();
    for (int i = 0; i < 100000; ++i) rows.InsertItem(i, "row");
    EXPECT_EQ(model.rowCount(), 0);  // a half-filled list is never shown
    model.EndChange();
    EXPECT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(resets.count(), 1);
    model.BeginChange();
    rows.DeleteAllItems();
    model.EndChange();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 2);
}

}  // namespace
}  // namespace orvane
