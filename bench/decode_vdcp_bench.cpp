// Measures the VDCP decoder over 100,000 mixed packets, the size of the largest list fill.
#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder.hpp"

namespace {

// Acknowledges, plain names, port states, positions, identifiers and unknown pairs.
constexpr std::array<std::string_view, 10> kPackets = {
    "04 ",
    "05 11 ",
    "02 02 10 01 ED ",
    "02 04 30 85 01 09 3D ",
    "02 07 30 86 01 00 00 10 01 5A ",
    "02 0A 20 24 41 42 43 44 45 46 47 48 00 ",
    "02 08 30 91 00 02 41 42 43 44 45 46 47 48 08 00 ",
    "02 02 30 06 00 ",
    "02 02 40 01 00 ",
    "02 0A 30 88 56 44 52 2D 31 30 30 30 00 ",
};

void DecodeVdcp100k(benchmark::State& state) {
    std::vector<std::string_view> packets;
    packets.reserve(100000);
    for (std::size_t i = 0; i < 100000; ++i) packets.push_back(kPackets[i % kPackets.size()]);
    for (auto _ : state) {
        std::size_t length = 0;
        for (const std::string_view packet : packets) length += orvane::DecodeVdcp(packet).size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets.size()));
}
BENCHMARK(DecodeVdcp100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
