// The table model over the core's lists: rows read on demand, Windows-1252 shown as Unicode, one
// reset per change, checked by Qt's model tester.
#include "ui/list_table_model.hpp"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "platform/text_codec.hpp"
#include "views/list_model.hpp"

namespace orvane {
namespace {

TEST(ListTableModel, ShowsWindows1252CellsAfterOneResetPerChange) {
    ListModel rows;
    rows.InsertColumn(0, "Event");
    rows.InsertColumn(1, "Caf\xE9", true);
    ListTableModel model(rows, nullptr);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.BeginChange();
    for (int i = 0; i < 1000; ++i) rows.InsertItem(i, "00001");
    rows.SetItemText(0, 1, "\x93quoted\x94 \x80");
    EXPECT_EQ(model.rowCount(), 0);  // a half-filled list is never shown
    model.EndChange();
    EXPECT_EQ(resets.count(), 1);
    ASSERT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("00001"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(),
              QString::fromUtf8("\u201Cquoted\u201D \u20AC"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QString::fromUtf8("Caf\u00E9"));
    EXPECT_TRUE(model.data(model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
                Qt::AlignHCenter);
    model.BeginChange();
    rows.DeleteAllItems();
    model.EndChange();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(resets.count(), 2);
}

TEST(TextCodec, EveryWindows1252ByteRoundTrips) {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
    const QString text = FromWindows1252(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(ToWindows1252(text), bytes);
}

}  // namespace
}  // namespace orvane
