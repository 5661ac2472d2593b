// The main window's commands around a held capture: Clear, a protocol change in Set Up, Save Log
// and closing the window in the middle of a refill.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/packet_assembly.hpp"
#include "capture_test_support.hpp"
#include "gui_test_support.hpp"
#include "ui/list_table_model.hpp"
#include "ui/owner_button.hpp"
#include "ui/setup_dialog.hpp"
#include "views/log_writer.hpp"

namespace orvane {
namespace {

using test::ActiveModal;
using test::ModalScript;

constexpr int kFilterIds[6] = {kIdTimeSense,   kIdTimeReply,   kIdStatusSense,
                               kIdStatusReply, kIdDisplayAcks, kIdDevTypeFilter};

// One capture-unit message: the marker, sequence number 1, then (direction, tick, byte) entries.
std::string Message(const std::vector<std::array<int, 3>>& entries) {
    std::string bytes(5, '\0');
    bytes += std::string{'\0', '\0', '\1'};
    for (const auto& [direction, tick, value] : entries) {
        bytes.push_back(static_cast<char>(direction | ((tick >> 8) & 0x0F)));
        bytes.push_back(static_cast<char>(tick & 0xFF));
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Play from the controller, the deck's acknowledgement, Stop: three packets.
std::string ThreePackets() {
    return Message({{0x80, 0x010, 0x20},
                    {0x80, 0x010, 0x01},
                    {0x80, 0x010, 0x21},
                    {0xC0, 0x015, 0x10},
                    {0xC0, 0x015, 0x01},
                    {0xC0, 0x015, 0x11},
                    {0x80, 0x100, 0x20},
                    {0x80, 0x100, 0x00},
                    {0x80, 0x100, 0x20}});
}

class CommandsTest : public ::testing::Test {
  protected:
    CommandsTest() : started(test::StartProgram()) {}

    MainWindow& window() { return *started.window; }
    Program& program() { return *started.program; }

    QAbstractButton* Control(int id) {
        return window().findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    }

    // Holds `message` as a finished capture and shows it with every filter box checked.
    void HoldCapture(const std::string& message) {
        CaptureModel& model = program().captureModel;
        model.receivedBlocks = {std::string(), message};
        model.blockCount = 1;
        AssembleCapture(model, program().settings.protocolMode, program().trace);
        for (int id : kFilterIds) window().SetCheckState(id, 1);
        QTest::mouseClick(Control(kIdPacketView), Qt::LeftButton);
    }

    int Rows(ViewKind view) { return program().listViews.ListFor(view).GetItemCount(); }

    test::ScratchFolder scratch;
    test::StartedProgram started;
};

TEST_F(CommandsTest, AfterClearEveryRefreshLeavesTheListsEmpty) {
    HoldCapture(ThreePackets());
    ASSERT_EQ(Rows(ViewKind::Packet), 3);
    QTest::mouseClick(Control(kIdClearButton), Qt::LeftButton);
    EXPECT_EQ(Rows(ViewKind::Packet), 0);
    EXPECT_EQ(program().captureModel.byteCount, 0);
    EXPECT_EQ(program().captureModel.lastPacketIndex, 2);  // kept, unseen

    QTest::mouseClick(Control(kIdDisplayAcks), Qt::LeftButton);
    EXPECT_EQ(Rows(ViewKind::Packet), 0);
    QTest::mouseClick(Control(kIdByteView), Qt::LeftButton);
    EXPECT_EQ(Rows(ViewKind::Byte), 0);
    QTest::mouseClick(Control(kIdPacketView), Qt::LeftButton);
    EXPECT_EQ(Rows(ViewKind::Packet) + Rows(ViewKind::Byte), 0);
}

// Runs Set Up, checks the protocol option `mode` and confirms.
bool ChooseProtocol(MainWindow& window, int mode) {
    ModalScript script([mode] {
        auto* dialog = ActiveModal<SetupDialog>();
        if (dialog == nullptr) return false;
        dialog->protocolOption(mode)->click();
        dialog->okButton()->click();
        return true;
    });
    QTest::mouseClick(window.findChild<QAbstractButton*>(QStringLiteral("id105")), Qt::LeftButton);
    return !script.expired();
}

TEST_F(CommandsTest, ProtocolChangeInSetUpDecodesTheHeldPacketsAgain) {
    // 02 02 00 0C F4: a VDCP command that Sony rules read as something else entirely.
    HoldCapture(Message({{0x80, 0x010, 0x02},
                         {0x80, 0x010, 0x02},
                         {0x80, 0x010, 0x00},
                         {0x80, 0x010, 0x0C},
                         {0x80, 0x010, 0xF4},
                         {0xC0, 0x020, 0x04}}));
    const ListModel& list = program().listViews.packetList;
    ASSERT_GT(list.GetItemCount(), 0);
    const std::string sonyData = list.GetItemText(0, 3);
    const std::string sonyCommand = list.GetItemText(0, 4);

    QSignalSpy resets(window().tableModel(ViewKind::Packet), &QAbstractItemModel::modelReset);
    ASSERT_TRUE(ChooseProtocol(window(), 0));  // unchanged: no refresh
    EXPECT_EQ(resets.count(), 0);

    ASSERT_TRUE(ChooseProtocol(window(), 2));
    EXPECT_GT(resets.count(), 0);
    EXPECT_EQ(program().settings.protocolMode, 2);
    ASSERT_GT(list.GetItemCount(), 0);
    // The packets are not regrouped, only described under the new protocol.
    EXPECT_EQ(list.GetItemText(0, 3), sonyData);
    EXPECT_NE(list.GetItemText(0, 4), sonyCommand);
}

TEST_F(CommandsTest, SaveLogWritesTheShownPacketsAndTheFolderFollows) {
    HoldCapture(ThreePackets());
    ASSERT_EQ(Rows(ViewKind::Packet), 3);
    QTemporaryDir logs;
    const QString path = QDir(logs.path()).filePath(QStringLiteral("three.csv"));
    window().SetAskSaveFileName([&](QWidget* owner) {
        EXPECT_EQ(owner, &window());
        return path;
    });
    QTest::mouseClick(Control(kIdSaveLogButton), Qt::LeftButton);

    const auto readLines = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
    };
    const QList<QByteArray> lines = readLines();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[1], "Event\tTime\tID\tPacket\tCommand\r");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(lines[2 + row].toStdString() + "\n",
                  LogRowLine(program().listViews.packetList, row));
    }
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(logs.path()).canonicalPath());

    // The Byte View writes its own header and one line per byte.
    QTest::mouseClick(Control(kIdByteView), Qt::LeftButton);
    QTest::mouseClick(Control(kIdSaveLogButton), Qt::LeftButton);
    const QList<QByteArray> byteLines = readLines();
    ASSERT_GT(byteLines.size(), 2);
    EXPECT_EQ(byteLines[1], "Event\tTime\tCtrl\tVTR\tCommand\r");
    EXPECT_EQ(byteLines.size(), 2 + 9 + 1);
}

TEST_F(CommandsTest, ClosingDuringARefillStopsItAndSavesTheSettings) {
    HoldCapture(ThreePackets());
    // The fill of the Packet View starts on an emptied list; the window is closed right then.
    const ListHooks original = program().listViews.hooks;
    bool closed = false;
    program().listViews.hooks.beforeChange = [&](ViewKind view) {
        original.beforeChange(view);
        if (!closed && view == ViewKind::Packet &&
            program().listViews.packetList.GetItemCount() == 0) {
            closed = true;
            window().close();
        }
    };
    QTest::mouseClick(Control(kIdTimeSense), Qt::LeftButton);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(Rows(ViewKind::Packet), 0);
    const std::string settings = scratch.ReadSettingsFile();
    EXPECT_NE(settings.find("[Settings]"), std::string::npos);
    EXPECT_NE(settings.find("[Form]"), std::string::npos);
    // The box was unchecked by the click that started the refill.
    EXPECT_EQ(window().GetCheckState(kIdTimeSense), 0);
    program().listViews.hooks = original;
}

}  // namespace
}  // namespace orvane
