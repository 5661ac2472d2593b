// The analysis of the capture the window shows: every packet's timing and verdict and the line's
// figures, taken in as the capture grows.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "capture/capture_file.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/trace.hpp"
#include "views/analysis_columns.hpp"
#include "views/line_statistics.hpp"
#include "views/packet_analysis.hpp"

namespace orvane {

// Over a held continuous capture, or over a bounded capture's reads: these go into a continuous
// capture of its own, which holds the bounded lists' packets (and bytes) in the same order, so
// the lists' rows find their analysis through its rows. The statistics are kept current all the
// time, so the Statistics window opens at once whatever the capture's length.
class CaptureAnalysis {
  public:
    // `capture` must outlive this.
    explicit CaptureAnalysis(const ContinuousCapture& capture);
    // The reads that a bounded store of `protocolMode` holds, and the first of those it turned
    // away.
    CaptureAnalysis(const std::vector<CaptureRead>& reads, ProtocolMode protocolMode,
                    const Trace& trace);
    CaptureAnalysis(const CaptureAnalysis&) = delete;
    CaptureAnalysis& operator=(const CaptureAnalysis&) = delete;

    // Takes in the packets the capture completed since the last call; true when there were any.
    bool Update();

    const ContinuousCapture& capture() const { return capture_; }
    const PacketAnalysis& packets() const { return analysis_; }
    const LineStatistics& statistics() const { return statistics_; }
    const RowAnalysis& rows() const { return rows_; }
    ProtocolMode protocolMode() const { return capture_.packets().protocolMode(); }
    // Made from a bounded capture's reads, rather than over a held capture.
    bool ownsCapture() const { return own_ != nullptr; }

  private:
    static std::unique_ptr<ContinuousCapture> Feed(const std::vector<CaptureRead>& reads,
                                                   ProtocolMode protocolMode, const Trace& trace);

    std::unique_ptr<ContinuousCapture> own_;
    const ContinuousCapture& capture_;
    PacketAnalysis analysis_;
    LineStatistics statistics_;
    RowAnalysis rows_;
    std::size_t analyzed_ = 0;
};

}  // namespace orvane
