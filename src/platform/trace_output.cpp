// The debugger output channel of the desktop program: diagnostic lines go to standard error.
#include "platform/trace_output.hpp"

#include <cstdio>

namespace orvane {

void WriteTraceLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace orvane
