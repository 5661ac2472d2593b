// Pictures of the main window, the Setup dialog and the message dialog, taken only when
// ORVANE_SCREENSHOT_DIR names the folder to save them in (run under a real display server).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QTest>

#include "gui_test_support.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {
namespace {

QString ScreenshotDir() { return qEnvironmentVariable("ORVANE_SCREENSHOT_DIR"); }

void Save(QWidget* widget, const QString& name) {
    QTest::qWait(200);  // let the window system map and paint the window
    const QString path = QDir(ScreenshotDir()).filePath(name);
    EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

// A short exchange between an edit controller and a deck.
void LoadExchange(CaptureModel& model) {
    const char* lines[] = {
        "\x80"
        "0000.010\t61 0C 03 70 ",
        "\xC0"
        "0000.018\t74 04 00 10 22 01 AB ",
        "\x80"
        "0000.040\t61 20 0F 90 ",
        "\xC0"
        "0000.047\t7F 20 00 80 00 00 00 00 00 00 00 00 00 00 00 00 00 1F ",
        "\x80"
        "0000.080\t20 01 21 ",
        "\xC0"
        "0000.086\t10 01 11 ",
        "\x80"
        "0000.120\t21 11 01 33 ",
        "\xC0"
        "0000.126\t10 01 11 ",
        "\x80"
        "0000.160\t00 11 11 ",
        "\xC0"
        "0000.168\t12 11 20 32 75 ",
        "\x80"
        "0000.200\t20 00 20 ",
        "\xC0"
        "0000.206\t10 01 11 ",
    };
    model.packetLines.clear();
    for (const char* line : lines) model.packetLines.push_back({line, 1});
    model.lastPacketIndex = static_cast<int>(model.packetLines.size()) - 1;
    for (int i = 1; i <= 40; ++i) model.capturedBytes[static_cast<std::size_t>(i)].blockSeq = 1;
    model.byteCount = 40;
}

TEST(WindowScreenshots, MainWindowSetupDialogAndMessageDialog) {
    if (ScreenshotDir().isEmpty()) GTEST_SKIP() << "ORVANE_SCREENSHOT_DIR is not set";
    test::ScratchFolder folder;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    LoadExchange(started.program->captureModel);
    for (int id : {kIdTimeSense, kIdTimeReply, kIdStatusSense, kIdStatusReply, kIdDisplayAcks}) {
        QTest::mouseClick(window.findChild<QCheckBox*>(QStringLiteral("id%1").arg(id)),
                          Qt::LeftButton, {}, QPoint(5, 5));
    }
    window.SetStatusText("Packets Received: 12");
    Save(&window, QStringLiteral("main-window.png"));

    ConnectionSettings settings{"127.0.0.1", 23, kProtocolSony};
    test::WithModalDialog([&] { ShowSetupDialog(&window, started.program->look, settings); },
                          [&](QWidget* dialog) {
                              Save(dialog, QStringLiteral("setup-dialog.png"));
                              dialog->close();
                          });
    test::WithModalDialog(
        [&] {
            ShowMessage(&window, started.program->look, "Error opening port: Connection refused");
        },
        [&](QWidget* dialog) {
            Save(dialog, QStringLiteral("message-dialog.png"));
            dialog->close();
        });
}

}  // namespace
}  // namespace orvane
