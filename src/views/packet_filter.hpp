// The packet filter: which packets the six filter boxes leave out of the Packet View and Byte View.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "settings/connection_settings.hpp"
#include "settings/view_options.hpp"

namespace orvane {

// True when the packet is to be left out. `data` is the packet's hexadecimal text as in the
// "Packet Data" column ("61 0C 03 70 "); `direction` 0x80 (controller) or 0xC0 (deck), any other
// value is never hidden; `protocolMode` VDCP takes the VDCP rows, Sony and Odetics the Sony rows.
// Texts of any length are safe: a key that does not fit in the text matches nothing.
bool IsPacketHidden(std::string_view data, int direction, ProtocolMode protocolMode,
                    const FilterFlags& flags, ViewKind view);

// How the filter boxes decide about one packet, worked out once from its first bytes when it is
// indexed, so that a new filter choice over millions of packets needs no text and no decoding.
// It names the box whose row decides first and, where that row lets a shown packet go on to the
// later rows (the VDCP acknowledge), the box of the next row that matches.
class FilterClass {
  public:
    constexpr FilterClass() = default;
    static FilterClass Of(std::span<const std::uint8_t> packet, int direction,
                          ProtocolMode protocolMode, ViewKind view);

    // The same answer as IsPacketHidden on the packet's text.
    bool IsHidden(const FilterFlags& flags) const;

    std::uint8_t bits() const { return bits_; }
    static constexpr FilterClass FromBits(std::uint8_t bits) { return FilterClass(bits); }

  private:
    constexpr explicit FilterClass(std::uint8_t bits) : bits_(bits) {}
    static constexpr std::uint8_t kNoRow = 7;
    std::uint8_t bits_ = kNoRow | (kNoRow << 4);  // first box, 0x08 "goes on", next box
};

// The filter looks at a packet's first four bytes at most.
inline constexpr std::size_t kFilterKeyBytes = 4;

}  // namespace orvane
