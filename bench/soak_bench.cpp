// Soak benchmark: 1,000 captures of a full block store in a row through the receive stream,
// packet assembly and a list fill, with the process's memory read after the first and the last.
//
// The model, the receive stream, the lists and the decoder are made once and reused, as the
// program reuses them for every capture of a session; memory that grows from capture to capture
// shows as a last figure above the first. Counters: captures per second, and resident memory
// (VmRSS) and its peak (VmHWM) in KiB after the first and after the last capture.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "decode/decoder.hpp"
#include "views/capture_lists.hpp"

namespace orvane {
namespace {

constexpr int kCaptures = 1000;
constexpr int kEntriesPerMessage = kMaxBytes / kMaxBlocks;  // 100: the byte list fills too
constexpr std::size_t kReadSize = 4096;

// A value of /proc/self/status in KiB ("VmRSS:", "VmHWM:"); 0 where the system has none.
long StatusKiB(std::string_view key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0) return std::stol(line.substr(key.size()));
    }
    return 0;
}

// An edit controller polling status and time each field, the deck answering, with an
// occasional Play and its acknowledge: (controller?, byte) in line order.
std::vector<std::pair<bool, int>> SonyLine() {
    const std::vector<std::vector<int>> commands = {
        {0x61, 0x20, 0x05, 0x86}, {0x61, 0x0C, 0x03, 0x70}, {0x20, 0x01, 0x21}};
    const std::vector<std::vector<int>> replies = {
        {0x75, 0x20, 0x00, 0x81, 0x30, 0x00, 0x00, 0x06, 0x1A},
        {0x74, 0x04, 0x10, 0x20, 0x30, 0x01, 0xD9},
        {0x10, 0x01, 0x11}};
    std::vector<std::pair<bool, int>> line;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        for (int value : commands[i]) line.emplace_back(true, value);
        for (int value : replies[i]) line.emplace_back(false, value);
    }
    return line;
}

// One more message than the store holds, so that every capture ends by a full store, cut into
// reads of kReadSize bytes as a busy connection delivers them.
std::vector<std::string> StreamReads() {
    const std::vector<std::pair<bool, int>> line = SonyLine();
    std::string stream;
    std::size_t next = 0;
    int tick = 0;
    for (std::uint32_t sequence = 1; sequence <= kMaxBlocks + 1; ++sequence) {
        orvane::AppendMessageHeader(stream, sequence);
        for (int e = 0; e < kEntriesPerMessage; ++e) {
            const auto& [controller, value] = line[next++ % line.size()];
            tick = (tick + 1) % 4096;
            orvane::AppendMessageEntry(stream, controller ? 0x80 : 0xC0, tick, value);
        }
    }
    std::vector<std::string> reads;
    for (std::size_t at = 0; at < stream.size(); at += kReadSize) {
        reads.push_back(stream.substr(at, kReadSize));
    }
    return reads;
}

class CountingEvents final : public ReceiveEvents {
  public:
    void SetCounterText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void EndCapture() override { ++ended; }
    int ended = 0;
};

class PacketViewSelected final : public ViewState {
  public:
    ViewOptions GetViewOptions() const override {
        return {ViewKind::Packet, FilterFlags::ShowAll()};
    }
    void SetStatusText(std::string_view) override {}
    void ShowList(ViewKind) override {}
};

void BM_SoakFullCaptures(benchmark::State& state) {
    const std::vector<std::string> reads = StreamReads();
    CaptureModel model;
    const Trace trace;
    CountingEvents events;
    ReceiveStream stream(model, trace, events);
    CaptureLists lists;
    PacketViewSelected viewState;
    Decoder decoder(ProtocolMode::kSony);

    for (auto _ : state) {
        long rssFirst = 0;
        long hwmFirst = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int capture = 1; capture <= kCaptures; ++capture) {
            stream.StartCapture();
            for (const std::string& read : reads) {
                if (stream.storeFull()) break;  // the capture loop stops reading here
                stream.OnReceive(read);
            }
            AssembleCapture(model, decoder.protocolMode(), trace);
            lists.RefreshList(model, decoder, viewState, trace);
            benchmark::DoNotOptimize(lists.packetList.GetItemCount());
            if (capture == 1) {
                rssFirst = StatusKiB("VmRSS:");
                hwmFirst = StatusKiB("VmHWM:");
            }
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (events.ended != kCaptures || model.blockCount != kMaxBlocks ||
            model.byteCount != kMaxBytes) {
            state.SkipWithError("a capture did not fill the store");
        }
        events.ended = 0;
        state.counters["captures_per_s"] = kCaptures / seconds;
        state.counters["rss_first_KiB"] = static_cast<double>(rssFirst);
        state.counters["rss_last_KiB"] = static_cast<double>(StatusKiB("VmRSS:"));
        state.counters["hwm_first_KiB"] = static_cast<double>(hwmFirst);
        state.counters["hwm_last_KiB"] = static_cast<double>(StatusKiB("VmHWM:"));
        state.counters["rows"] = lists.packetList.GetItemCount();
    }
}
BENCHMARK(BM_SoakFullCaptures)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
