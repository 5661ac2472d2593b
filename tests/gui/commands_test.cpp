// The main window's commands around a held capture: Clear, Set Up (a protocol change, the keys it
// writes), Save Log through a stand-in for the file dialog, and closing the window mid-refill.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <optional>

#include "capture/packet_assembly.hpp"
#include "gui_test_support.hpp"
#include "ui/ip_address_edit.hpp"
#include "ui/list_table_model.hpp"
#include "ui/message_dialog.hpp"
#include "ui/save_log.hpp"
#include "ui/setup_dialog.hpp"
#include "views/log_writer.hpp"

namespace orvane {
namespace {

// One capture-unit message: the marker, sequence number 1, then (direction, tick, byte) entries.
std::string Message(const std::vector<std::array<int, 3>>& entries) {
    std::string bytes = std::string(5, '\0') + std::string{'\0', '\0', '\1'};
    for (const auto& [direction, tick, value] : entries) {
        bytes.push_back(static_cast<char>(direction | ((tick >> 8) & 0x0F)));
        bytes.push_back(static_cast<char>(tick & 0xFF));
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

// Play from the controller, the deck's acknowledgement, Stop: three packets.
const std::string kThreePackets = Message({{0x80, 0x010, 0x20},
                                           {0x80, 0x010, 0x01},
                                           {0x80, 0x010, 0x21},
                                           {0xC0, 0x015, 0x10},
                                           {0xC0, 0x015, 0x01},
                                           {0xC0, 0x015, 0x11},
                                           {0x80, 0x100, 0x20},
                                           {0x80, 0x100, 0x00},
                                           {0x80, 0x100, 0x20}});

class CommandsTest : public ::testing::Test {
  protected:
    // Holds `message` as a finished capture and shows it with every filter box checked.
    void HoldCapture(const std::string& message) {
        CaptureModel& model = started.program->captureModel;
        model.receivedBlocks = {std::string(), message};
        model.blockCount = 1;
        AssembleCapture(model, started.program->settings.protocolMode, started.program->trace);
        started.CheckEveryFilterBox();
        started.Click(kIdPacketView);
    }

    // The Packet View's rows as Save Log writes them.
    std::vector<std::string> PacketRows() const {
        const ListModel& list = started.program->captureLists.packetList;
        std::vector<std::string> rows;
        for (int row = 0; row < list.GetItemCount(); ++row) rows.push_back(LogRowLine(list, row));
        return rows;
    }

    test::ScratchFolder scratch;
    test::StartedProgram started = test::StartProgram();
};

TEST_F(CommandsTest, AfterClearAFilterClickLeavesTheListsEmpty) {
    HoldCapture(kThreePackets);
    ASSERT_EQ(started.Rows(ViewKind::Packet), 3);
    started.Click(kIdClearButton);
    EXPECT_EQ(started.Rows(ViewKind::Packet), 0);
    started.Click(kIdDisplayAcks);
    EXPECT_EQ(started.Rows(ViewKind::Packet), 0);
    started.Click(kIdByteView);
    EXPECT_EQ(started.Rows(ViewKind::Byte), 0);
}

TEST_F(CommandsTest, ProtocolChangeInSetUpGroupsTheCaptureAgain) {
    // Select Port framed for VDCP (02 03 22 22 01 BB) and the deck's ACK: Sony rules cut the
    // controller's six bytes into two packets.
    const std::string exchange = Message({{0x80, 0x010, 0x02},
                                          {0x80, 0x010, 0x03},
                                          {0x80, 0x010, 0x22},
                                          {0x80, 0x010, 0x22},
                                          {0x80, 0x010, 0x01},
                                          {0x80, 0x010, 0xBB},
                                          {0xC0, 0x020, 0x04}});
    started.program->settings.protocolMode = ProtocolMode::kVdcp;
    HoldCapture(exchange);
    const std::vector<std::string> takenAsVdcp = PacketRows();
    started.program->settings.protocolMode = ProtocolMode::kSony;
    HoldCapture(exchange);
    ASSERT_NE(PacketRows(), takenAsVdcp);

    QSignalSpy resets(started.window->tableModel(ViewKind::Packet),
                      &QAbstractItemModel::modelReset);
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        EXPECT_TRUE(test::OnModal<SetupDialog>([&] { started.Click(kIdSetupButton); },
                                               [mode](SetupDialog* dialog) {
                                                   dialog->protocolOption(mode)->click();
                                                   dialog->okButton()->click();
                                               }));
        // only on a change
        EXPECT_EQ(resets.count() > 0, mode != ProtocolMode::kSony) << ProtocolNumber(mode);
    }
    EXPECT_EQ(PacketRows(), takenAsVdcp);
}

TEST_F(CommandsTest, SetUpOkWritesTheConnectionKeysAndCancelWritesNothing) {
    struct Case {
        const char* port;
        std::optional<ProtocolMode> protocolClicked;  // none: no option clicked
        bool ok;
        std::string file;  // the settings file afterwards; empty: none
    };
    const std::string written = "[Setup]\r\nIp Address=127.0.0.5\r\nPort Number= ";
    const Case cases[] = {
        {"080", ProtocolMode::kVdcp, true, written + "80\r\nProtocol= 2\r\n"},
        // An emptied or zero port keeps the old one; with no option clicked, the protocol the
        // dialog opened with is stored.
        {"", std::nullopt, true, written + "2001\r\nProtocol= 1\r\n"},
        {"0", std::nullopt, true, written + "2001\r\nProtocol= 1\r\n"},
        {"99", ProtocolMode::kVdcp, false, ""},
    };
    for (const Case& c : cases) {
        QFile::remove(QDir(scratch.path()).filePath(QStringLiteral("Orvane.ini")));
        started.program->settings = ConnectionSettings{"127.0.1.9", 2001, ProtocolMode::kOdetics};
        EXPECT_TRUE(test::OnModal<SetupDialog>(
            [&] { started.Click(kIdSetupButton); },
            [&](SetupDialog* dialog) {
                dialog->addressEdit()->SetAddressText(QStringLiteral("127.0.0.5"));
                dialog->portEdit()->setText(QString::fromLatin1(c.port));
                if (c.protocolClicked) dialog->protocolOption(*c.protocolClicked)->click();
                (c.ok ? dialog->okButton() : dialog->cancelButton())->click();
            }));
        EXPECT_EQ(scratch.ReadSettingsFile(), c.file) << c.port;
    }
}

TEST_F(CommandsTest, SaveLogWritesTheShownPacketsAndTheFolderFollows) {
    const std::unique_ptr<QFileDialog> dialog = MakeSaveLogDialog(nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Save Orvane Log"));
    EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("Orvane Log (*.csv)")});
    EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("csv"));
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));

    HoldCapture(kThreePackets);
    ASSERT_EQ(started.Rows(ViewKind::Packet), 3);
    QTemporaryDir logs;
    const QString path = logs.filePath(QStringLiteral("three.csv"));
    started.window->SetAskSaveFileName([&](QWidget*) { return path; });
    started.Click(kIdSaveLogButton);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 6);  // title, header, three rows, nothing after the last newline
    EXPECT_EQ(lines[1], "Event\tTime\tID\tPacket\tCommand\r");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(lines[2 + row].toStdString() + "\n",
                  LogRowLine(started.program->captureLists.packetList, row));
    }
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(logs.path()).canonicalPath());
}

TEST_F(CommandsTest, LogThatCannotBeWrittenShowsWhy) {
    HoldCapture(kThreePackets);
    ASSERT_TRUE(QDir(scratch.path()).mkdir(QStringLiteral("taken.csv")));
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"missing/log.csv", "No such file or directory"},
        {"taken.csv", "Is a directory"},
    };
    for (const Case& c : cases) {
        const QString path = scratch.path() + QStringLiteral("/") + QString::fromLatin1(c.name);
        started.window->SetAskSaveFileName([&](QWidget*) { return path; });
        EXPECT_EQ(test::AnswerMessage([&] { started.Click(kIdSaveLogButton); }),
                  QStringLiteral("Error writing log: ") + path + QStringLiteral(": ") +
                      QString::fromLatin1(c.reason));
    }
}

TEST_F(CommandsTest, ClosingDuringARefillStopsItAndSavesTheSettings) {
    HoldCapture(kThreePackets);
    // The fill of the Packet View starts on an emptied list; the window is closed right then.
    CaptureLists& lists = started.program->captureLists;
    const ListHooks original = lists.hooks;
    bool closed = false;
    lists.hooks.beforeChange = [&](ViewKind view) {
        original.beforeChange(view);
        if (closed || view != ViewKind::Packet || lists.packetList.GetItemCount() != 0) return;
        closed = true;
        started.window->close();
    };
    started.Click(kIdTimeSense);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(started.window->isVisible());
    EXPECT_EQ(started.Rows(ViewKind::Packet), 0);
    const std::string settings = scratch.ReadSettingsFile();
    EXPECT_NE(settings.find("[Form]"), std::string::npos);
    EXPECT_NE(settings.find("Time Sense= 0"), std::string::npos);
    lists.hooks = original;
}

}  // namespace
}  // namespace orvane
