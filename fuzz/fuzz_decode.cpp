// Fuzz target: the packet decoders on arbitrary packet texts, one shared decoder state per run.
//
// The input is a list of packet texts, one per line. Every protocol mode decodes the whole list
// with one decoder, as a list fill does, so the remembered Status Sense request carries from
// packet to packet. Checked beyond "no crash":
// - a second decoder given the same texts gives the same descriptions and state at every step
//   (no hidden state, nothing read that was not written);
// - the remembered request is the decoder's only state: a fresh decoder primed with it describes
//   the next packet the same way;
// - in VDCP mode DecodePacket is DecodeVdcp, and DecodeVdcp, having no state, repeats itself;
// - a description stays in proportion to its packet text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder.hpp"

namespace {

using orvane::Decoder;
using orvane::ProtocolMode;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_decode: broken invariant: %s\n", what);
        std::abort();
    }
}

std::vector<std::string_view> SplitLines(std::string_view input) {
    std::vector<std::string_view> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        lines.push_back(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
    }
    return lines;
}

// A generous bound: the longest fixed phrases plus every byte of the text shown a few times.
bool IsInProportion(const std::string& description, std::string_view text) {
    return description.size() <= 2048 + 8 * text.size();
}

// Decodes every line in `mode` with one decoder; `switchModes` makes every line pick its own mode
// from the three the decoder knows, so the remembered request also crosses mode changes.
std::vector<std::string> DecodeAll(const std::vector<std::string_view>& lines, ProtocolMode mode,
                                   bool switchModes) {
    std::vector<std::string> descriptions;
    Decoder shared(mode);
    Decoder twin(mode);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = lines[i];
        if (switchModes) {
            const ProtocolMode lineMode =
                orvane::ProtocolModeFromNumber(static_cast<std::int32_t>((i + text.size()) % 3));
            shared.SetProtocolMode(lineMode);
            twin.SetProtocolMode(lineMode);
        }
        const std::string stateBefore = shared.lastStatusSense();

        const std::string description = shared.DecodePacket(text);
        Check(twin.DecodePacket(text) == description, "a second decoder gives the same text");
        Check(twin.lastStatusSense() == shared.lastStatusSense(), "a second decoder keeps step");
        Check(IsInProportion(description, text), "description in proportion to the packet");

        if (shared.protocolMode() == orvane::ProtocolMode::kVdcp) {
            Check(description == orvane::DecodeVdcp(text), "VDCP mode hands over to DecodeVdcp");
        }

        // Prime a fresh decoder with the remembered request; where decoding that request
        // stores it again, the fresh decoder must then see this packet as the shared one did.
        Decoder fresh(shared.protocolMode());
        if (!stateBefore.empty()) {
            fresh.DecodePacket(stateBefore);
        }
        if (fresh.lastStatusSense() == stateBefore) {
            Check(fresh.DecodePacket(text) == description, "the request is the only state");
        }
        descriptions.push_back(description);
    }
    return descriptions;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = SplitLines(input);

    for (const std::string_view text : lines) {
        const std::string once = orvane::DecodeVdcp(text);
        Check(orvane::DecodeVdcp(text) == once, "DecodeVdcp has no state");
        Check(IsInProportion(once, text), "VDCP description in proportion to the packet");
    }

    DecodeAll(lines, orvane::ProtocolMode::kSony, false);
    DecodeAll(lines, orvane::ProtocolMode::kOdetics, false);
    DecodeAll(lines, orvane::ProtocolMode::kVdcp, false);
    DecodeAll(lines, orvane::ProtocolMode::kSony, true);
    return 0;
}
