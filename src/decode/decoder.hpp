// The packet decoder: one English description for one packet text, Sony 9-pin or VDCP.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "settings/connection_settings.hpp"  // ProtocolMode

namespace orvane {

// Holds the protocol mode and the one remembered packet (the last Status Sense request), so
// two decoders never share state. Descriptions are Windows-1252 byte strings.
class Decoder {
  public:
    explicit Decoder(ProtocolMode protocolMode = ProtocolMode::kSony)
        : protocolMode_(protocolMode) {}

    // Describes one packet text ("20 01 21 "); never fails, may return an empty description.
    std::string DecodePacket(std::string_view packetText);

    // Describes one packet's bytes, as DecodePacket does their text.
    std::string DecodeBytes(std::span<const std::uint8_t> packet);

    ProtocolMode protocolMode() const { return protocolMode_; }
    void SetProtocolMode(ProtocolMode protocolMode) { protocolMode_ = protocolMode; }

    const std::string& lastStatusSense() const { return lastStatusSense_; }

  private:
    ProtocolMode protocolMode_;
    std::string lastStatusSense_;
    std::string packetText_;  // DecodeBytes's text, kept to reuse its storage
};

// The VDCP decoder; stateless. DecodePacket hands every packet to it in VDCP mode.
std::string DecodeVdcp(std::string_view packetText);

}  // namespace orvane
