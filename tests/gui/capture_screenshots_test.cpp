// The README's pictures: a demo capture from the simulator, then PNGs of the main window in both
// views, the capture dialog, the Setup dialog and the message dialog. Runs only when
// ORVANE_SCREENSHOT_DIR names the folder to write to (scripts/screenshots.sh sets it).
#include <gtest/gtest.h>

#include <QTableView>
#include <QTest>

#include "gui_test_support.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

TEST(CaptureScreenshots, DemoCapture) {
    const QString target = qEnvironmentVariable("ORVANE_SCREENSHOT_DIR");
    if (target.isEmpty()) GTEST_SKIP() << "ORVANE_SCREENSHOT_DIR not set";
    const QDir folder(target);
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    const auto save = [&folder](QWidget* widget, const char* name) {
        QTest::qWait(50);  // let pending paints land
        const QString path = folder.filePath(QString::fromLatin1(name));
        std::printf("[ picture  ] %s\n", qPrintable(path));
        return widget->grab().save(path, "PNG");
    };

    test::ScratchFolder scratch;
    test::StartedProgram started = test::StartProgram();
    // Show the commands and their acknowledgements; hide the routine time and status polling.
    started.window->SetCheckState(kIdDisplayAcks, 1);
    started.window->SetCheckState(kIdDevTypeFilter, 1);
    test::Simulator sim;
    ASSERT_TRUE(
        sim.Start({"--scenario", "sony", "--seed", "3", "--rate", "120", "--idle-after", "400"}));
    started.PointAt(sim.port());

    bool saved = false;
    EXPECT_TRUE(test::DriveModal([&] { started.Click(kIdCaptureButton); },
                                 [&] {
                                     auto* dialog = test::ActiveModal<CaptureDialog>();
                                     const int count =
                                         dialog != nullptr ? dialog->counterText().toInt() : 0;
                                     if (!saved && count >= 150)
                                         saved = save(dialog, "capture-dialog.png");
                                     if (count < 400) return false;
                                     QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
                                     return true;
                                 }));
    EXPECT_TRUE(saved);
    started.window->listView(ViewKind::Packet)->scrollToTop();
    EXPECT_TRUE(save(started.window.get(), "main-window-packet-view.png"));
    started.Click(kIdByteView);
    EXPECT_TRUE(save(started.window.get(), "main-window-byte-view.png"));
    started.Click(kIdPacketView);

    EXPECT_TRUE(test::OnModal<SetupDialog>([&] { started.Click(kIdSetupButton); },
                                           [&](SetupDialog* dialog) {
                                               EXPECT_TRUE(save(dialog, "setup-dialog.png"));
                                               dialog->cancelButton()->click();
                                           }));
    started.PointAt(test::FreeLoopbackPort());  // a capture unit that is not there
    EXPECT_TRUE(test::OnModal<MessageDialog>([&] { started.Click(kIdCaptureButton); },
                                             [&](MessageDialog* dialog) {
                                                 EXPECT_TRUE(save(dialog, "message-dialog.png"));
                                                 dialog->okButton()->click();
                                             }));
}

}  // namespace
}  // namespace orvane
