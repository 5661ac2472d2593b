// The analysis of the capture the window shows: every packet's timing and verdict and the line's
// figures, taken in as the capture grows.
#include "app/capture_analysis.hpp"

#include "capture/capture_model.hpp"

namespace orvane {

CaptureAnalysis::CaptureAnalysis(const ContinuousCapture& capture)
    : capture_(capture),
      analysis_(capture_),
      statistics_(capture_, analysis_),
      rows_(capture_, analysis_) {
    Update();
}

CaptureAnalysis::CaptureAnalysis(const std::vector<CaptureRead>& reads, ProtocolMode protocolMode,
                                 const Trace& trace)
    : own_(Feed(reads, protocolMode, trace)),
      capture_(*own_),
      analysis_(capture_),
      statistics_(capture_, analysis_),
      rows_(capture_, analysis_) {
    Update();
}

std::unique_ptr<ContinuousCapture> CaptureAnalysis::Feed(const std::vector<CaptureRead>& reads,
                                                         ProtocolMode protocolMode,
                                                         const Trace& trace) {
    auto capture = std::make_unique<ContinuousCapture>(protocolMode, trace);
    for (const CaptureRead& read : reads) {
        // The bounded store ends at 1000 messages: its rows are the first of these, and the
        // reads after them (a file may hold many) are not needed.
        if (capture->counters().messages > static_cast<std::uint64_t>(kMaxBlocks)) break;
        // A raw stream's reads carry no time of receipt.
        capture->OnRead(read.bytes,
                        read.timeUs != 0 ? read.timeUs : ContinuousCapture::kNoReceiptTime);
    }
    capture->Finish();
    return capture;
}

bool CaptureAnalysis::Update() {
    analysis_.Update();
    statistics_.Update();
    const std::size_t analyzed = analysis_.AnalyzedCount();
    const bool moved = analyzed != analyzed_;
    analyzed_ = analyzed;
    return moved;
}

}  // namespace orvane
