// The packet filter: which packets the six filter boxes leave out of the Packet View and Byte View.
#include "views/packet_filter.hpp"

#include <algorithm>
#include <array>

#include "capture/capture_model.hpp"
#include "settings/connection_settings.hpp"

namespace orvane {

namespace {

// How a filter row looks at the packet text.
enum class Key {
    Sony,        // the first two bytes, "61 0C"
    Vdcp,        // the command-type and command-code bytes, low nibble of the type read as 0
    StatusData,  // a deck reply 7x with second byte 20: status data
    VdcpAck,     // a one-byte deck acknowledge 04 or not-acknowledge 05
};

struct FilterRow {
    bool vdcp;  // the row belongs to the VDCP table, else to the Sony table
    Key key;
    std::string_view match;  // the key's text; unused for StatusData and VdcpAck
    bool FilterFlags::*flag;
    bool packetViewOnly = false;
};

// Rows are tried from the top; the first that matches decides. Rows naming several keys with one
// flag are written as one row per key, which keeps the same first-match result.
constexpr auto kControllerRows = std::to_array<FilterRow>({
    {false, Key::Sony, "61 0C", &FilterFlags::timeSense},
    {false, Key::Sony, "61 20", &FilterFlags::statusSense},
    {false, Key::Sony, "10 01", &FilterFlags::displayAcks, true},
    {false, Key::Sony, "00 11", &FilterFlags::dispDevType},
    {true, Key::Vdcp, "30 08", &FilterFlags::dispDevType},
    {true, Key::Vdcp, "30 06", &FilterFlags::timeSense},
    {true, Key::Vdcp, "30 05", &FilterFlags::statusSense},
});

constexpr auto kDeckRows = std::to_array<FilterRow>({
    {false, Key::Sony, "74 06", &FilterFlags::timeReply},
    {false, Key::Sony, "74 07", &FilterFlags::timeReply},
    {false, Key::Sony, "74 14", &FilterFlags::timeReply},
    {false, Key::Sony, "74 15", &FilterFlags::timeReply},
    {false, Key::Sony, "74 16", &FilterFlags::timeReply},
    {false, Key::Sony, "74 17", &FilterFlags::timeReply},
    {false, Key::Sony, "74 00", &FilterFlags::timeReply},
    {false, Key::Sony, "74 01", &FilterFlags::timeReply},
    {false, Key::Sony, "74 04", &FilterFlags::timeReply},
    {false, Key::Sony, "74 05", &FilterFlags::timeReply},
    {false, Key::Sony, "10 01", &FilterFlags::displayAcks},
    {false, Key::Sony, "12 11", &FilterFlags::dispDevType},
    {false, Key::StatusData, "", &FilterFlags::statusReply},
    {true, Key::VdcpAck, "", &FilterFlags::displayAcks},
    {true, Key::Vdcp, "30 88", &FilterFlags::dispDevType},
    {true, Key::Vdcp, "30 86", &FilterFlags::timeReply},
    {true, Key::Vdcp, "30 85", &FilterFlags::statusReply},
});

// The VDCP key always carries "0" as its second character, so only the other four are compared.
template <std::size_t N>
constexpr bool VdcpKeysReadZero(const std::array<FilterRow, N>& rows) {
    for (const FilterRow& row : rows) {
        if (row.key == Key::Vdcp && (row.match.size() != 5 || row.match[1] != '0')) return false;
    }
    return true;
}
static_assert(VdcpKeysReadZero(kControllerRows) && VdcpKeysReadZero(kDeckRows));

bool Matches(const FilterRow& row, std::string_view data) {
    switch (row.key) {
        case Key::Sony:
            return data.substr(0, 5) == row.match;
        case Key::Vdcp:
            // Characters 7 to 11; the second is taken as "0" so 31 05 and 3F 05 both read 30 05.
            return data.size() >= 11 && data[6] == row.match[0] &&
                   data.substr(8, 3) == row.match.substr(2);
        case Key::StatusData:
            return data.size() >= 5 && data[0] == '7' && data.substr(3, 2) == "20";
        case Key::VdcpAck:
            return data.substr(0, 2) == "04" || data.substr(0, 2) == "05";
    }
    return false;
}

int HexDigit(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

int KeyByte(std::string_view match, std::size_t at) {
    return HexDigit(match[at]) * 16 + HexDigit(match[at + 1]);
}

// The same test as Matches, on the packet's bytes rather than its text: a key of the text's
// first characters needs the bytes those characters show.
bool MatchesBytes(const FilterRow& row, std::span<const std::uint8_t> packet) {
    switch (row.key) {
        case Key::Sony:
            return packet.size() >= 2 && packet[0] == KeyByte(row.match, 0) &&
                   packet[1] == KeyByte(row.match, 3);
        case Key::Vdcp:
            return packet.size() >= 4 && (packet[2] >> 4) == HexDigit(row.match[0]) &&
                   packet[3] == KeyByte(row.match, 3);
        case Key::StatusData:
            return packet.size() >= 2 && (packet[0] >> 4) == 7 && packet[1] == 0x20;
        case Key::VdcpAck:
            return !packet.empty() && (packet[0] == 0x04 || packet[0] == 0x05);
    }
    return false;
}

// The six boxes in a fixed order, so that a class can name one in three bits.
constexpr std::array<bool FilterFlags::*, 6> kBoxes = {
    &FilterFlags::timeSense,   &FilterFlags::timeReply,   &FilterFlags::statusSense,
    &FilterFlags::statusReply, &FilterFlags::displayAcks, &FilterFlags::dispDevType,
};

std::uint8_t BoxNumber(bool FilterFlags::*flag) {
    for (std::size_t i = 0; i < kBoxes.size(); ++i) {
        if (kBoxes[i] == flag) return static_cast<std::uint8_t>(i);
    }
    return 7;
}

template <std::size_t N>
std::uint8_t ClassBits(const std::array<FilterRow, N>& rows, std::span<const std::uint8_t> packet,
                       bool vdcp, ViewKind view) {
    std::uint8_t bits = 0x77;
    bool first = true;
    for (const FilterRow& row : rows) {
        if (row.vdcp != vdcp) continue;
        if (row.packetViewOnly && view != ViewKind::Packet) continue;
        if (!MatchesBytes(row, packet)) continue;
        if (!first) return static_cast<std::uint8_t>((bits & 0x0F) | (BoxNumber(row.flag) << 4));
        bits = static_cast<std::uint8_t>(0x70 | BoxNumber(row.flag));
        if (row.key != Key::VdcpAck) return bits;
        bits |= 0x08;
        first = false;
    }
    return bits;
}

template <std::size_t N>
bool HiddenBy(const std::array<FilterRow, N>& rows, std::string_view data, bool vdcp,
              const FilterFlags& flags, ViewKind view) {
    for (const FilterRow& row : rows) {
        if (row.vdcp != vdcp) continue;
        if (row.packetViewOnly && view != ViewKind::Packet) continue;
        if (!Matches(row, data)) continue;
        const bool shown = flags.*row.flag;
        // The acknowledge row decides only when it hides; a shown acknowledge goes on to the
        // later rows, none of which can match a one-byte packet.
        if (row.key == Key::VdcpAck && shown) continue;
        return !shown;
    }
    return false;
}

}  // namespace

FilterClass FilterClass::Of(std::span<const std::uint8_t> packet, int direction,
                            ProtocolMode protocolMode, ViewKind view) {
    const bool vdcp = protocolMode == ProtocolMode::kVdcp;
    packet = packet.first(std::min(packet.size(), kFilterKeyBytes));
    if (direction == kDirectionController) {
        return FilterClass(ClassBits(kControllerRows, packet, vdcp, view));
    }
    if (direction == kDirectionDevice) return FilterClass(ClassBits(kDeckRows, packet, vdcp, view));
    return FilterClass();
}

bool FilterClass::IsHidden(const FilterFlags& flags) const {
    const unsigned first = bits_ & 0x07;
    if (first >= kBoxes.size()) return false;
    if (!(flags.*kBoxes[first])) return true;
    if ((bits_ & 0x08) == 0) return false;
    const unsigned next = (bits_ >> 4) & 0x07;
    return next < kBoxes.size() && !(flags.*kBoxes[next]);
}

bool IsPacketHidden(std::string_view data, int direction, ProtocolMode protocolMode,
                    const FilterFlags& flags, ViewKind view) {
    const bool vdcp = protocolMode == ProtocolMode::kVdcp;
    if (direction == kDirectionController)
        return HiddenBy(kControllerRows, data, vdcp, flags, view);
    if (direction == kDirectionDevice) return HiddenBy(kDeckRows, data, vdcp, flags, view);
    return false;
}

}  // namespace orvane
