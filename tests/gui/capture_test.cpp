// Captures through the main window against the simulated capture unit on loopback: the counter
// and Stop, the unit closing, a refused connection, the window serviced while connecting, Stop
// before any data.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include "app/capture_sequence.hpp"
#include "gui_test_support.hpp"
#include "platform/capture_connection.hpp"
#include "ui/capture_dialog.hpp"

namespace orvane {
namespace {

using test::ActiveModal;
using test::Simulator;

// What one click of Capture showed.
struct CaptureRun {
    bool ended = false;       // the dialog ended before the deadline
    std::vector<int> counts;  // the counter's values, each new one once
    QString finalCount;       // the counter as the dialog ended
};

class CaptureTest : public test::ProgramTest {
  protected:
    // Clicks Capture and watches the capture dialog; Stop is clicked once `stopWhen` says so.
    CaptureRun Capture(const std::function<bool(CaptureDialog&)>& stopWhen) {
        CaptureRun run;
        bool seen = false;
        run.ended = test::DriveModal(
            [&] { started.Click(kIdCaptureButton); },
            [&] {
                auto* dialog = ActiveModal<CaptureDialog>();
                if (dialog == nullptr) return false;
                if (!std::exchange(seen, true)) {
                    QObject::connect(dialog, &QDialog::finished, dialog,
                                     [&run, dialog] { run.finalCount = dialog->counterText(); });
                }
                bool isNumber = false;
                const int count = dialog->counterText().toInt(&isNumber);
                if (isNumber && (run.counts.empty() || run.counts.back() != count)) {
                    run.counts.push_back(count);
                }
                if (!stopWhen(*dialog)) return false;
                QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
                return true;
            });
        run.ended = run.ended && seen;
        return run;
    }

    static std::function<bool(CaptureDialog&)> StopAt(int count) {
        return [count](CaptureDialog& dialog) { return dialog.counterText().toInt() >= count; };
    }
};

TEST_F(CaptureTest, PacketViewShowsWhatReplayOfTheSameBytesGives) {
    Simulator sim;
    ASSERT_TRUE(
        sim.Start({"--scenario", "sony", "--seed", "7", "--rate", "150", "--idle-after", "150"}));
    started.PointAt(sim.port());
    const CaptureRun run = Capture(StopAt(150));
    EXPECT_TRUE(run.ended);
    ASSERT_GE(run.counts.size(), 3u);  // the counter rose while the dialog was up
    EXPECT_TRUE(std::is_sorted(run.counts.begin(), run.counts.end()));
    EXPECT_EQ(run.finalCount, QStringLiteral("150"));
    EXPECT_EQ(started.program->captureModel.blockCount, 150);

    // The same stream, captured and replayed by the command-line tool.
    const QString raw = PathOf("capture.bin");
    ASSERT_EQ(
        test::RunCli({"capture", "--address", "127.0.0.1", "--port", QString::number(sim.port()),
                      "--seconds", "5", "--save-raw", raw, "--out", PathOf("capture.csv")}),
        0);
    QByteArray replay;
    ASSERT_EQ(test::RunCli({"replay", raw}, &replay), 0);
    std::vector<std::string> replayRows;
    const QList<QByteArray> lines = replay.split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {  // after the title and the header
        if (!lines[i].isEmpty()) replayRows.push_back(lines[i].toStdString() + "\n");
    }
    EXPECT_GT(replayRows.size(), 100u);
    EXPECT_EQ(started.PacketRows(), replayRows);
}

TEST_F(CaptureTest, UnitClosingKeepsTheDialogUpAndTheData) {
    struct Case {
        QStringList closing;
        int blocks;
    };
    const Case cases[] = {
        {{}, 40},
        {{"--partial", "20"}, 41},  // a 41st message cut after four whole entries
        {{"--reset"}, 40},
    };
    for (const Case& c : cases) {
        Simulator sim;
        ASSERT_TRUE(sim.Start(
            QStringList{"--scenario", "sony", "--rate", "200", "--close-after", "40"} + c.closing));
        started.PointAt(sim.port());
        QElapsedTimer closedFor;
        const CaptureRun run = Capture([&](CaptureDialog&) {
            if (window().captureSequence().IsConnectionOpen()) return false;
            if (!closedFor.isValid()) closedFor.start();
            return closedFor.elapsed() > 300;  // still up well after the unit closed
        });
        EXPECT_TRUE(run.ended) << c.blocks;
        EXPECT_EQ(started.program->captureModel.blockCount, c.blocks) << c.blocks;
        EXPECT_EQ(run.finalCount, QString::number(c.blocks));
        EXPECT_GT(started.Rows(ViewKind::Packet), 0) << c.blocks;
    }
}

TEST_F(CaptureTest, StopBeforeDataOrARefusedConnectionKeepThePreviousCapture) {
    Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "fast", "--idle-after", "25"}));
    started.PointAt(sim.port());
    ASSERT_TRUE(Capture(StopAt(25)).ended);
    const std::vector<std::string> before = started.PacketRows();
    ASSERT_FALSE(before.empty());

    Simulator silent;
    ASSERT_TRUE(silent.Start({"--scenario", "sony", "--idle-after", "0"}));
    started.PointAt(silent.port());
    const CaptureRun run = Capture([](CaptureDialog&) { return true; });
    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(run.counts.empty());
    EXPECT_EQ(started.program->captureModel.blockCount, 0);
    EXPECT_EQ(started.PacketRows(), before);

    // The refusal's message is WindowIsServicedUnderTheHourglassWhileConnecting's part.
    const QString statusBefore = window().statusBar()->currentMessage();
    started.PointAt(test::FreeLoopbackPort());
    bool sawCaptureDialog = false;
    EXPECT_FALSE(test::AnswerMessage([&] { started.Click(kIdCaptureButton); },
                                     [&] {
                                         sawCaptureDialog = sawCaptureDialog ||
                                                            ActiveModal<CaptureDialog>() != nullptr;
                                     })
                     .isEmpty());
    EXPECT_FALSE(sawCaptureDialog);
    EXPECT_EQ(started.PacketRows(), before);
    EXPECT_EQ(window().statusBar()->currentMessage(), statusBefore);
}

TEST_F(CaptureTest, WindowIsServicedUnderTheHourglassWhileConnecting) {
    started.PointAt(test::FreeLoopbackPort());  // a capture unit that is not there
    started.program->captureSettings.folder = scratch.path().string();
    for (const bool continuous : {false, true}) {
        started.program->captureSettings.continuous = continuous;
        bool servicedWhileConnecting = false;
        const QString message = test::AnswerMessage([&] {
            // Runs at the event loop's next pass: during the connect when the window is
            // serviced meanwhile, otherwise only once the message dialog is up.
            QTimer::singleShot(0, [&] {
                const QCursor* cursor = QApplication::overrideCursor();
                servicedWhileConnecting = cursor != nullptr && cursor->shape() == Qt::WaitCursor &&
                                          QApplication::activeModalWidget() == nullptr;
            });
            started.Click(kIdCaptureButton);
        });
        EXPECT_TRUE(servicedWhileConnecting) << continuous;
        EXPECT_EQ(message, QStringLiteral("Error opening port: Device I/O error")) << continuous;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << continuous;
    }
}

TEST(CaptureConnection, PortOutsideTheTcpRangeNeverReachesAnotherPort) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    CaptureConnection connection;
    // Cut to 16 bits, either port would reach the listener.
    for (const int port : {server.serverPort() + 65536, server.serverPort() - 65536}) {
        EXPECT_EQ(connection.Open("127.0.0.1", port), "Device I/O error") << port;
    }
    EXPECT_FALSE(server.waitForNewConnection(100));
}

}  // namespace
}  // namespace orvane
