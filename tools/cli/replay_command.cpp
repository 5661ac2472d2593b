// orvane-cli replay: capture files or raw stream files through the receive stream, the packet
// grouping, and the log or an export.
#include "cli/replay_command.hpp"

#include <algorithm>
#include <cstdio>
#include <string>

#include "capture/continuous_capture.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "cli/capture_output.hpp"
#include "cli/receive_sink.hpp"
#include "cli/replay_files.hpp"

namespace orvane::cli {
namespace {

constexpr std::uint64_t kPumpStreamBytes = 4 << 20;

}  // namespace

int RunReplay(const CliOptions& options) {
    ReplayFiles files;
    if (const int status = files.Open(options.files); status != 0) return status;

    CliOptions effective = options;
    if (!options.hasProtocol && files.hasCaptureFile()) {
        effective.protocolMode = files.captureInfo().protocolMode;
    }
    CaptureOrigin origin;
    if (files.hasCaptureFile()) origin.info = files.captureInfo();
    origin.info.protocolMode = effective.protocolMode;

    const Trace trace;  // diagnostics have no channel in the headless front end
    if (options.continuous || files.anyContinuous()) {
        origin.info.continuous = true;
        ContinuousCapture capture(effective.protocolMode, trace);
        ContinuousOutput output(capture, effective, origin);
        std::uint64_t sincePump = 0;
        const int readStatus = files.Feed([&](std::string_view data, std::int64_t receiptUs) {
            capture.OnRead(data, receiptUs);
            // Rows go out every few megabytes of stream, and what they used is freed.
            sincePump += data.size();
            if (sincePump >= kPumpStreamBytes) {
                output.Pump();
                sincePump = 0;
            }
        });
        capture.Finish();
        if (capture.counters().messages == 0)
            return std::max(readStatus, ReportNoMessage(options.files));
        const int writeStatus = output.Finish();
        return writeStatus != 0 ? writeStatus : readStatus;
    }

    CaptureModel model;
    HeadlessReceiveEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    // The same reads grouped as a continuous capture give each row its latency and verdict.
    ContinuousCapture sameReads(effective.protocolMode, trace);
    const int readStatus = files.Feed([&](std::string_view data, std::int64_t receiptUs) {
        if (stream.storeFull()) return;
        stream.OnReceive(data);
        sameReads.OnRead(data, receiptUs);
    });
    sameReads.Finish();
    if (model.blockCount == 0) return std::max(readStatus, ReportNoMessage(options.files));
    const int writeStatus = WriteBoundedOutput(model, effective, origin, sameReads);
    return writeStatus != 0 ? writeStatus : readStatus;
}

}  // namespace orvane::cli
