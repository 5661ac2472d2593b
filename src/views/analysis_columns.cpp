// The two analysis columns of a list, Latency and Verdict: which packet a row's cells tell of,
// their texts, and the log lines that carry them.
#include "views/analysis_columns.hpp"

namespace orvane {

std::optional<std::size_t> RowAnalysis::PacketOfItem(ViewKind view, std::uint64_t item) const {
    if (view == ViewKind::Packet) return static_cast<std::size_t>(item);
    const auto byte = static_cast<std::uint32_t>(item);
    const bool device = capture_->bytes().Direction(byte) == kSideDevice;
    const std::int64_t packet = capture_->packets().PacketOfByte(byte, device);
    if (packet < 0) return std::nullopt;
    const auto p = static_cast<std::size_t>(packet);
    if (capture_->packets()[p].firstByte != byte) return std::nullopt;
    return p;
}

AnalysisCells RowAnalysis::CellsOfItem(ViewKind view, std::uint64_t item) const {
    AnalysisCells cells;
    const std::optional<std::size_t> packet = PacketOfItem(view, item);
    if (!packet) return cells;
    cells.latency = analysis_->LatencyText(*packet);
    cells.verdict = analysis_->VerdictText(*packet);
    cells.severity = analysis_->SeverityOf(*packet);
    return cells;
}

Severity RowAnalysis::SeverityOfItem(ViewKind view, std::uint64_t item) const {
    const std::optional<std::size_t> packet = PacketOfItem(view, item);
    return packet ? analysis_->SeverityOf(*packet) : Severity::kNone;
}

bool RowAnalysis::MayHaveProblem(ViewKind view, std::uint64_t firstItem,
                                 std::uint64_t lastItem) const {
    const PacketIndex& packets = capture_->packets();
    std::uint64_t first = firstItem;
    std::uint64_t last = lastItem;
    if (view == ViewKind::Byte) {
        // Packets are in the order of their first bytes: those starting in the stretch are
        // one run of packets, found by halving.
        const auto firstFrom = [&packets](std::uint64_t byte) {
            std::size_t low = 0;
            std::size_t high = packets.size();
            while (low < high) {
                const std::size_t middle = low + (high - low) / 2;
                if (packets[middle].firstByte < byte) {
                    low = middle + 1;
                } else {
                    high = middle;
                }
            }
            return low;
        };
        first = firstFrom(firstItem);
        const std::size_t end = firstFrom(lastItem + 1);
        if (end <= first) return false;
        last = end - 1;
    }
    if (analysis_->SeverityOf(static_cast<std::size_t>(first)) != Severity::kNone) return true;
    const std::optional<std::size_t> next = analysis_->NextProblem(static_cast<std::size_t>(first));
    return next && *next <= last;
}

std::string AnalysisLogHeaderLine(ViewKind view) {
    std::string line(LogHeaderLine(view));
    AppendAnalysisLogFields(line, {"Latency", "Verdict", Severity::kNone});
    return line;
}

void AppendAnalysisLogFields(std::string& line, const AnalysisCells& cells) {
    const bool endsInCrLf = line.ends_with("\r\n");
    if (endsInCrLf) line.resize(line.size() - 2);
    line.push_back('\t');
    line.append(LogCellText(cells.latency));
    line.push_back('\t');
    line.append(LogCellText(cells.verdict));
    if (endsInCrLf) line.append("\r\n");
}

std::string BuildAnalysisLogText(const ListModel& list, ViewKind view, const LocalDateTime& time,
                                 const CaptureRows* rows, const RowAnalysis* analysis) {
    const int count = list.GetItemCount();
    if (count == 0) return {};
    std::string text = LogTitleLine(time);
    text.append(AnalysisLogHeaderLine(view));
    for (int row = 0; row < count; ++row) {
        std::string line = LogRowLine(list, row);
        AnalysisCells cells;
        const auto at = static_cast<std::uint64_t>(row);
        if (rows != nullptr && analysis != nullptr && at < rows->RowCount()) {
            cells = analysis->CellsOfItem(view, rows->ItemOfRow(at));
        }
        AppendAnalysisLogFields(line, cells);
        text.append(line);
    }
    return text;
}

}  // namespace orvane
