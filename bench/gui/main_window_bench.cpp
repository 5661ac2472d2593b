// The desktop program's response to the user on a full capture (100,000 bytes): from Stop to a
// filled Packet View, a filter box toggled, the switch to the Byte View. Runs offscreen.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <array>
#include <cstdint>
#include <string>

#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"

namespace orvane {
namespace {

// A block store of 1000 messages of 100 entries: an edit controller polling time and playing,
// the deck answering. 100,000 bytes, as many as the byte list holds.
void FillBlockStore(CaptureModel& model) {
    constexpr std::array<std::array<int, 8>, 4> kPackets = {{
        {0x80, 0x61, 0x0C, 0x03, 0x70, -1, -1, -1},
        {0xC0, 0x74, 0x04, 0x00, 0x00, 0x10, 0x01, 0x89},
        {0x80, 0x20, 0x01, 0x21, -1, -1, -1, -1},
        {0xC0, 0x10, 0x01, 0x11, -1, -1, -1, -1},
    }};
    model.receivedBlocks.assign(1, std::string());
    int packet = 0;
    int field = 1;
    int tick = 1;
    for (int seq = 1; seq <= kMaxBlocks; ++seq) {
        std::string block;
        AppendMessageHeader(block, static_cast<std::uint32_t>(seq));
        for (int entry = 0; entry < 100; ++entry) {
            if (field == 8 || kPackets[packet][field] < 0) {
                packet = (packet + 1) % 4;
                field = 1;
            }
            tick = (tick + 1) % 4096;
            AppendMessageEntry(block, kPackets[packet][0], tick, kPackets[packet][field++]);
        }
        model.receivedBlocks.push_back(block);
    }
    model.blockCount = kMaxBlocks;
}

struct Fixture {
    Program program;
    MainWindow* window = nullptr;

    Fixture() {
        CreateProgramResources(program);
        window = new MainWindow(program);
        window->SetViewOptions({ViewKind::Packet, FilterFlags::ShowAll()});
        window->show();
        FillBlockStore(program.captureModel);
    }
    ~Fixture() { delete window; }

    void Click(int id) {
        QTest::mouseClick(window->findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id)),
                          Qt::LeftButton);
    }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

// What follows Stop: the three assembly passes, then the refresh of the Packet View.
void BM_StopToFilledPacketView(benchmark::State& state) {
    Fixture& f = TheFixture();
    for (auto _ : state) {
        AssembleCapture(f.program.captureModel, ProtocolMode::kSony, f.program.trace);
        f.Click(kIdPacketView);
    }
    state.counters["rows"] = f.program.captureLists.packetList.GetItemCount();
}
BENCHMARK(BM_StopToFilledPacketView)->Unit(benchmark::kMillisecond);

void BM_FilterToggle(benchmark::State& state) {
    Fixture& f = TheFixture();
    AssembleCapture(f.program.captureModel, ProtocolMode::kSony, f.program.trace);
    f.Click(kIdPacketView);
    for (auto _ : state) f.Click(kIdTimeSense);
    state.counters["rows"] = f.program.captureLists.packetList.GetItemCount();
}
BENCHMARK(BM_FilterToggle)->Unit(benchmark::kMillisecond);

void BM_SwitchToByteView(benchmark::State& state) {
    Fixture& f = TheFixture();
    AssembleCapture(f.program.captureModel, ProtocolMode::kSony, f.program.trace);
    int rows = 0;
    for (auto _ : state) {
        f.Click(kIdByteView);
        state.PauseTiming();
        rows = f.program.captureLists.byteList.GetItemCount();
        f.Click(kIdPacketView);
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_SwitchToByteView)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane
