// The main window as the user meets it: start-up from the settings file, its controls and
// layout, resizing and closing, and the view options and filter boxes refilling the list.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QTest>

#include "gui_test_support.hpp"
#include "ui/list_table_model.hpp"

namespace orvane {
namespace {

TEST(MainWindow, StartsUpFromTheSettingsFile) {
    struct Case {
        const char* settings;  // nullptr: no settings file
        bool byteView;
        std::array<int, 6> filters;
    };
    const Case cases[] = {
        {nullptr, false, {}},
        {"[Settings]\r\nPacket View= 1\r\nByte View= 1\r\n", false, {}},
        {"[Settings]\r\nPacket View= 0\r\nByte View= 0\r\n", false, {}},
        {"[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 1\r\nDev Type Filter= 1\r\n",
         true,
         {1, 0, 0, 0, 0, 1}},
        // Any number but 0 checks a control.
        {"[Settings]\r\nPacket View= 3\r\nByte View= -1\r\nStatus Sense= 9\r\n", false, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        const char* name = c.settings != nullptr ? c.settings : "no settings file";
        test::ScratchFolder folder;
        if (c.settings != nullptr) folder.WriteSettingsFile(c.settings);
        test::StartedProgram started = test::StartProgram();
        MainWindow& window = *started.window;
        EXPECT_EQ(started.Control(kIdPacketView)->isChecked(), !c.byteView) << name;
        EXPECT_EQ(started.Control(kIdByteView)->isChecked(), c.byteView) << name;
        EXPECT_EQ(window.listView(ViewKind::Byte)->isVisible(), c.byteView) << name;
        EXPECT_EQ(window.listView(ViewKind::Packet)->isVisible(), !c.byteView) << name;
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(started.Control(test::kFilterIds[i])->isChecked(), c.filters[i] != 0)
                << name << i;
        }
        EXPECT_EQ(started.program->settings.captureUnitPort, 23) << name;
        EXPECT_EQ(started.program->settings.protocolMode, ProtocolMode::kSony) << name;
        EXPECT_EQ(started.program->settings.captureUnitAddress, "127.0.0.1") << name;
        EXPECT_EQ(folder.ReadSettingsFile().empty(), c.settings == nullptr) << name;
    }
}

TEST(MainWindow, EachFilterBoxIsReadIntoItsOwnFlag) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    bool FilterFlags::*const flags[6] = {&FilterFlags::timeSense,   &FilterFlags::timeReply,
                                         &FilterFlags::statusSense, &FilterFlags::statusReply,
                                         &FilterFlags::displayAcks, &FilterFlags::dispDevType};
    for (int i = 0; i < 6; ++i) {
        started.Click(test::kFilterIds[i]);
        FilterFlags expected;
        expected.*flags[i] = true;
        EXPECT_EQ(started.window->GetViewOptions().filters, expected) << i;
        started.Click(test::kFilterIds[i]);
    }
}

TEST(MainWindow, CaptionControlIdsAndGeometry) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orvane by Kestrane Version 1.07"));
    struct Case {
        int id;
        const char* text;
        QRect rectDu;
    };
    const Case cases[] = {
        {kIdCaptureButton, "&Capture", QRect(10, 10, 53, 30)},
        {kIdClearButton, "Clear", QRect(75, 10, 53, 30)},
        {kIdSaveLogButton, "Save &Log", QRect(140, 10, 53, 30)},
        {kIdSetupButton, "&Set Up", QRect(205, 10, 53, 30)},
        {kIdPacketView, "Packet View", QRect(280, 8, 60, 15)},
        {kIdByteView, "Byte View", QRect(280, 26, 60, 15)},
        {kIdTimeSense, "Time Sense", QRect(357, 8, 60, 15)},
        {kIdTimeReply, "Time Reply", QRect(357, 26, 60, 15)},
        {kIdStatusSense, "Status Sense", QRect(424, 8, 60, 15)},
        {kIdStatusReply, "Status Reply", QRect(424, 26, 60, 15)},
        {kIdDisplayAcks, "Display ACKs", QRect(496, 8, 60, 15)},
        {kIdDevTypeFilter, "Disp. Dev Type", QRect(496, 26, 70, 15)},
    };
    for (const Case& c : cases) {
        QAbstractButton* control = started.Control(c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(control->text(), QString::fromLatin1(c.text)) << c.id;
        EXPECT_EQ(control->geometry(), window.units().ToPixels(c.rectDu)) << c.id;
    }
    const auto list = [&](int id) {
        return window.findChild<QTableView*>(QString("id%1").arg(id));
    };
    EXPECT_EQ(list(kIdPacketList), window.listView(ViewKind::Packet));
    EXPECT_EQ(list(kIdByteList), window.listView(ViewKind::Byte));
}

TEST(MainWindow, ResizeMovesTheListsAndCloseWritesFormAndSettings) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    window.resize(window.units().ToPixels(QSize(600, 400)));
    QCoreApplication::processEvents();
    const QRect expected = window.units().ToPixels(QRect(8, 47, 586, 340));
    EXPECT_EQ(window.listView(ViewKind::Packet)->geometry(), expected);
    EXPECT_EQ(window.listView(ViewKind::Byte)->geometry(), expected);

    for (int id : {kIdByteView, kIdTimeReply, kIdDisplayAcks}) started.Click(id);
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(started.program->captureLists.fillAbort);
    EXPECT_EQ(folder.ReadSettingsFile(),
              "[Form]\r\nwidth= 600\r\nheight= 400\r\n"
              "[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 0\r\n"
              "Time Reply= 1\r\nStatus Sense= 0\r\nStatus Reply= 0\r\nDisplay Acks= 1\r\n"
              "Dev Type Filter= 0\r\n");
}

// Three Sony packets: the controller's time sense, the deck's time data, the controller's play.
void LoadCapture(CaptureModel& model) {
    const auto line = [](char direction, const char* text) {
        return direction + std::string(text);
    };
    model.packetLines = {{line('\x80', "0000.010\t61 0C 03 70 "), 1},
                         {line('\xC0', "0000.020\t74 04 00 00 00 00 78 "), 5},
                         {line('\x80', "0000.030\t20 01 21 "), 12}};
    model.lastPacketIndex = 2;
    const int values[] = {0x61, 0x0C, 0x03, 0x70, 0x74, 0x04, 0, 0, 0, 0, 0x78, 0x20, 0x01, 0x21};
    model.capturedBytes.resize(15);  // entry 0 and the 14 bytes
    for (int i = 0; i < 14; ++i) {
        const bool deck = i >= 4 && i < 11;
        model.capturedBytes[static_cast<std::size_t>(i + 1)] = CapturedByte{
            1, 10 + i, deck ? kDirectionDevice : kDirectionController, values[i], i < 11 ? 1 : 2};
    }
    model.byteCount = 14;
}

TEST(MainWindow, FilterBoxesAndViewOptionsRefillTheList) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadCapture(started.program->captureModel);
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
