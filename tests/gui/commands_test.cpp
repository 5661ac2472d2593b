// The main window's commands around a held capture: Clear, Set Up (a protocol change, the keys it
// writes), Save Log through a stand-in for the file dialog, and closing the window mid-refill.
#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <optional>

#include "gui_test_support.hpp"
#include "line_faults.hpp"
#include "ui/ip_address_edit.hpp"
#include "ui/list_table_model.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

using test::Sony;

class CommandsTest : public test::ProgramTest {
  protected:
    // Opens Play from the controller, the deck's acknowledgement and Stop: three packets.
    void HoldThreePackets() {
        ASSERT_TRUE(started.OpenStream(scratch.Path("three.bin"),
                                       test::RawStream({{false, 16, Sony({0x20, 0x01})},
                                                        {true, 21, Sony({0x10, 0x01})},
                                                        {false, 256, Sony({0x20, 0x00})}})));
        ASSERT_EQ(started.Rows(ViewKind::Packet), 3);
    }
};

TEST_F(CommandsTest, AfterClearAFilterClickLeavesTheListsEmpty) {
    HoldThreePackets();
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
    const std::string exchange =
        test::RawStream({{false, 16, {0x02, 0x03, 0x22, 0x22, 0x01, 0xBB}}, {true, 32, {0x04}}}, 6);
    started.program->settings.protocolMode = ProtocolMode::kVdcp;
    ASSERT_TRUE(started.OpenStream(scratch.Path("vdcp.bin"), exchange));
    const std::vector<std::string> takenAsVdcp = started.PacketRows();
    started.program->settings.protocolMode = ProtocolMode::kSony;
    ASSERT_TRUE(started.OpenStream(scratch.Path("vdcp.bin"), exchange));
    ASSERT_NE(started.PacketRows(), takenAsVdcp);

    QSignalSpy resets(window().tableModel(ViewKind::Packet), &QAbstractItemModel::modelReset);
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        EXPECT_TRUE(started.SetUpProtocol(mode));
        // only on a change
        EXPECT_EQ(resets.count() > 0, mode != ProtocolMode::kSony) << ProtocolNumber(mode);
    }
    EXPECT_EQ(started.PacketRows(), takenAsVdcp);
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
        std::filesystem::remove(scratch.Path("Orvane.ini"));
        started.program->settings = ConnectionSettings{"127.0.1.9", 2001, ProtocolMode::kOdetics};
        EXPECT_TRUE(started.InSetUp([&](SetupDialog* dialog) {
            dialog->addressEdit()->SetAddressText(QStringLiteral("127.0.0.5"));
            dialog->portEdit()->setText(QString::fromLatin1(c.port));
            if (c.protocolClicked) dialog->protocolOption(*c.protocolClicked)->click();
            (c.ok ? dialog->okButton() : dialog->cancelButton())->click();
        }));
        EXPECT_EQ(test::ReadSettingsFile(scratch), c.file) << c.port;
    }
}

TEST_F(CommandsTest, SaveLogWritesTheShownPacketsAndTheFolderFollows) {
    HoldThreePackets();
    std::filesystem::create_directory(scratch.Path("logs"));
    const QString path = PathOf("logs/three.csv");
    window().SetAskSaveFileName([&](QWidget*) { return path; });
    started.Click(kIdSaveLogButton);
    const QList<QByteArray> lines =
        QByteArray::fromStdString(test::ReadFileBytes(path.toStdString())).split('\n');
    ASSERT_EQ(lines.size(), 6);  // title, header, three rows, nothing after the last newline
    EXPECT_EQ(lines[1], "Event\tTime\tID\tPacket\tCommand\r");
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(lines[2 + row].toStdString() + "\n", started.PacketRows()[row]);
    }
    EXPECT_EQ(QDir::current().canonicalPath(), QDir(PathOf("logs")).canonicalPath());
}

TEST_F(CommandsTest, LogThatCannotBeWrittenShowsWhy) {
    HoldThreePackets();
    std::filesystem::create_directory(scratch.Path("taken.csv"));
    struct Case {
        const char* name;
        const char* reason;
    };
    const Case cases[] = {
        {"missing/log.csv", "No such file or directory"},
        {"taken.csv", "Is a directory"},
    };
    for (const Case& c : cases) {
        const QString path = PathOf(c.name);
        window().SetAskSaveFileName([&](QWidget*) { return path; });
        EXPECT_EQ(test::AnswerMessage([&] { started.Click(kIdSaveLogButton); }),
                  "Error writing log: " + path + ": " + c.reason);
    }
}

TEST_F(CommandsTest, ClosingDuringARefillStopsItAndSavesTheSettings) {
    HoldThreePackets();
    // The fill of the Packet View starts on an emptied list; the window is closed right then.
    CaptureLists& lists = started.program->captureLists;
    const ListHooks original = lists.hooks;
    bool closed = false;
    lists.hooks.beforeChange = [&](ViewKind view) {
        original.beforeChange(view);
        if (closed || view != ViewKind::Packet || lists.packetList.GetItemCount() != 0) return;
        closed = true;
        window().close();
    };
    started.Click(kIdTimeSense);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(started.Rows(ViewKind::Packet), 0);
    const std::string settings = test::ReadSettingsFile(scratch);
    EXPECT_NE(settings.find("[Form]"), std::string::npos);
    EXPECT_NE(settings.find("Time Sense= 0"), std::string::npos);
    lists.hooks = original;
}

}  // namespace
}  // namespace orvane
