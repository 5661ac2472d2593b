// orvane-cli capture: receive from a capture unit, then assembly, fill and log.
#pragma once

#include "cli/cli_options.hpp"

namespace orvane::cli {

// Returns the exit status: 0; 1 when the connection fails or the log or raw file cannot be
// written.
int RunCapture(const CliOptions& options);

}  // namespace orvane::cli
