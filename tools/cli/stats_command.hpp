// orvane-cli stats: the line's figures of capture files, as a table, CSV or JSON.
#pragma once

#include <string>

#include "cli/cli_options.hpp"

namespace orvane::cli {

// Runs `orvane-cli stats ...`. Returns the exit status as replay's: 0, 1 when the output cannot
// be written, 2 for an unreadable or damaged file (the figures of its readable part are still
// written) or no message at all.
int RunStats(const CliOptions& options);

// The command's part of orvane-cli --help.
std::string StatsUsageText();

}  // namespace orvane::cli
