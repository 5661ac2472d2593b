// Figures, not checks: how long a full capture takes from Stop to a filled Packet View, and how
// long a filter or view change takes on it. Printed for the record; the test asserts only that
// the capture was full.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

#include "app/capture_sequence.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture_test_support.hpp"
#include "gui_test_support.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

using test::ActiveModal;

double Milliseconds(const QElapsedTimer& clock) {
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

TEST(CaptureTiming, FullCaptureFromStopToFilledListAndFilterChange) {
    test::ScratchFolder scratch;
    test::StartedProgram started = test::StartProgram();
    MainWindow& window = *started.window;
    Program& program = *started.program;
    const auto control = [&window](int id) {
        return window.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
    };
    for (int id : {kIdTimeSense, kIdTimeReply, kIdStatusSense, kIdStatusReply, kIdDisplayAcks,
                   kIdDevTypeFilter}) {
        window.SetCheckState(id, 1);
    }

    // 1000 messages of 120 entries: more than the 100,000 bytes the byte list holds.
    test::Simulator sim;
    ASSERT_TRUE(sim.Start({"--scenario", "sony", "--rate", "fast", "--entries", "120", "--flush-ms",
                           "60000", "--idle-after", "1000"}));
    program.settings.captureUnitAddress = "127.0.0.1";
    program.settings.captureUnitPort = sim.port();

    QElapsedTimer fromStop;
    test::ModalScript script([&] {
        auto* dialog = ActiveModal<CaptureDialog>();
        if (dialog == nullptr || dialog->counterText() != QStringLiteral("1000")) return false;
        fromStop.start();
        QTest::mouseClick(dialog->stopButton(), Qt::LeftButton);
        return true;
    });
    QTest::mouseClick(control(kIdCaptureButton), Qt::LeftButton);
    const double stopToListMs = Milliseconds(fromStop);
    ASSERT_FALSE(script.expired());
    ASSERT_EQ(program.captureModel.byteCount, kMaxBytes);
    const int packetRows = program.listViews.packetList.GetItemCount();

    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(control(kIdTimeSense), Qt::LeftButton);
    const double filterOffMs = Milliseconds(clock);
    const int filteredRows = program.listViews.packetList.GetItemCount();
    clock.start();
    QTest::mouseClick(control(kIdTimeSense), Qt::LeftButton);
    const double filterOnMs = Milliseconds(clock);
    clock.start();
    QTest::mouseClick(control(kIdByteView), Qt::LeftButton);
    const double byteViewMs = Milliseconds(clock);
    const int byteRows = program.listViews.byteList.GetItemCount();

    std::printf(
        "[ figures  ] Stop to filled Packet View (%d bytes, %d rows): %.1f ms\n"
        "[ figures  ] filter box off (%d rows): %.1f ms, on again: %.1f ms\n"
        "[ figures  ] Byte View (%d rows): %.1f ms\n",
        program.captureModel.byteCount, packetRows, stopToListMs, filteredRows, filterOffMs,
        filterOnMs, byteRows, byteViewMs);
}

}  // namespace
}  // namespace orvane
