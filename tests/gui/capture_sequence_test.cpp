// Captures through the main window against the simulated capture unit on loopback: the counter,
// Stop, the unit closing, a refused connection, the full store, and the list afterwards.
#include "app/capture_sequence.hpp"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <string>
#include <vector>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture_test_support.hpp"
#include "gui_test_support.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"
#include "ui/owner_button.hpp"
#include "views/log_writer.hpp"

namespace orvane {
namespace {

using test::ActiveModal;
using test::ModalScript;
using test::Simulator;

constexpr int kFilterIds[6] = {kIdTimeSense,   kIdTimeReply,   kIdStatusSense,
                               kIdStatusReply, kIdDisplayAcks, kIdDevTypeFilter};

// What one click of Capture showed.
struct CaptureRun {
    bool sawDialog = false;
    bool expired = false;
    std::vector<int> counts;  // the counter's values, each new one once
    QString finalCount;       // the counter as the dialog ended
    QString status;           // the status bar's last text while the dialog was up
};

class CaptureTest : public ::testing::Test {
  protected:
    CaptureTest() : started(test::StartProgram()) {
        window().captureSequence().SetConnectTimeoutMs(test::kWaitMs);
    }

    MainWindow& window() { return *started.window; }
    Program& program() { return *started.program; }

    QAbstractButton* Control(int id) {
        return window().findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    }

    void PointAt(quint16 port) {
        program().settings.captureUnitAddress = "127.0.0.1";
        program().settings.captureUnitPort = port;
    }

    void ShowAllPackets() {
        for (int id : kFilterIds) window().SetCheckState(id, 1);
    }

    // Clicks Capture and watches the capture dialog; `stopWhen` decides, at each look, whether
    // to click Stop now (never, when it is empty).
    CaptureRun Capture(const std::function<bool(CaptureDialog&)>& stopWhen = {}) {
        CaptureRun run;
        ModalScript script([&] {
            auto* dialog = ActiveModal<CaptureDialog>();
            if (dialog == nullptr) return false;
            if (!run.sawDialog) {
                QObject::connect(dialog, &QDialog::finished, dialog,
                                 [&run, dialog] { run.finalCount = dialog->counterText(); });
            }
            run.sawDialog = true;
            if (!window().statusBar()->currentMessage().isEmpty()) {
                run.status = window().statusBar()->currentMessage();
            }
            bool isNumber = false;
            const int count = dialog->counterText().toInt(&isNumber);
            if (isNumber && (run.counts.empty() || run.counts.back() != count)) {
                run.counts.push_back(count);
            }
            if (!stopWhen || !stopWhen(*dialog)) return false;
            QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
            return true;
        });
        QTest::mouseClick(Control(kIdCaptureButton), Qt::LeftButton);
        run.expired = script.expired();
        return run;
    }

    static std::function<bool(CaptureDialog&)> StopAtCount(int count) {
        return [count](CaptureDialog& dialog) { return dialog.counterText().toInt() >= count; };
    }

    std::vector<std::string> Rows(ViewKind view) {
        const ListModel& list = program().listViews.ListFor(view);
        std::vector<std::string> rows;
        for (int row = 0; row < list.GetItemCount(); ++row) rows.push_back(LogRowLine(list, row));
        return rows;
    }

    test::ScratchFolder scratch;
    test::StartedProgram started;
};

// The row lines of a log file (everything after the title and header lines).
std::vector<std::string> LogRows(const QByteArray& log) {
    std::vector<std::string> rows;
    const QList<QByteArray> lines = log.split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (!lines[i].isEmpty()) rows.push_back(lines[i].toStdString() + "\n");
    }
    return rows;
}

std::string StoredBytes(const CaptureModel& model) {
    std::string bytes;
    for (int block = 1; block <= model.blockCount; ++block) bytes += model.receivedBlocks[block];
    return bytes;
}

TEST_F(CaptureTest, CaptureShowsWhatReplayOfTheSameBytesGives) {
    constexpr int kMessages = 150;
    Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--seed", "7", "--rate", "150", "--idle-after",
                           QString::number(kMessages)}));
    PointAt(sim.port());
    ShowAllPackets();

    const CaptureRun run = Capture(StopAtCount(kMessages));
    ASSERT_TRUE(run.sawDialog);
    EXPECT_FALSE(run.expired);
    // The counter rose while the dialog was up, one stored message at a time.
    ASSERT_GE(run.counts.size(), 3u);
    for (std::size_t i = 1; i < run.counts.size(); ++i) EXPECT_GT(run.counts[i], run.counts[i - 1]);
    EXPECT_EQ(run.counts.back(), kMessages);
    EXPECT_EQ(program().captureModel.blockCount, kMessages);
    EXPECT_EQ(run.finalCount, QString::number(kMessages));
    EXPECT_FALSE(window().captureSequence().IsConnectionOpen());
    // While the dialog was up the status bar showed a stored message in hexadecimal.
    EXPECT_TRUE(run.status.startsWith(QStringLiteral("00 00 00 00 00 "))) << qPrintable(run.status);

    // The same stream, captured and replayed by the command-line tool.
    QTemporaryDir work;
    const QString raw = work.filePath(QStringLiteral("capture.bin"));
    ASSERT_EQ(test::RunCli({"capture", "--address", "127.0.0.1", "--port",
                            QString::number(sim.port()), "--seconds", "5", "--save-raw", raw,
                            "--out", work.filePath(QStringLiteral("capture.csv"))}),
              0);
    QFile rawFile(raw);
    ASSERT_TRUE(rawFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(StoredBytes(program().captureModel), rawFile.readAll().toStdString());

    QByteArray replayAll;
    ASSERT_EQ(test::RunCli({"replay", raw}, &replayAll), 0);
    const std::vector<std::string> shown = Rows(ViewKind::Packet);
    EXPECT_GT(shown.size(), 100u);
    EXPECT_EQ(shown, LogRows(replayAll));

    // Under the first-start filters (every box clear) the two still agree.
    for (int id : kFilterIds) window().SetCheckState(id, 0);
    QTest::mouseClick(Control(kIdPacketView), Qt::LeftButton);
    QByteArray replayNone;
    ASSERT_EQ(test::RunCli({"replay", "--show", "none", raw}, &replayNone), 0);
    EXPECT_LT(Rows(ViewKind::Packet).size(), shown.size());
    EXPECT_EQ(Rows(ViewKind::Packet), LogRows(replayNone));
}

TEST_F(CaptureTest, UnitClosingKeepsTheDialogUpAndTheData) {
    struct Case {
        const char* name;
        QStringList closing;
        int blocks;
    };
    const Case cases[] = {
        {"orderly close", {}, 40},
        // The start of a 41st message: its marker, sequence number and four whole entries.
        {"close inside a message", {"--partial", "20"}, 41},
        {"reset", {"--reset"}, 40},
    };
    for (const Case& c : cases) {
        Simulator sim;
        ASSERT_TRUE(sim.Start(
            QStringList{"--scenario", "sony", "--rate", "200", "--close-after", "40"} + c.closing))
            << c.name;
        PointAt(sim.port());
        ShowAllPackets();
        QElapsedTimer closedFor;
        const CaptureRun run = Capture([&](CaptureDialog&) {
            if (window().captureSequence().IsConnectionOpen()) return false;
            // Closed by the unit: the dialog stays until the user stops it.
            if (!closedFor.isValid()) closedFor.start();
            return closedFor.elapsed() > 300;
        });
        EXPECT_TRUE(run.sawDialog) << c.name;
        EXPECT_FALSE(run.expired) << c.name;
        EXPECT_EQ(program().captureModel.blockCount, c.blocks) << c.name;
        EXPECT_EQ(run.finalCount, QString::number(c.blocks)) << c.name;
        EXPECT_GT(program().listViews.packetList.GetItemCount(), 0) << c.name;
    }
}

TEST_F(CaptureTest, RefusedConnectionShowsWhyAndChangesNothingElse) {
    Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "fast", "--idle-after", "30"}));
    PointAt(sim.port());
    ShowAllPackets();
    ASSERT_FALSE(Capture(StopAtCount(30)).expired);
    const std::vector<std::string> rowsBefore = Rows(ViewKind::Packet);
    const std::vector<PacketLine> linesBefore = program().captureModel.packetLines;
    const int bytesBefore = program().captureModel.byteCount;
    const QString statusBefore = window().statusBar()->currentMessage();
    ASSERT_FALSE(rowsBefore.empty());

    PointAt(test::FreeLoopbackPort());
    bool sawCaptureDialog = false;
    QString message;
    ModalScript script([&] {
        if (ActiveModal<CaptureDialog>() != nullptr) sawCaptureDialog = true;
        auto* dialog = ActiveModal<MessageDialog>();
        if (dialog == nullptr) return false;
        message = dialog->label()->text();
        dialog->okButton()->click();
        return true;
    });
    QTest::mouseClick(Control(kIdCaptureButton), Qt::LeftButton);
    EXPECT_FALSE(script.expired());
    EXPECT_EQ(message, QStringLiteral("Error opening port: Device I/O error"));
    EXPECT_FALSE(sawCaptureDialog);
    EXPECT_EQ(Rows(ViewKind::Packet), rowsBefore);
    EXPECT_EQ(program().captureModel.byteCount, bytesBefore);
    EXPECT_EQ(program().captureModel.packetLines.size(), linesBefore.size());
    EXPECT_EQ(window().statusBar()->currentMessage(), statusBefore);
}

TEST_F(CaptureTest, EmptySettingsConnectToTheDefaults) {
    // No address and port 0 become 127.0.0.1 and 23 before connecting (nothing listens there
    // in the test, or something does; either way the settings now hold the defaults).
    program().settings.captureUnitAddress.clear();
    program().settings.captureUnitPort = 0;
    window().captureSequence().SetConnectTimeoutMs(2000);
    ModalScript script([] {
        if (auto* message = ActiveModal<MessageDialog>()) {
            message->okButton()->click();
            return true;
        }
        if (auto* dialog = ActiveModal<CaptureDialog>()) {
            QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
            return true;
        }
        return false;
    });
    QTest::mouseClick(Control(kIdCaptureButton), Qt::LeftButton);
    EXPECT_FALSE(script.expired());
    EXPECT_EQ(program().settings.captureUnitAddress, "127.0.0.1");
    EXPECT_EQ(program().settings.captureUnitPort, 23);
}

TEST_F(CaptureTest, MessageThatFindsTheStoreFullClosesTheDialog) {
    Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "2000", "--idle-after", "1001"}));
    PointAt(sim.port());
    const CaptureRun run = Capture();  // never clicks Stop
    EXPECT_TRUE(run.sawDialog);
    EXPECT_FALSE(run.expired) << "the dialog did not close by itself";
    EXPECT_EQ(program().captureModel.blockCount, kMaxBlocks);
    EXPECT_EQ(run.finalCount, QStringLiteral("1000"));
    EXPECT_GT(program().captureModel.byteCount, 0);
}

TEST_F(CaptureTest, StopBeforeAnyDataShowsThePreviousCaptureAgain) {
    Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "fast", "--idle-after", "25"}));
    PointAt(sim.port());
    ShowAllPackets();
    ASSERT_FALSE(Capture(StopAtCount(25)).expired);
    const std::vector<std::string> rowsBefore = Rows(ViewKind::Packet);
    ASSERT_FALSE(rowsBefore.empty());

    Simulator silent;
    ASSERT_TRUE(silent.Start({"--scenario", "sony", "--idle-after", "0"}));
    PointAt(silent.port());
    const CaptureRun run = Capture([](CaptureDialog&) { return true; });
    EXPECT_TRUE(run.sawDialog);
    EXPECT_TRUE(run.counts.empty());
    EXPECT_EQ(run.finalCount, QString());
    EXPECT_EQ(program().captureModel.blockCount, 0);
    EXPECT_EQ(Rows(ViewKind::Packet), rowsBefore);
}

}  // namespace
}  // namespace orvane
