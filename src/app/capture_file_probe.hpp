// What a file offered to Open Capture holds: our capture file, a raw capture-unit stream, or
// something else that is turned away with the reason.
#pragma once

#include <string>

#include "capture/capture_file.hpp"

namespace orvane {

struct CaptureFileProbe {
    enum class Kind { CaptureFile, RawStream, Foreign };
    Kind kind = Kind::Foreign;
    CaptureFileInfo info;  // a capture file's header
    std::string problem;   // why a foreign file cannot be opened
};

// Looks at the file's header; a file that is not pcapng counts as a raw stream when its first
// megabyte holds a capture-unit message. Another program's pcapng, our export for Wireshark, a
// damaged header or an unreadable file are foreign, with a one-line reason.
CaptureFileProbe ProbeCaptureFile(const std::string& path);

}  // namespace orvane
