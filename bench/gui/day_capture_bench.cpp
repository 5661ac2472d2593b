// The desktop program at a day's scale, offscreen: opening a long capture file (first rows on
// screen, the whole file, a jump to any row, a filter toggle, the memory held), and how long the
// event loop stalls while a live continuous capture of the simulator's fastest traffic runs.
//
// The capture file is named by ORVANE_BENCH_CAPTURE (scripts/make-bench-capture.sh writes one
// of ten million packets); without it the open benchmarks are skipped.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "ui/capture_rows_model.hpp"
#include "ui/continuous_list.hpp"
#include "views/capture_rows.hpp"

namespace orvane {
namespace {

// The process's resident memory now and at its peak, in MB (Linux; 0 elsewhere).
double ProcStatusMb(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key, 0) == 0) return std::strtod(line.c_str() + 7, nullptr) / 1024.0;
    }
    return 0;
}

struct Window {
    Program program;
    std::unique_ptr<MainWindow> window;
    QTemporaryDir folder;

    Window() {
        CreateProgramResources(program);
        program.trace.output = nullptr;
        program.captureSettings.continuous = true;
        program.captureSettings.folder = folder.path().toStdString();
        window = std::make_unique<MainWindow>(program);
        window->resize(900, 700);
        window->show();
        window->SetViewOptions({ViewKind::Packet, FilterFlags::ShowAll()});
    }

    QTableView* list() const { return window->continuousList().view(); }
    std::uint64_t rows() const {
        const CaptureRows* rows = window->continuousList().rows();
        return rows == nullptr ? 0 : rows->RowCount();
    }
    void Click(int id) const {
        QAbstractButton* control =
            window->findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
        control->click();
    }
};

const char* BenchCapture() { return std::getenv("ORVANE_BENCH_CAPTURE"); }

// The window opened on the bench capture once, for the benchmarks that work on an open file.
Window& OpenedWindow() {
    static Window* opened = [] {
        auto* w = new Window;
        w->window->OpenCapture(QString::fromLocal8Bit(BenchCapture()));
        return w;
    }();
    return *opened;
}

// Open Capture on the whole file: first rows on screen, then the last read taken in.
void BM_OpenDayCapture(benchmark::State& state) {
    if (BenchCapture() == nullptr) {
        state.SkipWithError("ORVANE_BENCH_CAPTURE names no capture file");
        return;
    }
    double firstRowsMs = 0;
    std::uint64_t rows = 0;
    for (auto _ : state) {
        Window w;
        QElapsedTimer clock;
        firstRowsMs = -1;
        QTimer watch;
        watch.setInterval(1);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (firstRowsMs < 0 && w.rows() > 0) {
                w.list()->viewport()->repaint();
                firstRowsMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            }
        });
        watch.start();
        state.counters["rss_before_mb"] = ProcStatusMb("VmRSS:");
        clock.start();
        w.window->OpenCapture(QString::fromLocal8Bit(BenchCapture()));
        rows = w.rows();
        state.counters["open_ms"] = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.counters["rss_mb"] = ProcStatusMb("VmRSS:");
        if (const ContinuousCapture* capture = w.window->heldCapture()) {
            state.counters["bytes_mb"] = static_cast<double>(capture->bytes().MemoryBytes()) / 1e6;
            state.counters["packets_mb"] =
                static_cast<double>(capture->packets().MemoryBytes()) / 1e6;
            state.counters["capture_mb"] = static_cast<double>(capture->MemoryBytes()) / 1e6;
        }
    }
    state.counters["first_rows_ms"] = firstRowsMs;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["peak_rss_mb"] = ProcStatusMb("VmHWM:");
}
BENCHMARK(BM_OpenDayCapture)->Unit(benchmark::kMillisecond)->Iterations(1);

// A jump to a random row of the open capture, painted: most land on another page of the list.
void BM_JumpToRow(benchmark::State& state) {
    if (BenchCapture() == nullptr) {
        state.SkipWithError("ORVANE_BENCH_CAPTURE names no capture file");
        return;
    }
    Window& w = OpenedWindow();
    std::mt19937_64 random(7);
    ContinuousList& list = w.window->continuousList();
    for (auto _ : state) {
        list.GoToRow(random() % list.RowCount());
        w.list()->viewport()->repaint();
    }
    state.counters["rows"] = static_cast<double>(w.rows());
}
BENCHMARK(BM_JumpToRow)->Unit(benchmark::kMicrosecond);

// A filter box clicked on the open capture, in the Packet View and in the Byte View: the rows
// found again and the list painted.
void BM_FilterToggleOnDay(benchmark::State& state) {
    if (BenchCapture() == nullptr) {
        state.SkipWithError("ORVANE_BENCH_CAPTURE names no capture file");
        return;
    }
    Window& w = OpenedWindow();
    const ViewKind view = state.range(0) == 0 ? ViewKind::Packet : ViewKind::Byte;
    w.window->SetViewOptions({view, FilterFlags::ShowAll()});
    for (auto _ : state) {
        w.Click(kIdTimeSense);
        w.list()->viewport()->repaint();
    }
    state.counters["rows"] = static_cast<double>(w.rows());
    state.counters["rss_mb"] = ProcStatusMb("VmRSS:");
    w.window->SetViewOptions({ViewKind::Packet, FilterFlags::ShowAll()});
}
BENCHMARK(BM_FilterToggleOnDay)
    ->ArgName("byte_view")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

// A live continuous capture of `orvane-sim --rate fast` for a few seconds, the list following:
// the longest wait of a 1-ms repeating timer is the longest the window could not answer.
void BM_LiveCaptureStall(benchmark::State& state) {
    constexpr int kCaptureMs = 5000;
    double longestMs = 0;
    std::uint64_t rows = 0;
    for (auto _ : state) {
        QProcess sim;
        sim.start(QStringLiteral(ORVANE_SIM_PATH),
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--scenario"),
                   QStringLiteral("sony"), QStringLiteral("--rate"), QStringLiteral("fast")});
        sim.waitForStarted(5000);
        while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
        }
        static const QRegularExpression kListening(QStringLiteral(":(\\d+)\\s*$"));
        const auto match = kListening.match(QString::fromLatin1(sim.readLine()));
        if (!match.hasMatch()) {
            state.SkipWithError("orvane-sim named no port");
            return;
        }
        Window w;
        w.program.settings.captureUnitAddress = "127.0.0.1";
        w.program.settings.captureUnitPort = static_cast<std::int32_t>(match.captured(1).toUInt());
        w.window->OnCaptureClicked();

        QElapsedTimer clock;
        clock.start();
        std::int64_t last = 0;
        std::int64_t longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const std::int64_t now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        tick.start();
        while (clock.elapsed() < kCaptureMs) QCoreApplication::processEvents();
        tick.stop();
        longestMs = static_cast<double>(longest) / 1e6;
        w.window->OnCaptureClicked();  // Stop
        rows = w.rows();
        sim.kill();
        sim.waitForFinished();
    }
    state.counters["longest_stall_ms"] = longestMs;
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_LiveCaptureStall)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace orvane
