// orvane-screenshots FOLDER: the README's pictures, taken from demo captures of the simulator: the
// main window in both views, the capture, Setup and message dialogs, a live continuous capture,
// and the analysis (its columns and the Statistics window) of a line with faults.
// scripts/screenshots.sh runs it under Xvfb; the exit code is 1 when a picture is missing.
#include <QApplication>
#include <QDir>
#include <QTableView>
#include <QTest>
#include <cstdio>

#include "capture/continuous_capture.hpp"
#include "gui_test_support.hpp"
#include "line_faults.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"
#include "ui/setup_dialog.hpp"
#include "ui/statistics_window.hpp"

namespace orvane {
namespace {

class Pictures {
  public:
    explicit Pictures(const QString& folder) : folder_(folder) {}

    void Save(QWidget* widget, const char* name) {
        QTest::qWait(50);  // let pending paints land
        const QString path = folder_.filePath(QString::fromLatin1(name));
        const bool saved = widget->grab().save(path, "PNG");
        std::printf("%s %s\n", saved ? "picture" : "not saved:", qPrintable(path));
        ok_ = ok_ && saved;
    }
    void Fail(const char* what) {
        std::fprintf(stderr, "orvane-screenshots: %s\n", what);
        ok_ = false;
    }
    bool ok() const { return ok_; }

  private:
    QDir folder_;
    bool ok_ = true;
};

// A bounded capture of commands and their acknowledgements (the routine time and status polling
// hidden), both views, and the dialogs around it.
void TakeBoundedCapture(Pictures& pictures) {
    test::ScratchFolder scratch(true);
    test::StartedProgram started = test::StartProgram();
    ViewOptions options = started.window->GetViewOptions();
    options.filters.displayAcks = options.filters.dispDevType = true;
    started.window->SetViewOptions(options);
    test::Simulator sim;
    if (!sim.Start({"--scenario", "sony", "--seed", "3", "--rate", "120", "--idle-after", "400"})) {
        return pictures.Fail("the simulator did not start");
    }
    started.PointAt(sim.port());

    bool dialogSaved = false;
    const bool ended = test::DriveModal([&] { started.Click(kIdCaptureButton); },
                                        [&] {
                                            auto* dialog = test::ActiveModal<CaptureDialog>();
                                            if (dialog == nullptr) return false;
                                            const int count = dialog->counterText().toInt();
                                            if (!dialogSaved && count >= 150) {
                                                pictures.Save(dialog, "capture-dialog.png");
                                                dialogSaved = true;
                                            }
                                            if (count < 400) return false;
                                            QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
                                            return true;
                                        });
    if (!ended || !dialogSaved) return pictures.Fail("the demo capture did not run");
    started.window->listView(ViewKind::Packet)->scrollToTop();
    pictures.Save(started.window.get(), "main-window-packet-view.png");
    started.Click(kIdByteView);
    pictures.Save(started.window.get(), "main-window-byte-view.png");
    started.Click(kIdPacketView);

    if (!started.InSetUp([&](SetupDialog* dialog) {
            pictures.Save(dialog, "setup-dialog.png");
            dialog->cancelButton()->click();
        })) {
        pictures.Fail("no Setup dialog");
    }
    started.PointAt(test::FreeLoopbackPort());  // a capture unit that is not there
    if (!test::OnModal<MessageDialog>([&] { started.Click(kIdCaptureButton); },
                                      [&](MessageDialog* dialog) {
                                          pictures.Save(dialog, "message-dialog.png");
                                          dialog->okButton()->click();
                                      })) {
        pictures.Fail("no message dialog");
    }
}

// A continuous capture under way, with the menu bar, time polling shown, past the bounded
// store's limit of 1000 messages.
void TakeLiveCapture(Pictures& pictures) {
    test::ScratchFolder scratch(true);
    test::StartedProgram started = test::StartProgram();
    started.window->AddMenuBar();
    ViewOptions options = started.window->GetViewOptions();
    options.filters.timeSense = options.filters.timeReply = true;
    options.filters.displayAcks = options.filters.dispDevType = true;
    started.window->SetViewOptions(options);
    started.program->captureSettings.continuous = true;
    started.program->captureSettings.folder = scratch.Path("captures");
    test::Simulator sim;
    if (!sim.Start({"--scenario", "sony", "--seed", "3", "--rate", "400"})) {
        return pictures.Fail("the simulator did not start");
    }
    started.PointAt(sim.port());
    started.Click(kIdCaptureButton);
    const auto messages = [&] {
        const ContinuousCapture* held = started.window->heldCapture();
        return held != nullptr ? held->counters().messages : 0;
    };
    if (!QTest::qWaitFor([&] { return messages() >= 1500; }, test::kWaitMs)) {
        return pictures.Fail("the live capture did not run");
    }
    pictures.Save(started.window.get(), "live-capture.png");
    started.Click(kIdCaptureButton);  // Stop
}

// Ten minutes of a controller polling the deck's time 20 times a second, with now and then a
// Play, replies a few milliseconds later that slow down for a while midway, and every ten
// seconds a run of faults: a wrong checksum answered by a NAK, a late reply, no reply, a reply
// to nothing.
std::string FaultyTraffic() {
    std::vector<test::LinePacket> packets;
    std::uint32_t state = 7;
    const auto next = [&state](int range) {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(range));
    };
    const std::vector<int> timeData = test::Sony({0x74, 0x04, 0x10, 0x20, 0x30, 0x01});
    for (int i = 0; i < 12000; ++i) {
        const int at = i * 50;
        const bool slow = i > 5000 && i < 6500;
        int latency = 2 + next(3) + (slow ? 1 + next(4) : 0);
        std::vector<int> command = test::Sony({0x61, 0x0C, 0x03});
        std::vector<int> reply = timeData;
        if (i % 97 == 3) {
            command = test::Sony({0x20, 0x01});  // Play, acknowledged
            reply = test::Sony({0x10, 0x01});
        }
        switch (i % 200) {
            case 6:
                command.back() ^= 0x01;  // a wrong checksum, answered by a NAK
                reply = test::Sony({0x11, 0x12, 0x04});
                break;
            case 9:
                latency = 14;  // late
                break;
            case 12:
                packets.push_back({false, at, command});  // no reply
                continue;
            case 15:
                packets.push_back({false, at, command});
                packets.push_back({true, at + 1 + latency, reply});
                packets.push_back({true, at + 30, test::Sony({0x10, 0x01})});  // to nothing
                continue;
            default:
                break;
        }
        packets.push_back({false, at, command});
        packets.push_back({true, at + 1 + latency, reply});
    }
    return test::RawStream(packets, 3);
}

// The analysis of a line with faults: the Latency and Verdict columns with a problem chosen by
// F8, and the Statistics window.
void TakeAnalysis(Pictures& pictures) {
    test::ScratchFolder scratch(true);
    test::StartedProgram started = test::StartProgram();
    started.window->AddMenuBar();
    started.window->SetViewOptions({ViewKind::Packet, FilterFlags::ShowAll()});
    started.program->captureSettings.continuous = true;
    if (!started.OpenStream(scratch.Path("line-with-faults.bin"), FaultyTraffic())) {
        return pictures.Fail("the line with faults did not open");
    }
    started.window->SetAnalysisColumnsShown(true);
    QTableView* list = started.window->shownList();
    list->scrollToTop();
    for (int i = 0; i < 2; ++i) {
        started.window->GoToProblem(true);
        if (!QTest::qWaitFor([&] { return !started.window->searching(); }, test::kWaitMs)) {
            return pictures.Fail("Next Problem did not end");
        }
    }
    list->scrollToTop();
    pictures.Save(started.window.get(), "analysis-columns.png");

    started.window->OnStatisticsClicked();
    StatisticsWindow* statistics = started.window->statisticsWindow();
    if (!QTest::qWaitForWindowExposed(statistics)) return pictures.Fail("no Statistics window");
    QTest::qWait(300);  // the charts lay themselves out
    pictures.Save(statistics, "statistics-window.png");
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-screenshots FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "orvane-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }
    orvane::Pictures pictures(QDir(folder).absolutePath());
    orvane::TakeBoundedCapture(pictures);
    orvane::TakeLiveCapture(pictures);
    orvane::TakeAnalysis(pictures);
    return pictures.ok() ? 0 : 1;
}
