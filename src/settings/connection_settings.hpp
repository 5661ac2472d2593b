// The connection to the capture unit and the protocol to decode, with their defaults and the
// address check used when they are loaded and when the Setup dialog is confirmed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

inline constexpr std::int32_t kProtocolSony = 0;
inline constexpr std::int32_t kProtocolOdetics = 1;
inline constexpr std::int32_t kProtocolVdcp = 2;

// Used when no address is set. The loopback address: a built-in default must not send the
// capture connection to some machine on whatever network the user happens to be on.
inline constexpr std::string_view kDefaultCaptureUnitAddress = "127.0.0.1";
inline constexpr std::int32_t kDefaultCaptureUnitPort = 23;

struct ConnectionSettings {
    std::string captureUnitAddress;  // dotted IPv4 text, as typed
    std::int32_t captureUnitPort = 0;
    // kProtocolSony, kProtocolOdetics or kProtocolVdcp; any value but kProtocolVdcp is grouped
    // and decoded as Sony 9-pin. Kept unchecked as read from the file.
    std::int32_t protocolMode = 0;
};

// True when `address` has exactly four dot-separated fields, none empty or only spaces. The
// fields are not checked further: " 1 . 2 . 3 . 4" and "a.b.c.d" pass, "10..0.5" fails.
bool IsValidAddress(std::string_view address);

// Puts the built-in address back when none is set and port 23 when the port is 0; done after
// loading the settings and again before every connection.
void ApplyConnectionDefaults(ConnectionSettings& settings);

}  // namespace orvane
