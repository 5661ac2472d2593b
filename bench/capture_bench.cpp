// Capture benchmarks: the three assembly passes over a full capture, and the receive stream.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"

namespace orvane {
namespace {

constexpr int kEntriesPerBlock = kMaxBytes / kMaxBlocks;  // 100 bytes per block, 100,000 in all

// Serial traffic of one protocol as (direction, byte) pairs, repeated to fill the capture.
struct LineByte {
    int direction;
    int value;
};

std::vector<LineByte> SonyTraffic() {
    // Status sense and its reply, time sense and its reply, play and its acknowledge.
    const std::vector<std::vector<int>> commands = {
        {0x61, 0x20, 0x05, 0x86}, {0x61, 0x0C, 0x01, 0x6E}, {0x20, 0x01, 0x21}};
    const std::vector<std::vector<int>> replies = {
        {0x75, 0x20, 0x00, 0x81, 0x30, 0x00, 0x00, 0x06, 0x1A},
        {0x74, 0x04, 0x10, 0x20, 0x30, 0x01, 0xD9},
        {0x10, 0x01, 0x11}};
    std::vector<LineByte> traffic;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        for (int value : commands[i]) traffic.push_back({kDirectionController, value});
        for (int value : replies[i]) traffic.push_back({kDirectionDevice, value});
    }
    return traffic;
}

std::vector<LineByte> VdcpTraffic() {
    // A type-0 command and its acknowledge, a port status request and its reply.
    const std::vector<int> command = {0x02, 0x02, 0x00, 0x0C, 0xF4};
    const std::vector<int> request = {0x02, 0x03, 0x30, 0x05, 0x01, 0xCA};
    const std::vector<int> reply = {0x02, 0x05, 0x30, 0x85, 0x01, 0x02, 0x00, 0x46};
    std::vector<LineByte> traffic;
    for (int value : command) traffic.push_back({kDirectionController, value});
    traffic.push_back({kDirectionDevice, 0x04});
    for (int value : request) traffic.push_back({kDirectionController, value});
    for (int value : reply) traffic.push_back({kDirectionDevice, value});
    return traffic;
}

// 1000 messages of 100 entries each, as the capture unit sends them; the tick advances 1 ms a
// byte and wraps every 4096 ms.
std::vector<std::string> CaptureMessages(const std::vector<LineByte>& traffic) {
    std::vector<std::string> messages;
    std::size_t next = 0;
    int tick = 0;
    for (std::uint32_t sequence = 1; sequence <= kMaxBlocks; ++sequence) {
        std::string message;
        orvane::AppendMessageHeader(message, sequence);
        for (int e = 0; e < kEntriesPerBlock; ++e) {
            const LineByte& byte = traffic[next++ % traffic.size()];
            tick = (tick + 1) % 4096;
            orvane::AppendMessageEntry(message, byte.direction, tick, byte.value);
        }
        messages.push_back(std::move(message));
    }
    return messages;
}

CaptureModel FullCapture(const std::vector<LineByte>& traffic) {
    CaptureModel model;
    const std::vector<std::string> messages = CaptureMessages(traffic);
    model.receivedBlocks.insert(model.receivedBlocks.end(), messages.begin(), messages.end());
    model.blockCount = kMaxBlocks;
    return model;
}

void AssemblePasses(benchmark::State& state, const std::vector<LineByte>& traffic,
                    ProtocolMode protocolMode) {
    CaptureModel model = FullCapture(traffic);
    const Trace trace;
    for (auto _ : state) {
        AssembleCapture(model, protocolMode, trace);
        benchmark::DoNotOptimize(model.packetLines.data());
    }
    state.counters["bytes"] = model.byteCount;
    state.counters["packets"] = model.lastPacketIndex + 1;
}

void BM_AssembleSony(benchmark::State& state) {
    AssemblePasses(state, SonyTraffic(), ProtocolMode::kSony);
}
void BM_AssembleVdcp(benchmark::State& state) {
    AssemblePasses(state, VdcpTraffic(), ProtocolMode::kVdcp);
}

// Each pass alone, over the Sony capture.
void BM_BuildCapturedBytes(benchmark::State& state) {
    CaptureModel model = FullCapture(SonyTraffic());
    for (auto _ : state) {
        BuildCapturedBytes(model);
        benchmark::DoNotOptimize(model.capturedBytes.data());
    }
}

void BM_AssignPacketNumbers(benchmark::State& state) {
    CaptureModel model = FullCapture(SonyTraffic());
    BuildCapturedBytes(model);
    for (auto _ : state) {
        AssignPacketNumbers(model, ProtocolMode::kSony);
        benchmark::DoNotOptimize(model.capturedBytes.data());
    }
}

void BM_BuildPacketLines(benchmark::State& state) {
    CaptureModel model = FullCapture(SonyTraffic());
    BuildCapturedBytes(model);
    AssignPacketNumbers(model, ProtocolMode::kSony);
    const Trace trace;
    for (auto _ : state) {
        BuildPacketLines(model, trace);
        benchmark::DoNotOptimize(model.packetLines.data());
    }
}

class QuietEvents : public ReceiveEvents {
  public:
    void SetCounterText(const std::string& text) override { benchmark::DoNotOptimize(text); }
    void SetStatusText(const std::string& text) override { benchmark::DoNotOptimize(text); }
    void EndCapture() override {}
};

// 1000 messages of 308 bytes arriving in reads of state.range(0) bytes (0: random sizes of 1
// to 4096).
void BM_Receive(benchmark::State& state) {
    std::string stream;
    for (const std::string& message : CaptureMessages(SonyTraffic())) stream += message;
    // The first read holds the first message's header: a read before any block must start with
    // the marker.
    std::vector<std::string_view> reads = {std::string_view(stream).substr(0, 8)};
    std::mt19937 random(7);
    for (std::size_t at = 8; at < stream.size();) {
        const auto size =
            state.range(0) > 0 ? static_cast<std::size_t>(state.range(0)) : 1 + random() % 4096;
        reads.push_back(std::string_view(stream).substr(at, size));
        at += size;
    }
    CaptureModel model;
    const Trace trace;
    QuietEvents events;
    ReceiveStream receiver(model, trace, events);
    for (auto _ : state) {
        receiver.StartCapture();
        for (std::string_view read : reads) receiver.OnReceive(read);
        benchmark::DoNotOptimize(model.blockCount);
    }
    if (model.blockCount != kMaxBlocks) state.SkipWithError("the stream was not cut into blocks");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(stream.size()));
}

BENCHMARK(BM_AssembleSony)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssembleVdcp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCapturedBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssignPacketNumbers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPacketLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Receive)
    ->Arg(1)
    ->Arg(3)
    ->Arg(64)
    ->Arg(308)
    ->Arg(4096)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orvane

BENCHMARK_MAIN();
