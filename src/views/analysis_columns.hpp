// The two analysis columns of a list, Latency and Verdict: which packet a row's cells tell of,
// their texts, and the log lines that carry them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "capture/continuous_capture.hpp"
#include "views/capture_rows.hpp"
#include "views/list_model.hpp"
#include "views/log_writer.hpp"
#include "views/packet_analysis.hpp"

namespace orvane {

struct AnalysisCells {
    std::string latency;  // "12 ms" or empty
    std::string verdict;  // the packet's problems, or empty
    Severity severity = Severity::kNone;
};

// A capture's analysis as the rows of its lists show it. Both must outlive this.
class RowAnalysis {
  public:
    RowAnalysis(const ContinuousCapture& capture, const PacketAnalysis& analysis)
        : capture_(&capture), analysis_(&analysis) {}

    // The packet whose latency and verdict a row shows: in the Packet View the row's packet, in
    // the Byte View the packet whose first byte the row is; none for the other bytes.
    std::optional<std::size_t> PacketOfItem(ViewKind view, std::uint64_t item) const;

    AnalysisCells CellsOfItem(ViewKind view, std::uint64_t item) const;
    Severity SeverityOfItem(ViewKind view, std::uint64_t item) const;

    // Whether a packet of the rows showing items firstItem..lastItem (in the Packet View those
    // packets, in the Byte View the packets whose first byte lies there) may have a problem: a
    // search for problems passes over a stretch of rows without one in a few lookups.
    bool MayHaveProblem(ViewKind view, std::uint64_t firstItem, std::uint64_t lastItem) const;

    const ContinuousCapture& capture() const { return *capture_; }
    const PacketAnalysis& analysis() const { return *analysis_; }

  private:
    const ContinuousCapture* capture_;
    const PacketAnalysis* analysis_;
};

// The log's header line with the two columns after the five: "...Command\tLatency\tVerdict".
std::string AnalysisLogHeaderLine(ViewKind view);

// Puts the two fields, each after a TAB, before the CR LF that ends `line`.
void AppendAnalysisLogFields(std::string& line, const AnalysisCells& cells);

// Save Log of a bounded list with the analysis columns: the list's own cells as BuildLogText
// writes them, then the latency and verdict of each row, read from `rows`: the same packets (or
// bytes) in the same order, over a continuous capture of the same reads (without them, the two
// fields stay empty). Empty when the list has no rows.
std::string BuildAnalysisLogText(const ListModel& list, ViewKind view, const LocalDateTime& time,
                                 const CaptureRows* rows, const RowAnalysis* analysis);

}  // namespace orvane
