// orvane-cli decode: packet texts in, one description per line out.
#pragma once

#include <cstdio>

#include "cli/cli_options.hpp"

namespace orvane::cli {

// Decodes every line of `in` with one decoder and writes the descriptions to `out`. Returns the
// exit status: 0, or 1 when the output cannot be written.
int RunDecode(const CliOptions& options, std::FILE* in, std::FILE* out);

}  // namespace orvane::cli
