// What replay and capture write at the end: the log of a view, or an export of the Packet View.
#pragma once

#include <cstdint>
#include <memory>

#include "capture/capture_file.hpp"
#include "capture/capture_model.hpp"
#include "capture/continuous_capture.hpp"
#include "cli/cli_options.hpp"

namespace orvane::cli {

// Where a capture came from: the exports carry it in their section header.
struct CaptureOrigin {
    CaptureFileInfo info;
};

// A bounded capture: the log as Save Log writes it (nothing at all when the view has no rows),
// or the export of the Packet View's rows. `sameReads`, a finished continuous capture of the
// same reads, gives the latency and verdict of each row (--columns analysis, jsonl) and the
// note on a protocol that reads better. Returns the exit status: 0, or 1 on a write failure.
int WriteBoundedOutput(CaptureModel& model, const CliOptions& options, const CaptureOrigin& origin,
                       const ContinuousCapture& sameReads);

// The same outputs of a continuous capture, written while it grows: each Pump writes the rows
// completed since the last one and frees the bytes and packets no later row needs, so a day's
// capture never stands in memory whole, let alone as text. A row that shows a latency and a
// verdict waits until its command's wait for a reply is decided.
class ContinuousOutput {
  public:
    ContinuousOutput(ContinuousCapture& capture, const CliOptions& options,
                     const CaptureOrigin& origin);
    ~ContinuousOutput();
    ContinuousOutput(const ContinuousOutput&) = delete;
    ContinuousOutput& operator=(const ContinuousOutput&) = delete;

    void Pump();

    // After the capture's Finish: the last rows. Returns the exit status: 0, or 1 on a write
    // failure. A log with no rows writes nothing at all.
    int Finish();

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orvane::cli
