// The connection to the capture unit and the protocol to decode, with their defaults and the
// address check used when they are loaded and when the Setup dialog is confirmed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// The protocol the captured bytes are grouped and described under; Odetics is Sony 9-pin with
// the Odetics cue and preset texts. The numbers are those the settings file stores.
enum class ProtocolMode : std::int32_t { kSony = 0, kOdetics = 1, kVdcp = 2 };

// The mode a number (settings file, capture file, command line) stands for: any number but 1
// and 2 is Sony, the grouping and description such a number has always had.
constexpr ProtocolMode ProtocolModeFromNumber(std::int32_t number) {
    switch (number) {
        case 1:
            return ProtocolMode::kOdetics;
        case 2:
            return ProtocolMode::kVdcp;
        default:
            return ProtocolMode::kSony;
    }
}

constexpr std::int32_t ProtocolNumber(ProtocolMode mode) { return static_cast<std::int32_t>(mode); }

// Used when no address is set. The loopback address: a built-in default must not send the
// capture connection to some machine on whatever network the user happens to be on.
inline constexpr std::string_view kDefaultCaptureUnitAddress = "127.0.0.1";
inline constexpr std::int32_t kDefaultCaptureUnitPort = 23;

struct ConnectionSettings {
    std::string captureUnitAddress;  // dotted IPv4 text, as typed
    std::int32_t captureUnitPort = 0;
    ProtocolMode protocolMode = ProtocolMode::kSony;
};

// True when `address` has exactly four dot-separated fields, none empty or only spaces. The
// fields are not checked further: " 1 . 2 . 3 . 4" and "a.b.c.d" pass, "10..0.5" fails.
bool IsValidAddress(std::string_view address);

// Puts the built-in address back when none is set and port 23 when the port is 0; done after
// loading the settings and again before every connection.
void ApplyConnectionDefaults(ConnectionSettings& settings);

}  // namespace orvane
