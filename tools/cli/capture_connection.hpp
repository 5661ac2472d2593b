// The TCP connection to the capture unit, with plain POSIX sockets.
#pragma once

#include <string>

namespace orvane::cli {

// How long a connection attempt may take before it counts as failed.
inline constexpr int kConnectTimeoutMs = 10000;

// Connects to the capture unit; the connected socket (non-blocking), or -1 with `reason` set to
// the system's reason ("Connection refused", "Connection timed out", a look-up failure).
int ConnectToCaptureUnit(const std::string& address, int port, int timeoutMs, std::string& reason);

}  // namespace orvane::cli
