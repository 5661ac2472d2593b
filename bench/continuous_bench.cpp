// Continuous capture at scale: taking in the capture unit's stream, a new filter choice over
// millions of packets, and forming a screenful of rows at random places, with the memory held.
//
// The stream is the simulator's Sony traffic (a controller polling time and status every field,
// the deck answering) cut into 4 KiB reads as a busy receiver gets them: made in-process, about
// four million packets, or read from the capture file named by ORVANE_BENCH_CAPTURE
// (scripts/make-bench-capture.sh writes one of ten million packets). Every benchmark runs on the
// first quarter, half and whole of it (x:1, x:2, x:4), so that growth with size shows.
//
// Counters: `packets`, `serial_bytes`, `stream_bytes` and `messages` of the capture; `per_packet`
// and `per_byte` the time per packet and per serial byte; `mem_*` the bytes the byte store and the
// packet index hold, in all and per packet and per byte; `selection_bytes` those of the rows'
// one-bit-per-item selection.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_capture_file.hpp"
#include "capture/capture_file.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/trace.hpp"
#include "sim/capture_writer.hpp"
#include "views/capture_rows.hpp"
#include "views/packet_filter.hpp"
#include "views/row_selection.hpp"

namespace orvane {
namespace {

constexpr std::size_t kReadBytes = 4096;
constexpr std::size_t kInProcessPackets = 4'000'000;  // the whole in-process stream
constexpr std::uint64_t kFormedRows = 50;             // about a screenful
constexpr int kQuarters[] = {1, 2, 4};

// The filter choice a user makes after the fact: the per-field time polls and their replies
// hidden, everything else shown.
constexpr FilterFlags kOtherChoice{false, false, true, true, true, true};

const Trace kTrace;

struct Stream {
    std::vector<CaptureRead> reads;
    ProtocolMode protocolMode = ProtocolMode::kSony;
    std::string origin;

    // The first `quarters` quarters of the reads.
    std::size_t ReadCount(int quarters) const {
        return reads.size() * static_cast<std::size_t>(quarters) / 4;
    }
};

Stream ReadCaptureFile(const char* path) {
    Stream stream;
    stream.origin = path;
    BenchCaptureFile file("continuous_bench", path);
    stream.protocolMode = file.protocolMode();
    CaptureRead read;
    while (file.NextRead(read)) stream.reads.push_back(std::move(read));
    return stream;
}

// The simulator's Sony stream until it holds kInProcessPackets packets.
Stream MakeStream() {
    Stream stream;
    stream.origin = "in-process";
    sim::SourceOptions source;
    source.firstSeq = 0x100000;  // clear of the 24-bit wrap for millions of messages
    ContinuousCapture probe(stream.protocolMode, kTrace);
    sim::ForEachScenarioRead("sony", source, INT64_MAX, kReadBytes,
                             [&](std::int64_t timeUs, std::string_view bytes) {
                                 stream.reads.push_back({timeUs, std::string(bytes)});
                                 probe.OnRead(bytes, timeUs);
                                 return probe.packets().size() < kInProcessPackets;
                             });
    return stream;
}

const Stream& TheStream() {
    static const Stream stream = [] {
        const char* path = std::getenv("ORVANE_BENCH_CAPTURE");
        Stream made = path != nullptr && *path != '\0' ? ReadCaptureFile(path) : MakeStream();
        std::uint64_t bytes = 0;
        for (const CaptureRead& read : made.reads) bytes += read.bytes.size();
        std::fprintf(stderr, "continuous_bench: stream %s: %zu reads, %llu bytes\n",
                     made.origin.c_str(), made.reads.size(),
                     static_cast<unsigned long long>(bytes));
        return made;
    }();
    return stream;
}

std::unique_ptr<ContinuousCapture> Ingest(const Stream& stream, std::size_t readCount) {
    auto capture = std::make_unique<ContinuousCapture>(stream.protocolMode, kTrace);
    for (std::size_t i = 0; i < readCount; ++i) {
        capture->OnRead(stream.reads[i].bytes, stream.reads[i].timeUs);
    }
    capture->Finish();
    return capture;
}

// One finished capture at a time, kept while benchmarks of its size run one after another.
struct KeptCapture {
    int quarters = 0;
    std::unique_ptr<ContinuousCapture> capture;
};

KeptCapture& Kept() {
    static KeptCapture kept;
    return kept;
}

const ContinuousCapture& FinishedCapture(int quarters) {
    KeptCapture& kept = Kept();
    if (kept.quarters != quarters) {
        kept.capture.reset();
        kept.capture = Ingest(TheStream(), TheStream().ReadCount(quarters));
        kept.quarters = quarters;
    }
    return *kept.capture;
}

// The ingest benchmarks start with no other capture in memory.
void ReleaseFinishedCapture() {
    Kept().capture.reset();
    Kept().quarters = 0;
}

// Bytes a row selection holds over `items` packets or bytes, as the rows' selection does.
double SelectionBytes(std::uint64_t items) {
    RowSelection selection;
    for (std::uint64_t i = 0; i < items; ++i) selection.Append((i & 1) != 0);
    return static_cast<double>(selection.MemoryBytes());
}

// Time per unit: the counter's value per iteration, divided into the iteration's time.
benchmark::Counter TimePer(double units) {
    return benchmark::Counter(
        units, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void SetCaptureCounters(benchmark::State& state, const ContinuousCapture& capture,
                        double streamBytes) {
    const auto packets = static_cast<double>(capture.packets().size());
    const auto serialBytes = static_cast<double>(capture.bytes().size());
    const auto storeMemory = static_cast<double>(capture.bytes().MemoryBytes());
    const auto indexMemory = static_cast<double>(capture.packets().MemoryBytes());
    state.counters["packets"] = packets;
    state.counters["serial_bytes"] = serialBytes;
    state.counters["stream_bytes"] = streamBytes;
    state.counters["messages"] = static_cast<double>(capture.counters().messages);
    state.counters["mem_byte_store"] = storeMemory;
    state.counters["mem_packet_index"] = indexMemory;
    state.counters["mem_per_packet"] = (storeMemory + indexMemory) / packets;
    state.counters["mem_per_serial_byte"] = (storeMemory + indexMemory) / serialBytes;
    state.counters["mem_per_stream_byte"] = (storeMemory + indexMemory) / streamBytes;
}

// Every read of the stream into a new capture, to its end.
void BM_Ingest(benchmark::State& state, int quarters) {
    ReleaseFinishedCapture();
    const Stream& stream = TheStream();
    const std::size_t readCount = stream.ReadCount(quarters);
    std::uint64_t streamBytes = 0;
    for (std::size_t i = 0; i < readCount; ++i) streamBytes += stream.reads[i].bytes.size();
    std::unique_ptr<ContinuousCapture> capture;
    for (auto _ : state) {
        state.PauseTiming();
        capture.reset();
        state.ResumeTiming();
        capture = Ingest(stream, readCount);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * streamBytes));
    SetCaptureCounters(state, *capture, static_cast<double>(streamBytes));
    state.counters["per_packet"] = TimePer(static_cast<double>(capture->packets().size()));
    state.counters["per_byte"] = TimePer(static_cast<double>(capture->bytes().size()));
    state.SetLabel(stream.origin);
}

// A new filter choice: the rows of a view found again over the whole finished capture.
void BM_FilterChoice(benchmark::State& state, int quarters, ViewKind view) {
    const ContinuousCapture& capture = FinishedCapture(quarters);
    std::uint64_t rowCount = 0;
    for (auto _ : state) {
        const CaptureRows rows(capture, view, kOtherChoice);
        rowCount = rows.RowCount();
        benchmark::DoNotOptimize(rowCount);
    }
    const auto packets = static_cast<double>(capture.packets().size());
    const auto serialBytes = static_cast<double>(capture.bytes().size());
    const double items = view == ViewKind::Packet ? packets : serialBytes;
    state.counters["packets"] = packets;
    state.counters["serial_bytes"] = serialBytes;
    state.counters["rows"] = static_cast<double>(rowCount);
    state.counters["per_packet"] = TimePer(packets);
    state.counters["per_byte"] = TimePer(serialBytes);
    state.counters["selection_bytes"] = SelectionBytes(static_cast<std::uint64_t>(items));
    state.SetLabel(TheStream().origin);
}

// The cells of kFormedRows consecutive rows from a random place, as a scroll to anywhere asks.
void BM_FormRows(benchmark::State& state, int quarters, ViewKind view) {
    const ContinuousCapture& capture = FinishedCapture(quarters);
    const CaptureRows rows(capture, view, kOtherChoice);
    if (rows.RowCount() < kFormedRows) {
        state.SkipWithError("fewer rows than a screenful");
        return;
    }
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::uint64_t> place(0, rows.RowCount() - kFormedRows);
    std::uint64_t formed = 0;
    std::uint64_t textBytes = 0;
    const RowVisitor visit = [&](std::uint64_t, std::uint64_t, const RowCells& cells) {
        ++formed;
        for (const std::string& cell : cells) textBytes += cell.size();
    };
    for (auto _ : state) rows.FormRows(place(random), kFormedRows, visit);
    benchmark::DoNotOptimize(textBytes);
    if (formed != kFormedRows * static_cast<std::uint64_t>(state.iterations())) {
        state.SkipWithError("a call formed fewer rows than asked");
        return;
    }
    state.counters["rows"] = static_cast<double>(rows.RowCount());
    state.counters["packets"] = static_cast<double>(capture.packets().size());
    state.counters["per_row"] = TimePer(static_cast<double>(kFormedRows));
    state.SetLabel(TheStream().origin);
}

const char* ViewName(ViewKind view) { return view == ViewKind::Packet ? "Packet" : "Byte"; }

// Registered size by size, so each size's capture is built once for all its benchmarks.
void RegisterAll() {
    for (const int quarters : kQuarters) {
        const std::string size = "/x:" + std::to_string(quarters);
        benchmark::RegisterBenchmark(("BM_Ingest" + size).c_str(), BM_Ingest, quarters)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        for (const ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
            benchmark::RegisterBenchmark(
                ("BM_FilterChoice/" + std::string(ViewName(view)) + size).c_str(), BM_FilterChoice,
                quarters, view)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        for (const ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
            benchmark::RegisterBenchmark(
                ("BM_FormRows/" + std::string(ViewName(view)) + size).c_str(), BM_FormRows,
                quarters, view)
                ->Unit(benchmark::kMicrosecond)
                ->UseRealTime();
        }
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
