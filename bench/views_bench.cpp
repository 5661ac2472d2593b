// Measures a full capture of 100,000 bytes from stored blocks to list rows, in both views, for a
// Sony 9-pin and a VDCP session with every filter box checked.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <string>
#include <vector>

#include "capture/capture_model.hpp"
#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "views/byte_view.hpp"
#include "views/capture_lists.hpp"
#include "views/list_model.hpp"
#include "views/packet_view.hpp"

namespace {

using orvane::CaptureModel;

constexpr int kEntriesPerBlock = 200;

// Stores capture-unit messages of up to kEntriesPerBlock entries until 100,000 bytes are held.
class BlockWriter {
  public:
    explicit BlockWriter(CaptureModel& model) : model_(model) {}

    bool full() const { return byteCount_ >= orvane::kMaxBytes; }

    // One serial byte; bytes follow each other at line speed, about 0.29 ms apart.
    void Add(int direction, int value) {
        if (full()) return;
        if (entries_ == 0) StartBlock();
        microseconds_ += 290;
        const int tick = static_cast<int>((microseconds_ / 1000) % 4096);
        orvane::AppendMessageEntry(model_.receivedBlocks.back(), direction, tick, value);
        ++byteCount_;
        if (++entries_ == kEntriesPerBlock) entries_ = 0;
    }

    void Packet(int direction, const std::vector<int>& values) {
        for (int value : values) Add(direction, value);
    }

    // The next reply comes a few milliseconds after its command.
    void Pause(int ms) { microseconds_ += 1000LL * ms; }

  private:
    void StartBlock() {
        std::string block;
        orvane::AppendMessageHeader(block, static_cast<std::uint32_t>(++sequence_));
        model_.receivedBlocks.push_back(std::move(block));
        ++model_.blockCount;
    }

    CaptureModel& model_;
    int byteCount_ = 0;
    int entries_ = 0;
    int sequence_ = 0x10000;
    long long microseconds_ = 0;
};

// A Sony 9-pin controller polling time and status each field, with transport commands between.
CaptureModel SonyBlocks() {
    CaptureModel model;
    BlockWriter out(model);
    for (int field = 0; !out.full(); ++field) {
        const int frames = field % 30;
        out.Packet(0x80, {0x61, 0x0C, 0x03, 0x70});
        out.Pause(2);
        out.Packet(0xC0,
                   {0x74, 0x04, frames, 0x10, 0x20, 0x01, (0x74 + 0x04 + frames + 0x31) & 0xFF});
        out.Pause(4);
        out.Packet(0x80, {0x61, 0x20, 0x0F, 0x90});
        out.Pause(2);
        out.Packet(0xC0, {0x7F, 0x20, 0x00, 0x81, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
        out.Pause(4);
        if (field % 10 == 0) {
            out.Packet(0x80, {0x20, 0x01, 0x21});
            out.Pause(2);
            out.Packet(0xC0, {0x10, 0x01, 0x11});
        }
        out.Pause(8);
    }
    return model;
}

// A VDCP frame: STX, byte count, body, checksum (two's complement of the body's sum).
std::vector<int> VdcpFrame(const std::vector<int>& body) {
    std::vector<int> frame = {0x02, static_cast<int>(body.size())};
    int sum = 0;
    for (int value : body) {
        frame.push_back(value);
        sum += value;
    }
    frame.push_back(-sum & 0xFF);
    return frame;
}

// A VDCP automation polling position and port status, with play commands and acknowledges.
CaptureModel VdcpBlocks() {
    CaptureModel model;
    BlockWriter out(model);
    for (int field = 0; !out.full(); ++field) {
        const int frames = field % 30;
        out.Packet(0x80, VdcpFrame({0x30, 0x06}));
        out.Pause(2);
        out.Packet(0xC0, VdcpFrame({0x30, 0x86, frames, 0x10, 0x20, 0x01}));
        out.Pause(4);
        out.Packet(0x80, VdcpFrame({0x30, 0x05, 0x01}));
        out.Pause(2);
        out.Packet(0xC0, VdcpFrame({0x30, 0x85, 0x01, 0x20}));
        out.Pause(4);
        if (field % 10 == 0) {
            out.Packet(0x80, VdcpFrame({0x10, 0x01}));
            out.Pause(2);
            out.Packet(0xC0, {0x04});
        }
        out.Pause(8);
    }
    return model;
}

double PeakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Blocks to rows: the three assembly passes, then one fill of the chosen view, as the refresh
// Fills the list of one view with every packet shown.
void FillView(CaptureModel& model, orvane::Decoder& decoder, orvane::ViewKind view,
              const orvane::Trace& trace, orvane::ListModel& list) {
    if (view == orvane::ViewKind::Packet) {
        orvane::FillPacketView(model, decoder, orvane::FilterFlags::ShowAll(), trace, list);
    } else {
        orvane::FillByteView(model, decoder, orvane::FilterFlags::ShowAll(), list);
    }
}

// after a capture runs them.
void CaptureToRows(benchmark::State& state, orvane::ProtocolMode protocolMode,
                   orvane::ViewKind view) {
    const CaptureModel blocks =
        protocolMode == orvane::ProtocolMode::kVdcp ? VdcpBlocks() : SonyBlocks();
    const orvane::Trace trace;
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CaptureModel model = blocks;
        orvane::ListModel list = view == orvane::ViewKind::Packet
                                     ? orvane::CaptureLists().packetList
                                     : orvane::CaptureLists().byteList;
        orvane::Decoder decoder(protocolMode);
        state.ResumeTiming();
        orvane::AssembleCapture(model, protocolMode, trace);
        FillView(model, decoder, view, trace, list);
        rows = list.GetItemCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
    state.counters["peakMB"] = PeakMemoryMb();
}

// The refresh alone: the capture is assembled once, the list filled again each time (a click
// on a view option or a filter box).
void FillOnly(benchmark::State& state, orvane::ProtocolMode protocolMode, orvane::ViewKind view) {
    CaptureModel model = protocolMode == orvane::ProtocolMode::kVdcp ? VdcpBlocks() : SonyBlocks();
    const orvane::Trace trace;
    orvane::AssembleCapture(model, protocolMode, trace);
    orvane::CaptureLists lists;
    int rows = 0;
    for (auto _ : state) {
        orvane::ListModel& list = lists.ListFor(view);
        list.DeleteAllItems();
        orvane::Decoder decoder(protocolMode);
        FillView(model, decoder, view, trace, list);
        rows = list.GetItemCount();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
    state.counters["peakMB"] = PeakMemoryMb();
}

using orvane::ProtocolMode;
using orvane::ViewKind;

BENCHMARK_CAPTURE(CaptureToRows, SonyPacketView, ProtocolMode::kSony, ViewKind::Packet)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CaptureToRows, SonyByteView, ProtocolMode::kSony, ViewKind::Byte)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CaptureToRows, VdcpPacketView, ProtocolMode::kVdcp, ViewKind::Packet)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CaptureToRows, VdcpByteView, ProtocolMode::kVdcp, ViewKind::Byte)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FillOnly, SonyPacketView, ProtocolMode::kSony, ViewKind::Packet)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FillOnly, SonyByteView, ProtocolMode::kSony, ViewKind::Byte)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FillOnly, VdcpPacketView, ProtocolMode::kVdcp, ViewKind::Packet)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FillOnly, VdcpByteView, ProtocolMode::kVdcp, ViewKind::Byte)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
