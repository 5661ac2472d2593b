// The end of every headless capture or replay: assembly, the list fill, and the log.
#pragma once

#include "capture/capture_model.hpp"
#include "capture/continuous_capture.hpp"
#include "cli/cli_options.hpp"

namespace orvane::cli {

// Groups the stored blocks into packets under the protocol, fills the chosen view under the
// shown filters and writes the log to --out or standard output, as Save Log does: nothing at all
// when the view has no rows. With --columns analysis, each row's latency and verdict come from
// `sameReads`, a finished continuous capture of the same reads (its rows are the list's rows).
// Returns the exit status: 0, or 1 when the log cannot be written.
int WriteCaptureLog(CaptureModel& model, const CliOptions& options,
                    const ContinuousCapture* sameReads = nullptr);

}  // namespace orvane::cli
