// The analysis in the main window, for bounded and continuous captures alike: the Latency and
// Verdict columns (hidden by default, the classic list and log unchanged), the severity of the
// rows of a line with known faults, Next and Previous Problem, Find, and the offer to switch to
// the protocol the bytes read better as.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include "app/capture_analysis.hpp"
#include "gui_test_support.hpp"
#include "line_faults.hpp"
#include "ui/find_dialog.hpp"
#include "ui/protocol_offer.hpp"

namespace orvane {
namespace {

class AnalysisTest : public test::ProgramFixture<::testing::TestWithParam<bool>> {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        started.program->captureSettings.continuous = continuous();
    }
    bool continuous() const { return GetParam(); }
    QAbstractItemModel& model() const { return *window().shownList()->model(); }

    void Open(const std::string& stream) {
        ASSERT_TRUE(started.OpenStream(scratch.Path("line.bin"), stream));
        ASSERT_EQ(window().heldCapture() != nullptr, continuous());
    }
    QByteArray SaveLog() {
        const std::string path = scratch.Path("log.csv");
        std::filesystem::remove(path);
        window().SetAskSaveFileName([&](QWidget*) { return QString::fromStdString(path); });
        started.Click(kIdSaveLogButton);
        // Without the title line, which holds the time of writing.
        return QByteArray::fromStdString(test::ReadFileBytes(path)).split('\n').mid(1).join('\n');
    }
    int CurrentRow() const { return window().shownList()->currentIndex().row(); }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), key, modifiers);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window().searching(); }, test::kWaitMs));
    }
};

TEST_P(AnalysisTest, ColumnsHiddenByDefaultAndTheLogGainsTwoFieldsWhenShown) {
    Open(test::RawStream(test::FaultyLine()));
    QAbstractItemModelTester tester(&model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
        started.Click(view == ViewKind::Packet ? kIdPacketView : kIdByteView);
        window().SetAnalysisColumnsShown(false);
        EXPECT_EQ(model().columnCount(), 6);
        EXPECT_FALSE(model().data(model().index(2, 0), Qt::BackgroundRole).isValid());
        const QList<QByteArray> classic = SaveLog().split('\n');

        window().menuAction(MenuCommand::AnalysisColumns)->trigger();
        ASSERT_EQ(model().columnCount(), 8);
        EXPECT_EQ(model().headerData(6, Qt::Horizontal).toString(), QStringLiteral("Latency"));
        EXPECT_EQ(model().headerData(7, Qt::Horizontal).toString(), QStringLiteral("Verdict"));
        // Each line of the log is the classic line and two more fields.
        const QList<QByteArray> analysed = SaveLog().split('\n');
        ASSERT_EQ(analysed.size(), classic.size());
        ASSERT_GT(analysed.size(), 2);
        EXPECT_EQ(analysed[0], classic[0].chopped(1) + "\tLatency\tVerdict\r");
        for (qsizetype line = 1; line + 1 < analysed.size(); ++line) {
            const QList<QByteArray> fields = analysed[line].chopped(1).split('\t');
            ASSERT_EQ(fields.size(), 7) << analysed[line].toStdString();
            EXPECT_EQ(fields.mid(0, 5).join('\t') + '\r', classic[line]);
        }
    }
    // The choice is one key of the settings file, read at start-up.
    EXPECT_NE(test::ReadSettingsFile(scratch).find("[Setup]\r\nAnalysis Columns= 1\r\n"),
              std::string::npos);
    EXPECT_TRUE(test::StartProgram().window->analysisColumnsShown());
}

TEST_P(AnalysisTest, RowsOfAKnownLineCarryTheirSeverity) {
    Open(test::RawStream(test::FaultyLine()));
    window().SetAnalysisColumnsShown(true);
    // Packet View: one row a packet. Byte View: the values stand on each packet's first byte.
    started.Click(kIdPacketView);
    ASSERT_EQ(model().rowCount(), 10);
    for (int row = 0; row < 10; ++row) {
        const Severity expected = test::kFaultyLineSeverities[row];
        const QModelIndex verdict = model().index(row, 7);
        EXPECT_EQ(model().data(model().index(row, 3), kSeverityRole).toInt(),
                  static_cast<int>(expected))
            << "row " << row;
        EXPECT_EQ(model().data(model().index(row, 0), Qt::BackgroundRole).isValid(),
                  expected != Severity::kNone);
        EXPECT_EQ(model().data(verdict, Qt::DecorationRole).isValid(), expected != Severity::kNone);
        EXPECT_EQ(model().data(verdict).toString().isEmpty(), expected == Severity::kNone);
        const bool bold = model().data(verdict, Qt::FontRole).value<QFont>().bold();
        EXPECT_EQ(bold, expected == Severity::kError) << "row " << row;
    }
    EXPECT_TRUE(model().data(model().index(2, 7)).toString().contains(QStringLiteral("checksum")));
    EXPECT_TRUE(model().data(model().index(5, 7)).toString().contains(QStringLiteral("late")));
    EXPECT_EQ(model().data(model().index(1, 6)).toString(), QStringLiteral("4 ms"));

    started.Click(kIdByteView);
    int row = 0;
    int packet = 0;
    for (const test::LinePacket& line : test::FaultyLine()) {
        for (std::size_t byte = 0; byte < line.bytes.size(); ++byte, ++row) {
            const Severity expected =
                byte == 0 ? test::kFaultyLineSeverities[packet] : Severity::kNone;
            EXPECT_EQ(model().data(model().index(row, 0), kSeverityRole).toInt(),
                      static_cast<int>(expected))
                << "byte row " << row;
        }
        ++packet;
    }
    EXPECT_EQ(model().rowCount(), row);
}

TEST_P(AnalysisTest, NextAndPreviousProblemAmongTheRowsShownAndRoundTheEnd) {
    Open(test::RawStream(test::FaultyLine()));
    // F8 from no row and on, round the end; Shift+F8 back. Then with the time replies hidden.
    struct Case {
        bool timeReplies;
        std::vector<int> forward;
        std::vector<int> backward;
    };
    const Case cases[] = {
        {true, {2, 3, 5, 6, 7, 2}, {7, 6, 5}},
        {false, {2, 3, 5, 6, 2}, {6, 5, 3}},  // rows 5 and 6 are packets 6 and 7
    };
    for (const Case& c : cases) {
        ViewOptions options = window().GetViewOptions();
        options.filters.timeReply = c.timeReplies;
        window().SetViewOptions(options);
        started.Click(kIdPacketView);  // a refill: no row is current
        std::vector<int> rows;
        for (std::size_t i = 0; i < c.forward.size(); ++i) {
            Press(Qt::Key_F8);
            rows.push_back(CurrentRow());
        }
        EXPECT_EQ(rows, c.forward);
        rows.clear();
        for (std::size_t i = 0; i < c.backward.size(); ++i) {
            Press(Qt::Key_F8, Qt::ShiftModifier);
            rows.push_back(CurrentRow());
        }
        EXPECT_EQ(rows, c.backward);
    }
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(QStringLiteral("Row 4")));

    // A line without faults: the status bar says so, and the row stays.
    std::vector<test::LinePacket> clean = test::FaultyLine();
    clean.erase(clean.begin() + 2, clean.begin() + 8);
    Open(test::RawStream(clean));
    Press(Qt::Key_F8);
    EXPECT_EQ(CurrentRow(), -1);
    EXPECT_TRUE(window().statusBar()->currentMessage().startsWith(QStringLiteral("No packet")));
}

TEST_P(AnalysisTest, FindLooksInBytesAndDescriptionsWithoutRegardToCase) {
    Open(test::RawStream(test::FaultyLine()));
    Press(Qt::Key_F, Qt::ControlModifier);
    FindDialog* dialog = window().findDialog();
    ASSERT_TRUE(dialog->isVisible());
    struct Case {
        const char* text;
        bool forward;
        int row;  // -1: not found
    };
    const Case cases[] = {
        {"stop", true, 2},    {"STOP", true, 6},  {"stop", true, 2},  // round the end
        {"stop", false, 6},   {"74 04", true, 5}, {"10 01 11", true, 7},
        {"no such", true, 7},  // not found: the row stays
    };
    for (const Case& c : cases) {
        dialog->textEdit()->setText(QString::fromLatin1(c.text));
        QTest::mouseClick(c.forward ? dialog->nextButton() : dialog->previousButton(),
                          Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window().searching(); }, test::kWaitMs));
        EXPECT_EQ(CurrentRow(), c.row) << c.text;
    }
    EXPECT_EQ(dialog->statusLabel()->text(), QStringLiteral("Not found"));
}

TEST_P(AnalysisTest, OffersTheProtocolTheBytesReadBetterAs) {
    // VDCP exchanges (a command frame and its ACK) while Set Up says Sony.
    std::vector<test::LinePacket> vdcp;
    for (int i = 0; i < 12; ++i) {
        vdcp.push_back({false, i * 50, {0x02, 0x02, 0x10, 0x01, 0xEF}});
        vdcp.push_back({true, i * 50 + 8, {0x04}});
    }
    Open(test::RawStream(vdcp));
    ProtocolOffer* offer = window().protocolOffer();
    ASSERT_TRUE(offer->isVisible());
    EXPECT_TRUE(window().statusBar()->currentMessage().contains(QStringLiteral("VDCP")));
    QTest::mouseClick(offer->switchButton(), Qt::LeftButton);
    EXPECT_FALSE(offer->isVisible());
    EXPECT_EQ(started.program->settings.protocolMode, ProtocolMode::kVdcp);
    EXPECT_NE(test::ReadSettingsFile(scratch).find("Protocol= 2"), std::string::npos);
    ASSERT_NE(window().analysis(), nullptr);
    EXPECT_EQ(window().analysis()->protocolMode(), ProtocolMode::kVdcp);
    EXPECT_EQ(model().rowCount(), 24);  // regrouped: a frame and an ACK a row

    // Lines that fit their protocol are left alone.
    started.program->settings.protocolMode = ProtocolMode::kSony;
    Open(test::RawStream(test::FaultyLine()));
    EXPECT_FALSE(offer->isVisible());
}

INSTANTIATE_TEST_SUITE_P(BoundedAndContinuous, AnalysisTest, ::testing::Bool(),
                         test::CaptureModeName);

}  // namespace
}  // namespace orvane
