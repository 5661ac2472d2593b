// The menu bar and the Set Up dialog's capture controls: the controls keep their places and Alt
// keys under the bar, the View menu moves in step with the boxes, and the capture keys reach the
// settings file only once the user changes them.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

#include "gui_test_support.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

class MenuBarTest : public test::ProgramTest {
  protected:
    // Keys go to the active window only.
    void Activate() const {
        window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }
};

TEST_F(MenuBarTest, ControlsKeepTheirPlacesAndAltKeysBelowTheBar) {
    const int barHeight = window().menuBar()->height();
    EXPECT_GT(barHeight, 0);
    EXPECT_TRUE(window().menuBar()->isVisible());
    EXPECT_EQ(window().clientArea()->geometry(),
              QRect(0, barHeight, window().width(), window().height() - barHeight));
    EXPECT_EQ(started.Control(kIdCaptureButton)->geometry(),
              window().units().ToPixels(QRect(10, 10, 53, 30)));
    EXPECT_EQ(window().listView(ViewKind::Packet)->geometry(),
              window().units().ToPixels(QRect(8, 47, 571 - 14, 414 - 60)));
    for (QMenu* menu : window().menuBar()->findChildren<QMenu*>()) {
        EXPECT_FALSE(menu->title().contains('&')) << menu->title().toStdString();
    }

    // Each key reaches what it reached without the bar: a modal dialog shows.
    started.PointAt(test::FreeLoopbackPort());
    struct Case {
        Qt::Key key;  // with Alt
        const char* opens;
    };
    const Case cases[] = {
        {Qt::Key_C, "MessageDialog"},  // Capture: no unit there
        {Qt::Key_S, "SetupDialog"},
    };
    for (const Case& c : cases) {
        Activate();  // a closed dialog leaves no window active on the offscreen platform
        QString shown;
        // A button answers its key as a click that shows a moment later.
        EXPECT_TRUE(test::DriveModal(
            [&] {
                QTest::keyClick(&window(), c.key, Qt::AltModifier);
                EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.isEmpty(); }, test::kWaitMs));
            },
            [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (modal == nullptr) return false;
                shown = modal->metaObject()->className();
                modal->close();
                return true;
            }));
        EXPECT_EQ(shown, QStringLiteral("orvane::") + c.opens);
    }
    bool asked = false;
    window().SetAskFileName([&](QWidget*, FileQuestion question, const QString&) {
        asked = question == FileQuestion::OpenCapture;
        return QString();
    });
    Activate();
    QTest::keyClick(&window(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked; }, test::kWaitMs));
}

TEST_F(MenuBarTest, ViewMenuMovesInStepWithTheControls) {
    QAction* timeSense = window().filterAction(kIdTimeSense);
    ASSERT_NE(timeSense, nullptr);
    started.Click(kIdTimeSense);
    EXPECT_FALSE(timeSense->isChecked());
    timeSense->trigger();
    EXPECT_TRUE(started.Control(kIdTimeSense)->isChecked());
    window().SetViewOptions({ViewKind::Packet, {}});  // as the settings file sets it
    EXPECT_FALSE(timeSense->isChecked());

    window().menuAction(MenuCommand::ByteView)->trigger();
    EXPECT_TRUE(started.Control(kIdByteView)->isChecked());
    EXPECT_FALSE(started.Control(kIdPacketView)->isChecked());
    EXPECT_TRUE(window().listView(ViewKind::Byte)->isVisible());
    EXPECT_FALSE(window().menuAction(MenuCommand::PacketView)->isChecked());
    window().menuAction(MenuCommand::ByteView)->trigger();  // chosen again, it stays chosen
    EXPECT_TRUE(window().menuAction(MenuCommand::ByteView)->isChecked());
}

TEST(SetupCaptureKeys, WrittenOnlyOnceChangedAndReadAtStartUp) {
    const std::string classic =
        "[Setup]\r\nIp Address=127.0.0.1\r\nPort Number= 23\r\nProtocol= 0\r\n";
    struct Case {
        bool tickContinuous;
        const char* folder;  // typed into the field; nullptr leaves it
        std::string written;
    };
    const Case cases[] = {
        {false, nullptr, classic},
        {true, nullptr, classic + "Continuous Capture= 1\r\n"},
        {false, "/data/captures", classic + "Capture Folder=/data/captures\r\n"},
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder(true);
        {
            test::StartedProgram started = test::StartProgram();
            EXPECT_FALSE(started.program->captureSettings.continuous);
            const auto act = [&](SetupDialog* dialog) {
                EXPECT_EQ(dialog->folderEdit()->text().toStdString(), folder.Path("captures"));
                if (c.tickContinuous) dialog->continuousBox()->click();
                if (c.folder != nullptr) dialog->folderEdit()->setText(c.folder);
                dialog->okButton()->click();
            };
            EXPECT_TRUE(started.InSetUp(act));
            EXPECT_EQ(test::ReadSettingsFile(folder), c.written);
        }
        test::StartedProgram again = test::StartProgram();
        EXPECT_EQ(again.program->captureSettings.continuous, c.tickContinuous);
        if (c.folder != nullptr) {
            EXPECT_EQ(again.program->captureSettings.folder, c.folder);
        }
    }
}

}  // namespace
}  // namespace orvane
