// Continuous capture through the main window against the simulated capture unit: the list grows
// live past the bounded store's limit, filters change during it, Stop (Alt+C), Save Log and the
// export while it runs or after, the file reopened, a burst just before Stop kept whole, and the
// ways a capture ends or cannot start.
#include "capture/continuous_capture.hpp"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QThread>

#include "app/live_capture.hpp"
#include "capture/message_layout.hpp"
#include "gui_test_support.hpp"
#include "platform/text_codec.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/continuous_list.hpp"
#include "ui/message_dialog.hpp"

namespace orvane {
namespace {

using test::RowTexts;

class ContinuousCaptureTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        test::WriteSettingsFile(scratch, "[Setup]\r\nContinuous Capture= 1\r\nCapture Folder=" +
                                             folder().toStdString() + "\r\n");
        test::ProgramTest::SetUp();
    }

    QString folder() const { return PathOf("captures"); }
    CaptureRowsModel& model() const { return *window().continuousList().model(); }
    std::uint64_t Messages() const {
        return window().heldCapture() != nullptr ? window().heldCapture()->counters().messages : 0;
    }
    bool Running() const {
        return window().liveCapture() != nullptr && window().liveCapture()->running();
    }

    // Clicks Capture and answers the message dialog; returns once `until` holds after it.
    QString CaptureExpectingMessage(const std::function<bool()>& until) {
        bool seen = false;
        return test::AnswerMessage(
            [&] {
                started.Click(kIdCaptureButton);
                EXPECT_TRUE(QTest::qWaitFor([&] { return seen && until(); }, test::kWaitMs));
            },
            [&] { seen = seen || test::ActiveModal<MessageDialog>() != nullptr; });
    }
};

TEST_F(ContinuousCaptureTest, GrowsLivePastTheStoreLimitAndReopensAsShown) {
    test::Simulator sim;
    ASSERT_TRUE(
        sim.Start({"--scenario", "sony", "--seed", "5", "--rate", "2000", "--idle-after", "3000"}));
    started.PointAt(sim.port());
    QAbstractItemModelTester tester(&model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserts(&model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy resets(&model(), &QAbstractItemModel::modelReset);

    started.Click(kIdCaptureButton);
    ASSERT_TRUE(Running());
    EXPECT_EQ(window().captureButton()->text(), QStringLiteral("Stop"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);  // the window stays usable
    ASSERT_TRUE(QTest::qWaitFor([&] { return Messages() >= 300; }, test::kWaitMs));

    // A filter changed mid-capture rebuilds the rows once; Save Log writes what the list shows.
    const int resetsBefore = resets.count();
    started.Click(kIdTimeSense);
    EXPECT_EQ(resets.count(), resetsBefore + 1);
    const QString logPath = PathOf("live.csv");
    window().SetAskSaveFileName([&](QWidget*) { return logPath; });
    started.Click(kIdSaveLogButton);
    const int insertsAfterToggle = inserts.count();

    // The list follows the newest row until the user scrolls away, and again once back.
    QTableView* list = window().continuousList().view();
    QScrollBar* bar = list->verticalScrollBar();
    const auto waitForRows = [&] {
        const int seen = inserts.count();
        return QTest::qWaitFor([&] { return inserts.count() >= seen + 2; }, test::kWaitMs);
    };
    ASSERT_TRUE(waitForRows());
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setValue(0);
    ASSERT_TRUE(waitForRows());
    EXPECT_EQ(bar->value(), 0);
    list->scrollToBottom();  // as Ctrl+End does
    ASSERT_TRUE(waitForRows());
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(bar->maximum(), 0);

    // The last message is taken only when the capture ends, so 2999 show while it runs.
    ASSERT_TRUE(QTest::qWaitFor([&] { return Messages() >= 2999; }, test::kWaitMs));
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_C, Qt::AltModifier);  // the key of "&Capture" stops
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window().captureButton()->text() == QStringLiteral("&Capture"); },
        test::kWaitMs));
    EXPECT_FALSE(Running());
    EXPECT_EQ(Messages(), 3000u);
    EXPECT_EQ(resets.count(), resetsBefore + 1) << "rows are added, never reset, as they arrive";
    EXPECT_GT(inserts.count() - insertsAfterToggle, 1) << "rows arrived in several batches";
    EXPECT_TRUE(window().statusBar()->currentMessage().startsWith(QStringLiteral("Captured ")));

    const QStringList shown = RowTexts(model());
    ASSERT_GT(shown.size(), 1000);
    const QList<QByteArray> log =
        QByteArray::fromStdString(test::ReadFileBytes(logPath.toStdString())).split('\n');
    ASSERT_GT(log.size(), 3);
    EXPECT_EQ(log[1], "Event\tTime\tID\tPacket\tCommand\r");
    ASSERT_LE(log.size() - 3, shown.size());
    for (qsizetype i = 2; i + 1 < log.size(); ++i) {
        const QString line = shown[i - 2].section('\t', 0, 4) + '\r';
        ASSERT_EQ(log[i], QByteArray::fromStdString(ToWindows1252(line))) << "log line " << i;
    }

    // The export for Wireshark as tshark reads it: the Command column as the frame comments.
    const QString exportPath = PathOf("export.pcapng");
    window().SetAskFileName([&](QWidget*, FileQuestion, const QString&) { return exportPath; });
    window().menuAction(MenuCommand::ExportForWireshark)->trigger();
    QStringList commands;
    for (const QString& row : shown) commands.push_back(row.section('\t', 4, 4));
    EXPECT_EQ(test::TsharkComments(exportPath), commands);

    // The capture file opened again shows every cell as the live list did.
    const QString file = QString::fromStdString(window().liveCapture()->filePath());
    EXPECT_TRUE(file.startsWith(folder() + QStringLiteral("/capture-")));
    ASSERT_TRUE(window().OpenCapture(file));
    EXPECT_EQ(RowTexts(model()), shown);
}

TEST_F(ContinuousCaptureTest, StopKeepsEveryMessageThatArrivedBeforeIt) {
    QTcpServer unit;
    ASSERT_TRUE(unit.listen(QHostAddress::LocalHost, 0));
    started.PointAt(unit.serverPort());
    started.Click(kIdCaptureButton);
    ASSERT_TRUE(Running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return unit.hasPendingConnections(); }, test::kWaitMs));
    QTcpSocket* peer = unit.nextPendingConnection();

    // A burst handed to the system, then Stop before the window has had a chance to read it.
    constexpr int kBurst = 500;
    std::string burst;
    for (int n = 1; n <= kBurst; ++n) {
        AppendMessageHeader(burst, static_cast<std::uint32_t>(n));
        for (int value : {0x61, 0x0C, 0x03, 0x70}) AppendMessageEntry(burst, 0x80, n, value);
    }
    peer->write(burst.data(), static_cast<qint64>(burst.size()));
    ASSERT_TRUE(peer->waitForBytesWritten(test::kWaitMs));
    ASSERT_EQ(peer->bytesToWrite(), 0);
    QThread::msleep(50);  // loopback delivery, with no event handled meanwhile
    started.Click(kIdCaptureButton);
    EXPECT_FALSE(Running());
    EXPECT_EQ(Messages(), static_cast<std::uint64_t>(kBurst));
}

TEST_F(ContinuousCaptureTest, UnitClosingKeepsWhatArrivedAndClosesTheFile) {
    test::Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "400", "--close-after", "40"}));
    started.PointAt(sim.port());
    const QString message = CaptureExpectingMessage([&] { return !Running(); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("The capture unit closed the connection")))
        << message.toStdString();
    EXPECT_EQ(Messages(), 40u);
    const QStringList shown = RowTexts(model());
    EXPECT_GT(shown.size(), 0);
    ASSERT_TRUE(window().OpenCapture(QString::fromStdString(window().liveCapture()->filePath())));
    EXPECT_EQ(RowTexts(model()), shown);
}

TEST_F(ContinuousCaptureTest, CaptureThatCannotStartSaysWhyAndChangesNothing) {
    test::Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "fast", "--idle-after", "30"}));
    const QString plainFile = PathOf("not-a-folder");
    test::WriteFileBytes(plainFile.toStdString(), "");
    struct Case {
        QString folder;
        bool unitThere;
        QString message;
    };
    const Case cases[] = {
        {plainFile, true,
         "Error writing capture file: " + plainFile +
             ": a file stands where the capture folder should be"},
        {plainFile + "/sub", true, "Error writing capture file: " + plainFile + "/sub: "},
        {folder(), false, "Error opening port: Device I/O error"},
    };
    for (const Case& c : cases) {
        started.program->captureSettings.folder = c.folder.toStdString();
        started.PointAt(c.unitThere ? sim.port() : test::FreeLoopbackPort());
        const QString message = CaptureExpectingMessage([] { return true; });
        EXPECT_TRUE(message.startsWith(c.message)) << message.toStdString();
        EXPECT_FALSE(Running()) << c.message.toStdString();
        EXPECT_EQ(window().heldCapture(), nullptr) << c.message.toStdString();
        EXPECT_EQ(window().captureButton()->text(), QStringLiteral("&Capture"));
    }
}

}  // namespace
}  // namespace orvane
