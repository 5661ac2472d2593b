// Measures the packet decoder over 100,000 mixed Sony 9-pin and VDCP packets (a full list fill).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder.hpp"

namespace {

constexpr std::size_t kPacketCount = 100000;

struct ModePacket {
    std::int32_t mode;
    std::string_view text;
};

// A controller polling a deck, with transport, presets, cue-ups, senses and replies of every
// group, and a VDCP session beside it.
constexpr auto kPackets = std::to_array<ModePacket>({
    {orvane::kProtocolSony, "00 11 11 "},
    {orvane::kProtocolSony, "12 11 F0 20 33 "},
    {orvane::kProtocolSony, "10 01 11 "},
    {orvane::kProtocolSony, "20 01 21 "},
    {orvane::kProtocolSony, "21 11 4F 81 "},
    {orvane::kProtocolSony, "22 21 40 80 03 "},
    {orvane::kProtocolSony, "21 14 03 38 "},
    {orvane::kProtocolSony, "21 5C 4F CC "},
    {orvane::kProtocolSony, "24 31 00 00 10 01 66 "},
    {orvane::kProtocolOdetics, "2C 31 00 00 10 01 4E 41 4D 45 00 00 00 00 8F "},
    {orvane::kProtocolSony, "31 10 01 42 "},
    {orvane::kProtocolSony, "44 14 00 00 10 01 69 "},
    {orvane::kProtocolOdetics, "4C 14 00 00 10 01 4E 41 4D 45 00 00 00 00 92 "},
    {orvane::kProtocolSony, "44 30 FF FF FF 01 72 "},
    {orvane::kProtocolSony, "41 3B 11 8D "},
    {orvane::kProtocolSony, "61 0C 31 9E "},
    {orvane::kProtocolSony, "74 04 00 00 10 01 89 "},
    {orvane::kProtocolSony, "61 20 0A 8B "},
    {orvane::kProtocolSony, "7A 20 01 81 80 00 00 00 00 00 00 00 9C "},
    {orvane::kProtocolSony, "50 00 50 "},
    {orvane::kProtocolVdcp, "04 "},
    {orvane::kProtocolVdcp, "02 02 10 01 ED "},
    {orvane::kProtocolVdcp, "02 07 30 86 01 00 00 10 01 5A "},
    {orvane::kProtocolVdcp, "02 0A 20 24 41 42 43 44 45 46 47 48 00 "},
    {orvane::kProtocolVdcp, "02 08 30 91 00 02 41 42 43 44 45 46 47 48 08 00 "},
});

std::vector<ModePacket> MixedPackets() {
    std::vector<ModePacket> packets;
    packets.reserve(kPacketCount);
    for (std::size_t i = 0; i < kPacketCount; ++i) packets.push_back(kPackets[i % kPackets.size()]);
    return packets;
}

// One decoder per protocol mode, as one list fill per capture would use.
void DecodeMixed100k(benchmark::State& state) {
    const std::vector<ModePacket> packets = MixedPackets();
    orvane::Decoder sony(orvane::kProtocolSony);
    orvane::Decoder odetics(orvane::kProtocolOdetics);
    orvane::Decoder vdcp(orvane::kProtocolVdcp);
    for (auto _ : state) {
        std::size_t length = 0;
        for (const ModePacket& packet : packets) {
            orvane::Decoder& decoder = packet.mode == orvane::kProtocolVdcp      ? vdcp
                                       : packet.mode == orvane::kProtocolOdetics ? odetics
                                                                                 : sony;
            length += decoder.DecodePacket(packet.text).size();
        }
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets.size()));
}
BENCHMARK(DecodeMixed100k)->Unit(benchmark::kMillisecond);

// The Sony packets alone, all through one decoder in Odetics mode (every rule applies).
void DecodeSony100k(benchmark::State& state) {
    std::vector<std::string_view> packets;
    packets.reserve(kPacketCount);
    for (std::size_t i = 0; packets.size() < kPacketCount; ++i) {
        const ModePacket& packet = kPackets[i % kPackets.size()];
        if (packet.mode != orvane::kProtocolVdcp) packets.push_back(packet.text);
    }
    orvane::Decoder decoder(orvane::kProtocolOdetics);
    for (auto _ : state) {
        std::size_t length = 0;
        for (const std::string_view packet : packets) length += decoder.DecodePacket(packet).size();
        benchmark::DoNotOptimize(length);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets.size()));
}
BENCHMARK(DecodeSony100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
