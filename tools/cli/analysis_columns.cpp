// The analysis in orvane-cli's outputs: each packet's latency and verdict as two more log
// columns, and a note when the capture reads better under the other protocol.
#include "cli/analysis_columns.hpp"

#include <cstdio>

#include "settings/connection_settings.hpp"
#include "views/log_writer.hpp"
#include "views/packet_analysis.hpp"

namespace orvane::cli {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

const char* ProtocolName(ProtocolMode protocolMode) {
    if (protocolMode == ProtocolMode::kVdcp) return "VDCP";
    return protocolMode == ProtocolMode::kOdetics ? "Odetics" : "Sony";
}

}  // namespace

std::string AnalysisHeaderLine(ViewKind view) {
    std::string line(LogHeaderLine(view));
    AppendAnalysisCells(line, "Latency", "Verdict");
    return line;
}

void AppendAnalysisCells(std::string& line, std::string_view latency, std::string_view verdict) {
    if (line.ends_with(kLineEnd)) line.resize(line.size() - kLineEnd.size());
    line.push_back('\t');
    line.append(latency);
    line.push_back('\t');
    line.append(verdict);
    line.append(kLineEnd);
}

std::int64_t PacketOfRow(const ContinuousCapture& capture, ViewKind view, std::uint64_t item) {
    if (view == ViewKind::Packet) return static_cast<std::int64_t>(item);
    const auto byte = static_cast<std::uint32_t>(item);
    const std::int64_t packet =
        capture.packets().PacketOfByte(byte, capture.bytes().Direction(byte) == kSideDevice);
    if (packet < 0 || capture.packets()[static_cast<std::size_t>(packet)].firstByte != byte) {
        return -1;
    }
    return packet;
}

void ReportProtocolFit(const ContinuousCapture& capture) {
    if (!CheckProtocolFit(capture).otherFitsBetter) return;
    const ProtocolMode mode = capture.packets().protocolMode();
    const bool vdcp = mode == ProtocolMode::kVdcp;
    std::fprintf(stderr,
                 "orvane-cli: most packets fail their checks as %s; they read as %s "
                 "(--protocol %s)\n",
                 ProtocolName(mode), vdcp ? "Sony" : "VDCP", vdcp ? "sony" : "vdcp");
}

}  // namespace orvane::cli
