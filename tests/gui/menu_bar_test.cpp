// The menu bar and the Set Up dialog's capture controls: the controls keep their places and Alt
// keys under the bar, the View menu moves in step with the boxes, and the capture keys reach the
// settings file only once the user changes them; the window starts at the size it was closed with.
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

class MenuBarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        started = test::StartProgram();
        started.window->AddMenuBar();
    }
    MainWindow& window() const { return *started.window; }
    // Keys go to the active window only.
    void Activate() const {
        window().activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    test::ScratchFolder scratch;
    test::StartedProgram started;
};

TEST_F(MenuBarTest, ControlsKeepTheirPlacesAndAltKeysBelowTheBar) {
    const int barHeight = window().menuBar()->height();
    EXPECT_GT(barHeight, 0);
    EXPECT_TRUE(window().menuBar()->isVisible());
    EXPECT_EQ(window().clientArea()->geometry(),
              QRect(0, barHeight, window().width(), window().height() - barHeight));
    EXPECT_EQ(window().lastClientWidth(), 571);  // the classic client size, below the bar
    EXPECT_EQ(window().lastClientHeight(), 414);
    EXPECT_EQ(started.Control(kIdCaptureButton)->geometry(),
              window().units().ToPixels(QRect(10, 10, 53, 30)));
    EXPECT_EQ(started.Control(kIdDevTypeFilter)->geometry(),
              window().units().ToPixels(QRect(496, 26, 70, 15)));
    EXPECT_EQ(window().listView(ViewKind::Packet)->geometry(),
              window().units().ToPixels(QRect(8, 47, 571 - 14, 414 - 60)));
    for (QMenu* menu : window().menuBar()->findChildren<QMenu*>()) {
        EXPECT_FALSE(menu->title().contains('&')) << menu->title().toStdString();
    }

    // Each key reaches what it reached without the bar: a modal dialog shows.
    started.PointAt(test::FreeLoopbackPort());
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* opens;
    };
    const Case cases[] = {
        {Qt::Key_C, Qt::AltModifier, "MessageDialog"},  // Capture: no unit there
        {Qt::Key_S, Qt::AltModifier, "SetupDialog"},
    };
    for (const Case& c : cases) {
        Activate();  // a closed dialog leaves no window active on the offscreen platform
        QString shown;
        // A button answers its key as a click that shows a moment later.
        EXPECT_TRUE(test::DriveModal(
            [&] {
                QTest::keyClick(&window(), c.key, c.modifiers);
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
    EXPECT_TRUE(timeSense->isChecked());
    timeSense->trigger();
    EXPECT_FALSE(started.Control(kIdTimeSense)->isChecked());
    ViewOptions options = window().GetViewOptions();
    options.filters.timeSense = true;
    window().SetViewOptions(options);  // as the settings file sets it
    EXPECT_TRUE(timeSense->isChecked());

    window().menuAction(MenuCommand::ByteView)->trigger();
    EXPECT_TRUE(started.Control(kIdByteView)->isChecked());
    EXPECT_FALSE(started.Control(kIdPacketView)->isChecked());
    EXPECT_TRUE(window().listView(ViewKind::Byte)->isVisible());
    EXPECT_FALSE(window().menuAction(MenuCommand::PacketView)->isChecked());
    window().menuAction(MenuCommand::ByteView)->trigger();  // chosen again, it stays chosen
    EXPECT_TRUE(window().menuAction(MenuCommand::ByteView)->isChecked());
}

TEST(WindowSize, StartsAtTheClientSizeItWasClosedWith) {
    struct Case {
        const char* settings;
        QSize clientDu;
    };
    const Case cases[] = {
        {"", QSize(571, 414)},  // none stored: the classic size
        {"[Form]\r\nwidth= 600\r\nheight= 400\r\n", QSize(600, 400)},
        {"[Form]\r\nwidth= 0\r\nheight= 0\r\n", QSize(571, 414)},  // closed minimized
    };
    for (const Case& c : cases) {
        test::ScratchFolder folder;
        folder.WriteSettingsFile(c.settings);
        test::StartedProgram started = test::StartProgram();
        started.window->AddMenuBar();
        QCoreApplication::processEvents();
        const MainWindow& window = *started.window;
        EXPECT_EQ(QSize(window.lastClientWidth(), window.lastClientHeight()), c.clientDu)
            << c.settings;
        EXPECT_EQ(window.clientArea()->size(), window.units().ToPixels(c.clientDu)) << c.settings;
    }
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
        test::ScratchFolder folder;
        {
            test::StartedProgram started = test::StartProgram();
            EXPECT_FALSE(started.program->captureSettings.continuous);
            EXPECT_EQ(started.program->captureSettings.folder,
                      (folder.path() + QStringLiteral("/captures")).toStdString());
            EXPECT_TRUE(test::OnModal<SetupDialog>([&] { started.Click(kIdSetupButton); },
                                                   [&](SetupDialog* dialog) {
                                                       EXPECT_EQ(dialog->folderEdit()->text(),
                                                                 folder.path() + "/captures");
                                                       if (c.tickContinuous)
                                                           dialog->continuousBox()->click();
                                                       if (c.folder != nullptr)
                                                           dialog->folderEdit()->setText(c.folder);
                                                       dialog->okButton()->click();
                                                   }));
            EXPECT_EQ(folder.ReadSettingsFile(), c.written);
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
