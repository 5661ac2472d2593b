// Diagnostic output: the lines the program writes to the debugger channel.
#pragma once

#include <functional>
#include <string_view>

namespace orvane {

// Where diagnostic lines go, and whether the "debug" switch is on. Lines such as "Dropped: "
// are always written; received blocks, assembled packets and "Bad Packet: " only when debugTrace.
struct Trace {
    bool debugTrace = false;
    std::function<void(std::string_view)> output;

    void Always(std::string_view line) const {
        if (output) output(line);
    }
    void Debug(std::string_view line) const {
        if (debugTrace && output) output(line);
    }
};

}  // namespace orvane
