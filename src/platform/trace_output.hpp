// The debugger output channel of the desktop program: diagnostic lines go to standard error.
#pragma once

#include <string_view>

namespace orvane {

// Writes one diagnostic line, Windows-1252 bytes as they are, followed by a line feed.
void WriteTraceLine(std::string_view line);

}  // namespace orvane
