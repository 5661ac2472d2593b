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
    orvane::ProtocolMode mode;
    std::string_view text;
};

// A controller polling a deck, with transport, presets, cue-ups, senses and replies of every
// group, and a VDCP session beside it.
constexpr auto kPackets = std::to_array<ModePacket>({
    {orvane::ProtocolMode::kSony, "00 11 11 "},
    {orvane::ProtocolMode::kSony, "12 11 F0 20 33 "},
    {orvane::ProtocolMode::kSony, "10 01 11 "},
    {orvane::ProtocolMode::kSony, "20 01 21 "},
    {orvane::ProtocolMode::kSony, "21 11 4F 81 "},
    {orvane::ProtocolMode::kSony, "22 21 40 80 03 "},
    {orvane::ProtocolMode::kSony, "21 14 03 38 "},
    {orvane::ProtocolMode::kSony, "21 5C 4F CC "},
    {orvane::ProtocolMode::kSony, "24 31 00 00 10 01 66 "},
    {orvane::ProtocolMode::kOdetics, "2C 31 00 00 10 01 4E 41 4D 45 00 00 00 00 8F "},
    {orvane::ProtocolMode::kSony, "31 10 01 42 "},
    {orvane::ProtocolMode::kSony, "44 14 00 00 10 01 69 "},
    {orvane::ProtocolMode::kOdetics, "4C 14 00 00 10 01 4E 41 4D 45 00 00 00 00 92 "},
    {orvane::ProtocolMode::kSony, "44 30 FF FF FF 01 72 "},
    {orvane::ProtocolMode::kSony, "41 3B 11 8D "},
    {orvane::ProtocolMode::kSony, "61 0C 31 9E "},
    {orvane::ProtocolMode::kSony, "74 04 00 00 10 01 89 "},
    {orvane::ProtocolMode::kSony, "61 20 0A 8B "},
    {orvane::ProtocolMode::kSony, "7A 20 01 81 80 00 00 00 00 00 00 00 9C "},
    {orvane::ProtocolMode::kSony, "50 00 50 "},
    {orvane::ProtocolMode::kVdcp, "04 "},
    {orvane::ProtocolMode::kVdcp, "02 02 10 01 ED "},
    {orvane::ProtocolMode::kVdcp, "02 07 30 86 01 00 00 10 01 5A "},
    {orvane::ProtocolMode::kVdcp, "02 0A 20 24 41 42 43 44 45 46 47 48 00 "},
    {orvane::ProtocolMode::kVdcp, "02 08 30 91 00 02 41 42 43 44 45 46 47 48 08 00 "},
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
    orvane::Decoder sony(orvane::ProtocolMode::kSony);
    orvane::Decoder odetics(orvane::ProtocolMode::kOdetics);
    orvane::Decoder vdcp(orvane::ProtocolMode::kVdcp);
    for (auto _ : state) {
        std::size_t length = 0;
        for (const ModePacket& packet : packets) {
            orvane::Decoder& decoder = packet.mode == orvane::ProtocolMode::kVdcp      ? vdcp
                                       : packet.mode == orvane::ProtocolMode::kOdetics ? odetics
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
        if (packet.mode != orvane::ProtocolMode::kVdcp) packets.push_back(packet.text);
    }
    orvane::Decoder decoder(orvane::ProtocolMode::kOdetics);
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
