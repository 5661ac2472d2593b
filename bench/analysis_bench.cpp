// Packet analysis at scale: the timing and verdicts of every packet of a ten-million-packet
// capture, the cell texts of a screenful of rows, and the check of the protocol.
//
// The capture is the simulator's traffic (Sony or VDCP: a controller polling every field, the
// deck answering, now and then a damaged packet) cut into 4 KiB reads, taken into a continuous
// capture until it holds kPackets packets; or the capture file named by ORVANE_BENCH_CAPTURE
// (scripts/make-bench-capture.sh writes one of ten million packets).
//
// Counters: `packets` of the capture, `problems` found, `per_packet` the time per packet,
// `mem_analysis` the bytes the analysis holds and `mem_per_packet` those per packet.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "bench_capture_file.hpp"
#include "capture/capture_file.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/trace.hpp"
#include "sim/capture_writer.hpp"
#include "views/packet_analysis.hpp"

namespace orvane {
namespace {

constexpr std::size_t kReadBytes = 4096;
constexpr std::size_t kPackets = 10'000'000;
constexpr std::size_t kFormedRows = 50;  // about a screenful

const Trace kTrace;

std::unique_ptr<ContinuousCapture> ReadCaptureFile(const char* path) {
    BenchCaptureFile file("analysis_bench", path);
    auto capture = std::make_unique<ContinuousCapture>(file.protocolMode(), kTrace);
    CaptureRead read;
    while (file.NextRead(read)) capture->OnRead(read.bytes, read.timeUs);
    capture->Finish();
    return capture;
}

std::unique_ptr<ContinuousCapture> MakeCapture(const std::string& scenario) {
    sim::SourceOptions source;
    source.firstSeq = 0x100000;  // clear of the 24-bit wrap for millions of messages
    auto capture = std::make_unique<ContinuousCapture>(
        scenario == "vdcp" ? ProtocolMode::kVdcp : ProtocolMode::kSony, kTrace);
    sim::ForEachScenarioRead(scenario, source, INT64_MAX, kReadBytes,
                             [&](std::int64_t timeUs, std::string_view bytes) {
                                 capture->OnRead(bytes, timeUs);
                                 return capture->packets().size() < kPackets;
                             });
    capture->Finish();
    return capture;
}

// One capture at a time, kept while the benchmarks of its scenario run.
const ContinuousCapture& TheCapture(const std::string& scenario) {
    static std::string kept;
    static std::unique_ptr<ContinuousCapture> capture;
    if (kept != scenario) {
        capture.reset();
        const char* path = std::getenv("ORVANE_BENCH_CAPTURE");
        capture = path != nullptr && *path != '\0' ? ReadCaptureFile(path) : MakeCapture(scenario);
        kept = scenario;
    }
    return *capture;
}

benchmark::Counter TimePer(double units) {
    return benchmark::Counter(
        units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Every packet of the finished capture analysed from the start.
void BM_Analyse(benchmark::State& state, const std::string& scenario) {
    const ContinuousCapture& capture = TheCapture(scenario);
    std::size_t problems = 0;
    std::size_t memory = 0;
    for (auto _ : state) {
        const PacketAnalysis analysis(capture);
        problems = analysis.Problems().size();
        memory = analysis.MemoryBytes();
        benchmark::DoNotOptimize(problems);
    }
    const auto packets = static_cast<double>(capture.packets().size());
    state.counters["packets"] = packets;
    state.counters["problems"] = static_cast<double>(problems);
    state.counters["per_packet"] = TimePer(packets);
    state.counters["mem_analysis"] = static_cast<double>(memory);
    state.counters["mem_per_packet"] = static_cast<double>(memory) / packets;
}

// The Latency and Verdict cells of kFormedRows packets from a random place.
void BM_CellTexts(benchmark::State& state, const std::string& scenario) {
    const ContinuousCapture& capture = TheCapture(scenario);
    const PacketAnalysis analysis(capture);
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::size_t> place(0, capture.packets().size() - kFormedRows);
    std::size_t textBytes = 0;
    for (auto _ : state) {
        const std::size_t first = place(random);
        for (std::size_t p = first; p < first + kFormedRows; ++p) {
            textBytes += analysis.LatencyText(p).size() + analysis.VerdictText(p).size();
        }
    }
    benchmark::DoNotOptimize(textBytes);
    state.counters["per_row"] = TimePer(static_cast<double>(kFormedRows));
}

void BM_ProtocolFit(benchmark::State& state, const std::string& scenario) {
    const ContinuousCapture& capture = TheCapture(scenario);
    ProtocolFit fit;
    for (auto _ : state) {
        fit = CheckProtocolFit(capture);
        benchmark::DoNotOptimize(fit);
    }
    state.counters["checked"] = static_cast<double>(fit.packetsChecked);
    state.counters["failing"] = static_cast<double>(fit.packetsFailing);
    state.counters["other_checked"] = static_cast<double>(fit.otherPacketsChecked);
    state.counters["other_passing"] = static_cast<double>(fit.otherPacketsPassing);
}

void RegisterAll() {
    const bool fromFile = std::getenv("ORVANE_BENCH_CAPTURE") != nullptr;
    for (const std::string scenario : {"sony", "vdcp"}) {
        if (fromFile && scenario != "sony") break;  // the file is the one capture
        const std::string name = fromFile ? "/file" : "/" + scenario;
        benchmark::RegisterBenchmark(("BM_Analyse" + name).c_str(), BM_Analyse, scenario)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_CellTexts" + name).c_str(), BM_CellTexts, scenario)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("BM_ProtocolFit" + name).c_str(), BM_ProtocolFit, scenario)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    }
}

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    orvane::RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
