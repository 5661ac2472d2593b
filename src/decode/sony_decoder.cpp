// The packet decoder's entry: fixed replies first, then one table per Sony 9-pin command group.
#include <array>

#include "capture/hex_dump.hpp"
#include "decode/decoder.hpp"
#include "decode/sony_doremi_disk.hpp"
#include "decode/sony_packet.hpp"
#include "decode/sony_preset_select.hpp"
#include "decode/sony_sense.hpp"
#include "decode/sony_transport.hpp"

namespace orvane {

namespace {

struct KeyDescription {
    std::string_view key;
    std::string_view description;
};

// The only packets recognised by their first two bytes as text ("CMD1 CMD2") rather than by
// group and code: system control commands and the deck's short replies.
inline constexpr auto kFixedReplies = std::to_array<KeyDescription>({
    {"00 0C", "Local Disable"},
    {"00 11", "Device Type Request"},
    {"00 1D", "Local Enable"},
    {"10 01", "Ack"},
    {"11 12", "Nak"},
});

// The device type reply shows its data bytes and checksum as the deck sent them.
constexpr std::string_view kDeviceTypeKey = "12 11";

}  // namespace

std::string Decoder::DecodeBytes(std::span<const std::uint8_t> packet) {
    // The vocabularies read the packet's text form, the form the bounded lists and the log
    // show; a packet is a few bytes, so forming it costs little beside the description.
    packetText_.clear();
    for (const std::uint8_t byte : packet) {
        AppendHexPair(packetText_, byte);
        packetText_.push_back(' ');
    }
    return DecodePacket(packetText_);
}

std::string Decoder::DecodePacket(std::string_view packetText) {
    if (protocolMode_ == ProtocolMode::kVdcp) return DecodeVdcp(packetText);

    const SonyPacket packet = ReadSonyPacket(TrimSpaces(packetText));

    // Every fixed key starts with 00, 10, 11 or 12, so other groups skip the comparisons.
    if (packet.group <= 0x10) {
        for (const auto& fixed : kFixedReplies) {
            if (packet.key == fixed.key) return std::string(fixed.description);
        }
        if (packet.key == kDeviceTypeKey) {
            std::string text = "Device Type ";
            if (packet.text.size() > 6) text += packet.text.substr(6);
            return text;
        }
    }

    const bool odeticsMode = protocolMode_ == ProtocolMode::kOdetics;
    switch (packet.group) {
        case 0x20:
            return DescribeTransportCommand(packet, odeticsMode);
        case 0x30:
            return DescribeDoremiDiskCommand(packet);
        case 0x40:
            return DescribePresetSelectCommand(packet, odeticsMode);
        case 0x60:
            return DescribeSenseRequest(packet, lastStatusSense_);
        case 0x70:
            return DescribeSenseReply(packet, lastStatusSense_);
        default:
            return {};
    }
}

}  // namespace orvane
