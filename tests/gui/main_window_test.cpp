// The main window as the user meets it: start-up from the settings file (the view, the filter
// boxes, the size it was closed with), resizing and closing,
// and the view options and filter boxes refilling the list.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QTableView>

#include "gui_test_support.hpp"
#include "line_faults.hpp"
#include "ui/list_table_model.hpp"

namespace orvane {
namespace {

TEST(MainWindow, StartsUpFromTheSettingsFile) {
    struct Case {
        const char* settings;  // nullptr: no settings file
        ViewOptions shown;
        QSize clientDu = {571, 414};  // the classic size
    };
    const Case cases[] = {
        {nullptr, {}},
        {"[Settings]\r\nPacket View= 1\r\nByte View= 1\r\n", {}},
        {"[Settings]\r\nPacket View= 0\r\nByte View= 0\r\n", {}},
        {"[Form]\r\nwidth= 600\r\nheight= 400\r\n", {}, {600, 400}},
        {"[Form]\r\nwidth= 0\r\nheight= 0\r\n", {}},  // closed minimized
        {"[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 1\r\nDev Type Filter= 1\r\n",
         {ViewKind::Byte, {true, false, false, false, false, true}}},
        // Any number but 0 checks a control.
        {"[Settings]\r\nPacket View= 3\r\nByte View= -1\r\nStatus Sense= 9\r\n",
         {ViewKind::Packet, {false, false, true}}},
    };
    for (const Case& c : cases) {
        const char* name = c.settings != nullptr ? c.settings : "no settings file";
        test::ScratchFolder folder(true);
        if (c.settings != nullptr) test::WriteSettingsFile(folder, c.settings);
        test::StartedProgram started = test::StartProgram();
        MainWindow& window = *started.window;
        window.AddMenuBar();  // the client area keeps its size below the bar
        QCoreApplication::processEvents();
        const bool byteView = c.shown.view == ViewKind::Byte;
        EXPECT_EQ(window.GetViewOptions(), c.shown) << name;
        EXPECT_EQ(started.Control(kIdByteView)->isChecked(), byteView) << name;
        EXPECT_EQ(window.listView(ViewKind::Byte)->isVisible(), byteView) << name;
        EXPECT_EQ(window.listView(ViewKind::Packet)->isVisible(), !byteView) << name;
        EXPECT_EQ(QSize(window.lastClientWidth(), window.lastClientHeight()), c.clientDu) << name;
        EXPECT_EQ(window.clientArea()->size(), window.units().ToPixels(c.clientDu)) << name;
        EXPECT_EQ(test::ReadSettingsFile(folder).empty(), c.settings == nullptr) << name;
    }
}

TEST(MainWindow, ResizeMovesTheListsAndCloseWritesFormAndSettings) {
    test::ScratchFolder folder(true);
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    window.resize(window.units().ToPixels(QSize(600, 400)));
    QCoreApplication::processEvents();
    const QRect expected = window.units().ToPixels(QRect(8, 47, 586, 340));
    EXPECT_EQ(window.listView(ViewKind::Packet)->geometry(), expected);
    EXPECT_EQ(window.listView(ViewKind::Byte)->geometry(), expected);

    // Each box is written under its own key.
    for (int id : {kIdByteView, kIdTimeReply, kIdStatusSense, kIdDisplayAcks}) started.Click(id);
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(started.program->captureLists.fillAbort);
    EXPECT_EQ(test::ReadSettingsFile(folder),
              "[Form]\r\nwidth= 600\r\nheight= 400\r\n"
              "[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 0\r\n"
              "Time Reply= 1\r\nStatus Sense= 1\r\nStatus Reply= 0\r\nDisplay Acks= 1\r\n"
              "Dev Type Filter= 0\r\n");
}

TEST(MainWindow, FilterBoxesAndViewOptionsRefillTheList) {
    test::ScratchFolder folder(true);
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    // The controller's time sense, the deck's time data, the controller's play.
    ASSERT_TRUE(started.OpenStream(
        folder.Path("three.bin"), test::RawStream({{false, 10, test::Sony({0x61, 0x0C, 0x03})},
                                                   {true, 20, test::Sony({0x74, 0x04, 0, 0, 0, 0})},
                                                   {false, 30, test::Sony({0x20, 0x01})}})));
    ListTableModel* packets = window.tableModel(ViewKind::Packet);
    QAbstractItemModelTester tester(packets, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto cell = [&](int row, int column) {
        return packets->data(packets->index(row, column)).toString();
    };
    // Time Sense clear hides the controller's time sense; the other two packets show.
    started.Click(kIdTimeReply);
    ASSERT_EQ(packets->rowCount(), 2);
    EXPECT_EQ(cell(0, 3), QStringLiteral("74 04 00 00 00 00 78 "));
    started.Click(kIdTimeSense);
    ASSERT_EQ(packets->rowCount(), 3);
    EXPECT_EQ(cell(0, 0), QStringLiteral("00001"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("Ctrl"));
    EXPECT_EQ(cell(2, 0), QStringLiteral("00003"));
    EXPECT_EQ(started.Rows(ViewKind::Byte), 0);

    started.Click(kIdByteView);
    EXPECT_TRUE(window.listView(ViewKind::Byte)->isVisible());
    EXPECT_FALSE(window.listView(ViewKind::Packet)->isVisible());
    EXPECT_EQ(started.Rows(ViewKind::Packet), 0);
    EXPECT_EQ(started.Rows(ViewKind::Byte), 14);
}

}  // namespace
}  // namespace orvane
