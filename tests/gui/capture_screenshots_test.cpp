// The README's pictures: a demo capture from the simulator, and PNGs of the main window in both
// views, the capture dialog, the Setup dialog and the message dialog. Runs only when
// ORVANE_SCREENSHOT_DIR names the folder to write to (scripts/screenshots.sh sets it).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QTableView>
#include <QTest>
#include <cstdlib>

#include "app/capture_sequence.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture_test_support.hpp"
#include "gui_test_support.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"
#include "ui/owner_button.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

using test::ActiveModal;
using test::ModalScript;

bool Save(QWidget* widget, const QDir& folder, const char* name) {
    QTest::qWait(50);  // let pending paints land
    const QString path = folder.filePath(QString::fromLatin1(name));
    const bool saved = widget->grab().save(path, "PNG");
    std::printf("[ picture  ] %s\n", qPrintable(path));
    return saved;
}

TEST(CaptureScreenshots, DemoCapture) {
    const char* target = std::getenv("ORVANE_SCREENSHOT_DIR");
    if (target == nullptr || *target == '\0') GTEST_SKIP() << "ORVANE_SCREENSHOT_DIR not set";
    QDir folder(QString::fromLocal8Bit(target));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));

    test::ScratchFolder scratch;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    Program& program = *started.program;
    const auto control = [&window](int id) {
        return window.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    };
    // Show the commands and their acknowledgements; hide the routine time and status polling.
    window.SetCheckState(kIdDisplayAcks, 1);
    window.SetCheckState(kIdDevTypeFilter, 1);

    test::Simulator sim;
    ASSERT_TRUE(
        sim.Start({"--scenario", "sony", "--seed", "3", "--rate", "120", "--idle-after", "400"}));
    program.settings.captureUnitAddress = "127.0.0.1";
    program.settings.captureUnitPort = sim.port();

    bool dialogSaved = false;
    ModalScript capture([&] {
        auto* dialog = ActiveModal<CaptureDialog>();
        if (dialog == nullptr) return false;
        const int count = dialog->counterText().toInt();
        if (!dialogSaved && count >= 150) dialogSaved = Save(dialog, folder, "capture-dialog.png");
        if (count < 400) return false;
        QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
        return true;
    });
    QTest::mouseClick(control(kIdCaptureButton), Qt::LeftButton);
    ASSERT_FALSE(capture.expired());
    EXPECT_TRUE(dialogSaved);
    window.listView(ViewKind::Packet)->scrollToTop();
    EXPECT_TRUE(Save(&window, folder, "main-window-packet-view.png"));
    QTest::mouseClick(control(kIdByteView), Qt::LeftButton);
    EXPECT_TRUE(Save(&window, folder, "main-window-byte-view.png"));
    QTest::mouseClick(control(kIdPacketView), Qt::LeftButton);

    bool setupSaved = false;
    ModalScript setup([&] {
        auto* dialog = ActiveModal<SetupDialog>();
        if (dialog == nullptr) return false;
        setupSaved = Save(dialog, folder, "setup-dialog.png");
        dialog->cancelButton()->click();
        return true;
    });
    QTest::mouseClick(control(kIdSetupButton), Qt::LeftButton);
    EXPECT_TRUE(setupSaved);

    // A capture unit that is not there.
    program.settings.captureUnitPort = test::FreeLoopbackPort();
    bool messageSaved = false;
    ModalScript message([&] {
        auto* dialog = ActiveModal<MessageDialog>();
        if (dialog == nullptr) return false;
        messageSaved = Save(dialog, folder, "message-dialog.png");
        dialog->okButton()->click();
        return true;
    });
    QTest::mouseClick(control(kIdCaptureButton), Qt::LeftButton);
    EXPECT_TRUE(messageSaved);
}

}  // namespace
}  // namespace orvane
