// The main window's view choice and six filter boxes: kept in the settings file, applied by the
// lists.
#pragma once

namespace orvane {

// The two lists; they differ in one filter row (a controller packet beginning 10 01).
enum class ViewKind { Packet, Byte };

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

// The view option chosen ("Packet View" or "Byte View") and the filter boxes.
struct ViewOptions {
    ViewKind view = ViewKind::Packet;
    FilterFlags filters;

    bool operator==(const ViewOptions&) const = default;
};

}  // namespace orvane
