// orvane-cli replay: raw capture files through the receive stream, assembly, fill and log.
#pragma once

#include "cli/cli_options.hpp"

namespace orvane::cli {

// Returns the exit status: 0, 1 when the log cannot be written, 2 when a file cannot be read.
int RunReplay(const CliOptions& options);

}  // namespace orvane::cli
