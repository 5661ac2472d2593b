// The Statistics window: the figures of a line with known faults in its tables and charts, Copy
// and Save as CSV, and a live capture's figures read again while it runs.
#include "ui/statistics_window.hpp"

#include <gtest/gtest.h>

#include <QAction>
#include <QBarSet>
#include <QClipboard>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QTest>

#include "app/live_capture.hpp"
#include "capture/continuous_capture.hpp"
#include "gui_test_support.hpp"
#include "line_faults.hpp"

namespace orvane {
namespace {

class StatisticsWindowTest : public test::ProgramFixture<::testing::TestWithParam<bool>> {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        started.program->captureSettings.continuous = GetParam();
    }
};

// The count in a table's second column for the row named `name`, or -1.
int CountOf(const QTableWidget& table, const QString& name, int column) {
    for (int row = 0; row < table.rowCount(); ++row) {
        if (table.item(row, 0)->text() == name) return table.item(row, column)->text().toInt();
    }
    return -1;
}

TEST_P(StatisticsWindowTest, ShowsTheFiguresOfAKnownLine) {
    ASSERT_TRUE(started.OpenStream(scratch.Path("line.bin"), test::RawStream(test::FaultyLine())));
    window().menuAction(MenuCommand::Statistics)->trigger();
    StatisticsWindow* statistics = window().statisticsWindow();
    ASSERT_TRUE(statistics->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Play, Stop and Current Time Sense from the controller; Ack, Nak and the time data from
    // the deck. Every packet counts once.
    const QTableWidget& names = *statistics->nameTable();
    ASSERT_EQ(names.rowCount(), 6);
    int packets = 0;
    for (int row = 0; row < names.rowCount(); ++row) packets += names.item(row, 2)->text().toInt();
    EXPECT_EQ(packets, 10);
    EXPECT_EQ(names.item(0, 1)->text(), QStringLiteral("controller"));

    struct Verdict {
        const char* name;
        int count;
    };
    for (const Verdict& v :
         {Verdict{"checksum wrong", 1}, Verdict{"NAK", 1}, Verdict{"late reply", 1},
          Verdict{"no reply", 1}, Verdict{"reply to nothing", 1}, Verdict{"short packet", 0},
          Verdict{"NAK: checksum error", 1}}) {
        EXPECT_EQ(CountOf(*statistics->verdictTable(), QString::fromLatin1(v.name), 1), v.count)
            << v.name;
    }

    // Replies after 4, 4, 17 and 3 ms: one bar a millisecond up to 17, and one stretch of time.
    const QBarSet& bars = *statistics->histogramBars();
    ASSERT_EQ(bars.count(), 18);
    EXPECT_EQ(bars.at(3), 1);
    EXPECT_EQ(bars.at(4), 2);
    EXPECT_EQ(bars.at(17), 1);
    EXPECT_EQ(bars.sum(), 4);
    ASSERT_EQ(statistics->medianSeries()->count(), 1);
    EXPECT_EQ(statistics->medianSeries()->at(0).y(), 4);
    EXPECT_EQ(statistics->maxSeries()->at(0).y(), 17);

    // Copy: the table of names with its header; Save as CSV: the program writes the file.
    QTest::mouseClick(statistics->copyButton(), Qt::LeftButton);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 7);
    EXPECT_TRUE(copied[0].startsWith(QStringLiteral("Name\tSide\tCount\tShare\t")));
    EXPECT_EQ(copied[1].split('\t').size(), 8);
    const QString csv = PathOf("figures.csv");
    window().SetAskFileName([&](QWidget*, FileQuestion question, const QString&) {
        EXPECT_EQ(question, FileQuestion::SaveStatistics);
        return csv;
    });
    QTest::mouseClick(statistics->csvButton(), Qt::LeftButton);
    EXPECT_EQ(test::ReadFileBytes(csv.toStdString()).rfind("kind,name,side,count,share,", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(BoundedAndContinuous, StatisticsWindowTest, ::testing::Bool(),
                         test::CaptureModeName);

using StatisticsWindowLive = test::ProgramTest;

TEST_F(StatisticsWindowLive, FiguresGrowWhileTheCaptureRuns) {
    started.program->captureSettings.continuous = true;
    started.program->captureSettings.folder = scratch.Path("captures");
    test::Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--seed", "2", "--rate", "400"}));
    started.PointAt(sim.port());
    started.Click(kIdCaptureButton);
    ASSERT_NE(started.window->liveCapture(), nullptr);
    started.window->OnStatisticsClicked();
    StatisticsWindow* statistics = started.window->statisticsWindow();
    const QString first = statistics->summaryLabel()->text();
    // The window reads the figures again by itself while the capture grows.
    EXPECT_TRUE(QTest::qWaitFor([&] { return statistics->summaryLabel()->text() != first; },
                                test::kWaitMs));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return statistics->nameTable()->rowCount() > 0; }, test::kWaitMs));
    started.Click(kIdCaptureButton);  // Stop
}

}  // namespace
}  // namespace orvane
