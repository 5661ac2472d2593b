// The main window as the user meets it: start-up from the settings file, its controls and
// layout, resizing, closing, and the view options and filter boxes refilling the list.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

#include "gui_test_support.hpp"
#include "settings/control_ids.hpp"
#include "ui/list_table_model.hpp"
#include "ui/owner_button.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

const int kFilterIds[] = {kIdTimeSense,   kIdTimeReply,   kIdStatusSense,
                          kIdStatusReply, kIdDisplayAcks, kIdDevTypeFilter};

template <typename T = QWidget>
T* Control(MainWindow& window, int id) {
    return window.findChild<T*>(QStringLiteral("id%1").arg(id));
}

// Three Sony packets: the controller's time sense, the deck's time data, the controller's play.
void LoadCapture(Program& program) {
    CaptureModel& model = program.captureModel;
    model.packetLines = {{"\x80"
                          "0000.010\t61 0C 03 70 ",
                          1},
                         {"\xC0"
                          "0000.020\t74 04 00 00 00 00 78 ",
                          5},
                         {"\x80"
                          "0000.030\t20 01 21 ",
                          12}};
    model.lastPacketIndex = 2;
    const int values[] = {0x61, 0x0C, 0x03, 0x70, 0x74, 0x04, 0, 0, 0, 0, 0x78, 0x20, 0x01, 0x21};
    for (int i = 0; i < 14; ++i) {
        const bool deck = i >= 4 && i < 11;
        const int packet = i < 4 ? 1 : (deck ? 1 : 2);
        model.capturedBytes[static_cast<std::size_t>(i + 1)] = CapturedByte{
            1, 10 + i, deck ? kDirectionDevice : kDirectionController, values[i], packet};
    }
    model.byteCount = 14;
}

int ShownRows(MainWindow& window, ViewKind view) { return window.tableModel(view)->rowCount(); }

QString Cell(MainWindow& window, ViewKind view, int row, int column) {
    ListTableModel* model = window.tableModel(view);
    return model->data(model->index(row, column)).toString();
}

TEST(MainWindowStartUp, WithoutSettingsFileSelectsPacketViewAndDefaults) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    EXPECT_EQ(window.GetCheckState(kIdPacketView), 1);
    EXPECT_EQ(window.GetCheckState(kIdByteView), 0);
    for (int id : kFilterIds) EXPECT_EQ(window.GetCheckState(id), 0) << id;
    EXPECT_EQ(started.program->settings.captureUnitPort, 23);
    EXPECT_EQ(started.program->settings.protocolMode, 0);
    EXPECT_EQ(started.program->settings.captureUnitAddress, "127.0.0.1");
    EXPECT_TRUE(window.listView(ViewKind::Packet)->isVisible());
    EXPECT_FALSE(window.listView(ViewKind::Byte)->isVisible());
    EXPECT_FALSE(folder.HasSettingsFile());
}

TEST(MainWindowStartUp, ViewChoiceFromTheSettingsFile) {
    struct Case {
        const char* settings;
        bool byteView;
    };
    const Case cases[] = {
        {"[Settings]\r\nPacket View= 1\r\nByte View= 1\r\n", false},
        {"[Settings]\r\nPacket View= 0\r\nByte View= 0\r\n", false},
        {"[Settings]\r\nTime Sense= 1\r\n", false},
        {"[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nDev Type Filter= 1\r\n", true},
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder;
        folder.WriteSettingsFile(c.settings);
        test::StartedProgram started = test::StartProgram();
        MainWindow& window = *started.window;
        EXPECT_EQ(window.GetCheckState(kIdPacketView), c.byteView ? 0 : 1) << c.settings;
        EXPECT_EQ(window.GetCheckState(kIdByteView), c.byteView ? 1 : 0) << c.settings;
        EXPECT_EQ(window.listView(ViewKind::Byte)->isVisible(), c.byteView) << c.settings;
        EXPECT_EQ(window.listView(ViewKind::Packet)->isVisible(), !c.byteView) << c.settings;
    }
    test::ScratchFolder folder;
    folder.WriteSettingsFile("[Settings]\r\nTime Sense= 1\r\nDev Type Filter= 1\r\n");
    test::StartedProgram started = test::StartProgram();
    EXPECT_EQ(started.window->GetCheckState(kIdTimeSense), 1);
    EXPECT_EQ(started.window->GetCheckState(kIdTimeReply), 0);
    EXPECT_EQ(started.window->GetCheckState(kIdDevTypeFilter), 1);
}

TEST(MainWindowLayout, CaptionIconAndStatusBar) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    EXPECT_EQ(started.window->windowTitle(), QStringLiteral("Orvane by Kestrane Version 1.07"));
    const QImage icon = started.window->windowIcon().pixmap(32, 32).toImage();
    EXPECT_EQ(icon.size(), QSize(32, 32));
    EXPECT_NE(icon.pixel(16, 16), icon.pixel(0, 0));
    QStatusBar* status = Control<QStatusBar>(*started.window, kIdStatusBar);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->geometry().bottom(), started.window->height() - 1);
    EXPECT_EQ(status->width(), started.window->width());
}

TEST(MainWindowLayout, EveryControlHasItsIdTextAndPlace) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    struct Case {
        int id;
        const char* kind;
        const char* text;
        QRect rectDu;
    };
    const Case cases[] = {
        {kIdCaptureButton, "orvane::OwnerButton", "&Capture", QRect(10, 10, 53, 30)},
        {kIdClearButton, "orvane::OwnerButton", "Clear", QRect(75, 10, 53, 30)},
        {kIdSaveLogButton, "orvane::OwnerButton", "Save &Log", QRect(140, 10, 53, 30)},
        {kIdSetupButton, "orvane::OwnerButton", "&Set Up", QRect(205, 10, 53, 30)},
        {kIdPacketView, "QRadioButton", "Packet View", QRect(280, 8, 60, 15)},
        {kIdByteView, "QRadioButton", "Byte View", QRect(280, 26, 60, 15)},
        {kIdTimeSense, "QCheckBox", "Time Sense", QRect(357, 8, 60, 15)},
        {kIdTimeReply, "QCheckBox", "Time Reply", QRect(357, 26, 60, 15)},
        {kIdStatusSense, "QCheckBox", "Status Sense", QRect(424, 8, 60, 15)},
        {kIdStatusReply, "QCheckBox", "Status Reply", QRect(424, 26, 60, 15)},
        {kIdDisplayAcks, "QCheckBox", "Display ACKs", QRect(496, 8, 60, 15)},
        {kIdDevTypeFilter, "QCheckBox", "Disp. Dev Type", QRect(496, 26, 70, 15)},
    };
    for (const Case& c : cases) {
        auto* control = Control<QAbstractButton>(window, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_STREQ(control->metaObject()->className(), c.kind) << c.id;
        EXPECT_EQ(control->text(), QString::fromLatin1(c.text)) << c.id;
        EXPECT_EQ(control->geometry(), window.units().ToPixels(c.rectDu)) << c.id;
        EXPECT_EQ(control->font(), window.font()) << c.id;
    }
    auto* band = Control(window, kIdBackground);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->pos(), QPoint(0, 0));
    EXPECT_NEAR(band->width(), 1920, 3);
    EXPECT_NEAR(band->height(), 75, 3);
    EXPECT_EQ(Control<QTableView>(window, kIdPacketList), window.listView(ViewKind::Packet));
    EXPECT_EQ(Control<QTableView>(window, kIdByteList), window.listView(ViewKind::Byte));
}

TEST(MainWindowLayout, ListsInReportStyleWithTheirColumns) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    struct Case {
        ViewKind view;
        const char* captions[6];
        int widths[6];
        int centred;
    };
    const Case cases[] = {
        {ViewKind::Packet,
         {"Event", "Time", "ID", "Packet Data", "Command", "Packet #"},
         {50, 70, 48, 200, 800, 70},
         2},
        {ViewKind::Byte,
         {"Event", "Time", "Ctrl", "Deck", "Command", "Packet #"},
         {50, 70, 48, 48, 800, 70},
         3},
    };
    for (const Case& c : cases) {
        QTableView* list = started.window->listView(c.view);
        EXPECT_TRUE(list->showGrid());
        EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_EQ(list->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        EXPECT_FALSE(list->verticalHeader()->isVisible());
        ASSERT_EQ(list->model()->columnCount(), 6);
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal).toString(),
                      QString::fromLatin1(c.captions[column]));
            EXPECT_EQ(list->columnWidth(column), c.widths[column]) << column;
            const auto alignment = list->model()
                                       ->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                                       .value<Qt::Alignment>();
            EXPECT_EQ((alignment & Qt::AlignHCenter) != 0, column == 2 || column == c.centred)
                << column;
        }
    }
}

TEST(MainWindowSize, ListsFollowTheClientArea) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    EXPECT_EQ(window.lastClientWidth(), 571);
    EXPECT_EQ(window.lastClientHeight(), 414);
    window.resize(window.units().ToPixels(QSize(600, 400)));
    QCoreApplication::processEvents();
    EXPECT_EQ(window.lastClientWidth(), 600);
    EXPECT_EQ(window.lastClientHeight(), 400);
    const QRect expected = window.units().ToPixels(QRect(8, 47, 586, 340));
    EXPECT_EQ(window.listView(ViewKind::Packet)->geometry(), expected);
    EXPECT_EQ(window.listView(ViewKind::Byte)->geometry(), expected);
}

TEST(MainWindowClose, WritesTheSizeAndTheCheckStates) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    window.resize(window.units().ToPixels(QSize(600, 400)));
    QCoreApplication::processEvents();
    QTest::mouseClick(Control(window, kIdByteView), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(Control(window, kIdTimeReply), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(Control(window, kIdDisplayAcks), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(started.program->listViews.fillAbort);
    EXPECT_EQ(folder.ReadSettingsFile(),
              "[Form]\r\nwidth= 600\r\nheight= 400\r\n"
              "[Settings]\r\nPacket View= 0\r\nByte View= 1\r\nTime Sense= 0\r\n"
              "Time Reply= 1\r\nStatus Sense= 0\r\nStatus Reply= 0\r\nDisplay Acks= 1\r\n"
              "Dev Type Filter= 0\r\n");
}

TEST(MainWindowLists, FilterBoxRefillsTheListFromTheCaptureModel) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadCapture(*started.program);
    QAbstractItemModelTester tester(window.tableModel(ViewKind::Packet),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    // Time Sense unchecked hides the controller's time sense; the other two packets show.
    QTest::mouseClick(Control(window, kIdTimeReply), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(ShownRows(window, ViewKind::Packet), 2);
    EXPECT_EQ(Cell(window, ViewKind::Packet, 0, 3), QStringLiteral("74 04 00 00 00 00 78 "));
    QTest::mouseClick(Control(window, kIdTimeSense), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(ShownRows(window, ViewKind::Packet), 3);
    EXPECT_EQ(Cell(window, ViewKind::Packet, 0, 0), QStringLiteral("00001"));
    EXPECT_EQ(Cell(window, ViewKind::Packet, 0, 2), QStringLiteral("Ctrl"));
    EXPECT_EQ(Cell(window, ViewKind::Packet, 0, 3), QStringLiteral("61 0C 03 70 "));
    EXPECT_EQ(Cell(window, ViewKind::Packet, 2, 0), QStringLiteral("00003"));
    EXPECT_EQ(ShownRows(window, ViewKind::Byte), 0);
}

TEST(MainWindowLists, ViewOptionShowsAndFillsTheOtherList) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadCapture(*started.program);
    QTest::mouseClick(Control(window, kIdByteView), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.GetCheckState(kIdPacketView), 0);
    EXPECT_TRUE(window.listView(ViewKind::Byte)->isVisible());
    EXPECT_FALSE(window.listView(ViewKind::Packet)->isVisible());
    EXPECT_EQ(ShownRows(window, ViewKind::Packet), 0);
    // The time sense (4 bytes) stays hidden, as does the deck's time data: Time Reply is clear.
    EXPECT_EQ(ShownRows(window, ViewKind::Byte), 3);
    // Clicking the option that is selected already refills the list all the same.
    QSignalSpy resets(window.tableModel(ViewKind::Byte), &QAbstractItemModel::modelReset);
    QTest::mouseClick(Control(window, kIdByteView), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.GetCheckState(kIdByteView), 1);
    EXPECT_GE(resets.count(), 2);
    EXPECT_EQ(ShownRows(window, ViewKind::Byte), 3);
}

TEST(MainWindowLists, ClearEmptiesTheListsUntilTheNextCapture) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadCapture(*started.program);
    QTest::mouseClick(Control(window, kIdTimeSense), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_GT(ShownRows(window, ViewKind::Packet), 0);
    QTest::mouseClick(Control(window, kIdClearButton), Qt::LeftButton);
    EXPECT_EQ(ShownRows(window, ViewKind::Packet), 0);
    EXPECT_EQ(started.program->captureModel.byteCount, 0);
    QTest::mouseClick(Control(window, kIdStatusSense), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(ShownRows(window, ViewKind::Packet), 0);
    EXPECT_EQ(started.program->captureModel.lastPacketIndex, 2);
}

TEST(MainWindowSetUp, RefillsOnlyWhenTheProtocolChanged) {
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadCapture(*started.program);
    QSignalSpy resets(window.tableModel(ViewKind::Packet), &QAbstractItemModel::modelReset);
    auto runSetup = [&](int mode) {
        test::WithModalDialog(
            [&] { QTest::mouseClick(Control(window, kIdSetupButton), Qt::LeftButton); },
            [&](QWidget* widget) {
                auto* dialog = qobject_cast<SetupDialog*>(widget);
                ASSERT_NE(dialog, nullptr);
                QTest::mouseClick(dialog->protocolOption(mode), Qt::LeftButton);
                QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            });
    };
    runSetup(kProtocolSony);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_TRUE(folder.HasSettingsFile());
    runSetup(kProtocolVdcp);
    EXPECT_GT(resets.count(), 0);
    EXPECT_EQ(started.program->settings.protocolMode, kProtocolVdcp);
    EXPECT_EQ(started.program->decoder.protocolMode(), kProtocolVdcp);
}

TEST(DebugOption, FoundAnywhereInAnyCase) {
    struct Case {
        std::vector<std::string_view> arguments;
        bool debug;
    };
    const Case cases[] = {
        {{}, false},       {{"/DEBUG"}, true}, {{"x", "nodebugging"}, true},
        {{"DeBuG"}, true}, {{"debu"}, false},  {{"deb", "ug"}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasDebugOption(c.arguments), c.debug) << c.arguments.size();
    }
}

}  // namespace
}  // namespace orvane
