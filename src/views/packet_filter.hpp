// The packet filter: which packets the six filter boxes leave out of the Packet View and Byte View.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvane {

// The six filter boxes of the main window, read once per fill; a checked box (true) shows the
// packets it names, an unchecked one hides them.
struct FilterFlags {
    bool timeSense = false;    // "Time Sense"
    bool timeReply = false;    // "Time Reply"
    bool statusSense = false;  // "Status Sense"
    bool statusReply = false;  // "Status Reply"
    bool displayAcks = false;  // "Display ACKs"
    bool dispDevType = false;  // "Disp. Dev Type"

    static constexpr FilterFlags ShowAll() { return {true, true, true, true, true, true}; }
    bool operator==(const FilterFlags&) const = default;
};

// The two lists; they differ in one filter row (a controller packet beginning 10 01).
enum class ViewKind { Packet, Byte };

// True when the packet is to be left out. `data` is the packet's hexadecimal text as in the
// "Packet Data" column ("61 0C 03 70 "); `direction` 0x80 (controller) or 0xC0 (deck), any other
// value is never hidden; `protocolMode` 2 takes the VDCP rows, every other value the Sony rows.
// Texts of any length are safe: a key that does not fit in the text matches nothing.
bool IsPacketHidden(std::string_view data, int direction, std::int32_t protocolMode,
                    const FilterFlags& flags, ViewKind view);

}  // namespace orvane
