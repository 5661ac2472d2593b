// The analysis in orvane-cli's outputs: each packet's latency and verdict as two more log
// columns, and a note when the capture reads better under the other protocol.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "capture/continuous_capture.hpp"
#include "views/packet_filter.hpp"

namespace orvane::cli {

// The header line of `view` with the Latency and Verdict columns, CR LF included.
std::string AnalysisHeaderLine(ViewKind view);

// Appends the two cells to a log line that ends in CR LF.
void AppendAnalysisCells(std::string& line, std::string_view latency, std::string_view verdict);

// The packet whose latency and verdict a row carries: the row's packet (Packet View), or the
// packet whose first byte the row shows (Byte View); -1 for none.
std::int64_t PacketOfRow(const ContinuousCapture& capture, ViewKind view, std::uint64_t item);

// One line on standard error when most packets fail their checks under the capture's protocol
// and most would pass under the other. The capture's first bytes must still be held.
void ReportProtocolFit(const ContinuousCapture& capture);

}  // namespace orvane::cli
