// Capture files in the main window: opened from the File menu or dropped on the window, grouped
// under their own protocol until Set Up changes it, foreign and damaged files, and a bounded
// capture saved and opened again.
#include <gtest/gtest.h>

#include <QAction>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "app/capture_sequence.hpp"
#include "app/live_capture.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/pcapng_blocks.hpp"
#include "capture/wireshark_export.hpp"
#include "gui_test_support.hpp"
#include "platform/text_codec.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/continuous_list.hpp"

namespace orvane {
namespace {

using test::RowTexts;

class CaptureFilesTest : public test::ProgramTest {
  protected:
    // A continuous capture file of `messages` messages, as the simulator records its scenario.
    QString SimulatorCapture(const char* scenario, int messages) const {
        const QString path = PathOf(scenario) + QStringLiteral("-%1.pcapng").arg(messages);
        QProcess sim;
        sim.start(QStringLiteral(ORVANE_SIM_PATH),
                  {"--scenario", scenario, "--messages", QString::number(messages),
                   "--write-capture", path});
        EXPECT_TRUE(sim.waitForFinished(test::kWaitMs) && sim.exitCode() == 0);
        return path;
    }

    CaptureRowsModel& model() const { return *window().continuousList().model(); }
};

TEST_F(CaptureFilesTest, OpenedFromTheMenuOrDroppedAndRegroupedWhenSetUpChanges) {
    const QString file = SimulatorCapture("vdcp", 600);
    window().SetAskFileName([&](QWidget*, FileQuestion question, const QString&) {
        EXPECT_EQ(question, FileQuestion::OpenCapture);
        return file;
    });
    window().menuAction(MenuCommand::OpenCapture)->trigger();
    ASSERT_NE(window().heldCapture(), nullptr);
    // The file's protocol, though Set Up says Sony.
    EXPECT_EQ(window().heldCapture()->packets().protocolMode(), ProtocolMode::kVdcp);
    EXPECT_TRUE(window().continuousList().view()->isVisible());
    EXPECT_FALSE(window().listView(ViewKind::Packet)->isVisible());
    const QStringList opened = RowTexts(model());
    ASSERT_GT(opened.size(), 100);

    started.Click(kIdClearButton);
    EXPECT_EQ(window().heldCapture(), nullptr);
    const auto mime = std::make_unique<QMimeData>();
    mime->setUrls({QUrl::fromLocalFile(file)});
    // A drop reaches the window that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(50, 200), Qt::CopyAction, mime.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&window(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 200), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window(), &drop);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().heldCapture() != nullptr; }));
    EXPECT_EQ(RowTexts(model()), opened);

    EXPECT_TRUE(started.SetUpProtocol(ProtocolMode::kOdetics));
    EXPECT_EQ(window().heldCapture()->packets().protocolMode(), ProtocolMode::kOdetics);
    EXPECT_NE(RowTexts(model()), opened);
}

TEST_F(CaptureFilesTest, ForeignFilesAreTurnedAwayAndDamagedOnesOpenUpToTheDamage) {
    const QString good = SimulatorCapture("sony", 300);
    ASSERT_TRUE(window().OpenCapture(good));
    const QStringList rows = RowTexts(model());

    const QString other = PathOf("other.pcapng");
    const QString exported = PathOf("export.pcapng");
    const QString text = PathOf("notes.txt");
    test::WriteFileBytes(other.toStdString(), pcapng::SectionHeaderBlock("another program", {}) +
                                                  pcapng::InterfaceDescriptionBlock(1, "eth0", ""));
    {
        std::ofstream out(exported.toStdString(), std::ios::binary);
        WiresharkExportWriter(out).Begin(CaptureFileInfo{});
    }
    test::WriteFileBytes(text.toStdString(), "a shopping list, not a capture\n");
    struct Case {
        QString path;
        const char* reason;
    };
    const Case foreign[] = {
        {other, "is not an Orvane capture file"},
        {exported, "export for Wireshark"},
        {text, "neither an Orvane capture file nor a capture unit's raw stream"},
    };
    for (const Case& c : foreign) {
        const QString message =
            test::AnswerMessage([&] { EXPECT_FALSE(window().OpenCapture(c.path)); });
        EXPECT_TRUE(message.startsWith("Cannot open " + QFileInfo(c.path).fileName() + ": "))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLatin1(c.reason))) << message.toStdString();
        EXPECT_EQ(RowTexts(model()), rows) << c.reason;
    }

    // The same capture cut short, as a capture that was killed leaves it.
    const QString damaged = PathOf("cut.pcapng");
    ASSERT_TRUE(QFile::copy(good, damaged));
    QFile cut(damaged);
    ASSERT_TRUE(cut.resize(cut.size() * 2 / 3 + 5));
    const QString message =
        test::AnswerMessage([&] { EXPECT_TRUE(window().OpenCapture(damaged)); });
    EXPECT_TRUE(message.contains(QStringLiteral("bytes could not be read")))
        << message.toStdString();
    const QStringList shown = RowTexts(model());
    EXPECT_GT(shown.size(), 0);
    EXPECT_LT(shown.size(), rows.size());
    // Up to the packets the cut left open on either side.
    EXPECT_EQ(shown.mid(0, shown.size() - 2), rows.mid(0, shown.size() - 2));
}

TEST_F(CaptureFilesTest, FullBoundedCaptureSaysSoAndReopensAsItWasShown) {
    test::Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "2000", "--idle-after", "1001"}));
    started.PointAt(sim.port());
    // The capture dialog closes by itself when the store is full.
    EXPECT_TRUE(test::DriveModal([&] { started.Click(kIdCaptureButton); }, [] { return false; }));
    ASSERT_EQ(started.program->captureModel.blockCount, kMaxBlocks);
    EXPECT_EQ(window().statusBar()->currentMessage(), QString::fromLatin1(kStoreFullStatus));
    const std::vector<std::string> rows = started.PacketRows();
    ASSERT_FALSE(rows.empty());

    // Its export for Wireshark carries the Command column as the frames' comments.
    const QString exported = PathOf("bounded-export.pcapng");
    const QString saved = PathOf("bounded.pcapng");
    window().SetAskFileName([&](QWidget*, FileQuestion question, const QString&) {
        return question == FileQuestion::ExportForWireshark ? exported : saved;
    });
    window().menuAction(MenuCommand::ExportForWireshark)->trigger();
    const ListModel& list = started.program->captureLists.packetList;
    QStringList commands;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        commands.push_back(FromWindows1252(list.GetItemText(row, 4)));
    }
    EXPECT_EQ(test::TsharkComments(exported), commands);

    window().menuAction(MenuCommand::SaveCaptureAs)->trigger();
    started.Click(kIdClearButton);
    ASSERT_TRUE(window().OpenCapture(saved));
    EXPECT_EQ(window().heldCapture(), nullptr);  // a bounded file shows as a bounded capture
    EXPECT_EQ(started.PacketRows(), rows);
    EXPECT_EQ(started.program->recentCaptures.front(), saved.toStdString());
}

TEST_F(CaptureFilesTest, ALongCaptureShowsAPageAtATimeAsOneList) {
    ContinuousList& list = window().continuousList();
    ASSERT_TRUE(window().OpenCapture(SimulatorCapture("sony", 3000)));
    const QStringList whole = RowTexts(model());  // one page holds all of them
    const auto total = static_cast<std::uint64_t>(whole.size());
    ASSERT_GT(total, 3000u);
    EXPECT_FALSE(list.overview()->isVisible());

    list.SetPageRows(500);
    QTableView* view = list.view();
    const auto rowText = [&](int modelRow) {
        QStringList cells;
        for (int column = 0; column < model().columnCount(); ++column) {
            cells.push_back(model().data(model().index(modelRow, column)).toString());
        }
        return cells.join('\t');
    };
    // The row at the top of the list is the capture's row the overview bar says.
    const auto expectTopRow = [&](std::uint64_t row) {
        ASSERT_EQ(list.TopRow(), row);
        ASSERT_EQ(static_cast<std::uint64_t>(list.overview()->value()), row);
        ASSERT_EQ(rowText(view->verticalScrollBar()->value()), whole[static_cast<int>(row)]);
    };
    EXPECT_EQ(model().rowCount(), 500);
    EXPECT_TRUE(list.overview()->isVisible());
    EXPECT_FALSE(view->verticalScrollBar()->isVisible());
    const int visible = list.overview()->pageStep();
    EXPECT_EQ(static_cast<std::uint64_t>(list.overview()->maximum()), total - visible);

    // Dragging the overview bar to the middle, then scrolling down through two page edges and
    // back up through one, as the wheel does.
    list.overview()->setValue(static_cast<int>(total / 2));
    expectTopRow(total / 2);
    std::uint64_t top = total / 2;
    for (int step = 0; step < 1200; step += 3) {
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        top = std::min<std::uint64_t>(top + 1, total - visible);
        expectTopRow(top);
        for (int i = 0; i < 2; ++i) {
            view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            top = std::min<std::uint64_t>(top + 1, total - visible);
        }
    }
    for (int step = 0; step < 700; ++step) {
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub);
        top = top > static_cast<std::uint64_t>(visible) ? top - visible : 0;
        if (step % 10 == 0) expectTopRow(top);
    }
    expectTopRow(0);
    EXPECT_EQ(model().pageFirst(), 0u);

    // The last page is half full; stepping up out of it onto a full page moves one row at a
    // time all the same. Ctrl+End and Ctrl+Home reach the capture's ends, not the page's.
    list.overview()->setValue(list.overview()->maximum());
    top = list.TopRow();
    EXPECT_EQ(top, total - visible);
    for (int step = 0; step < 600; ++step) {
        view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        --top;
        expectTopRow(top);
    }
    QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(list.CurrentRow(), total - 1);
    EXPECT_EQ(list.overview()->value(), list.overview()->maximum());
    QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(list.CurrentRow(), 0u);

    // A jump (Find, Next Problem) makes a row of another page current and shows it; the
    // current row stays while its page is away and is selected again when it is back. Moving
    // pages leaves the rows as they are: a search running on goes on.
    QSignalSpy replaced(&list, &ContinuousList::RowsReplaced);
    for (const std::uint64_t row : {total - 3, std::uint64_t{2}, total / 3}) {
        list.GoToRow(row);
        ASSERT_EQ(list.CurrentRow(), row);
        EXPECT_EQ(rowText(view->currentIndex().row()), whole[static_cast<int>(row)]);
        const int shownAt = view->rowViewportPosition(view->currentIndex().row());
        EXPECT_TRUE(shownAt >= 0 && shownAt < view->viewport()->height()) << "row " << row;
    }
    list.overview()->setValue(list.overview()->maximum());
    EXPECT_FALSE(view->currentIndex().isValid());
    EXPECT_EQ(list.CurrentRow(), total / 3);
    list.overview()->setValue(static_cast<int>(total / 3 - 2));
    EXPECT_EQ(rowText(view->currentIndex().row()), whole[static_cast<int>(total / 3)]);
    EXPECT_EQ(replaced.count(), 0);
    started.Click(kIdTimeSense);
    EXPECT_EQ(replaced.count(), 1);
}

TEST_F(CaptureFilesTest, ALiveCapturePastAPageKeepsFollowingTheNewestRow) {
    test::Simulator sim;
    ASSERT_TRUE(
        sim.Start({"--scenario", "sony", "--seed", "5", "--rate", "4000", "--idle-after", "3000"}));
    started.PointAt(sim.port());
    started.program->captureSettings.continuous = true;
    started.program->captureSettings.folder = PathOf("captures").toStdString();
    ContinuousList& list = window().continuousList();
    list.SetPageRows(300);
    started.Click(kIdCaptureButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return window().heldCapture() != nullptr &&
                   window().heldCapture()->counters().messages >= 2999;
        },
        test::kWaitMs));
    started.Click(kIdCaptureButton);  // Stop
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window().liveCapture()->running(); }, test::kWaitMs));
    EXPECT_GT(list.RowCount(), 3000u);
    EXPECT_GT(model().pageFirst(), 0u) << "the page moved with the newest rows";
    EXPECT_EQ(list.TopRow() + static_cast<std::uint64_t>(list.overview()->pageStep()),
              list.RowCount());
    EXPECT_EQ(list.overview()->value(), list.overview()->maximum());
}

}  // namespace
}  // namespace orvane
