// The end of every headless capture or replay: assembly, the list fill, and the log.
#include "cli/capture_log.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture/packet_assembly.hpp"
#include "capture/trace.hpp"
#include "cli/analysis_columns.hpp"
#include "cli/escape_text.hpp"
#include "decode/decoder.hpp"
#include "views/capture_lists.hpp"
#include "views/capture_rows.hpp"
#include "views/log_writer.hpp"
#include "views/packet_analysis.hpp"

namespace orvane::cli {
namespace {

bool WriteToStdout(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

// The log with the Latency and Verdict columns. Row r of the list is row r of the same view
// over the continuous capture of the same reads.
std::string BuildAnalysisLogText(const ListModel& list, const CliOptions& options,
                                 const ContinuousCapture& sameReads,
                                 const LogCellTransform& transform) {
    const int rowCount = list.GetItemCount();
    if (rowCount == 0) return {};
    const CaptureRows rows(sameReads, options.view, options.show);
    PacketAnalysis analysis(sameReads);
    std::string text = LogTitleLine(CurrentLocalDateTime());
    text.append(AnalysisHeaderLine(options.view));
    for (int row = 0; row < rowCount; ++row) {
        std::string line = LogRowLine(list, row, transform);
        std::int64_t packet = -1;
        if (static_cast<std::uint64_t>(row) < rows.RowCount()) {
            packet = PacketOfRow(sameReads, options.view,
                                 rows.ItemOfRow(static_cast<std::uint64_t>(row)));
        }
        if (packet < 0) {
            AppendAnalysisCells(line, {}, {});
        } else {
            const auto p = static_cast<std::size_t>(packet);
            AppendAnalysisCells(line, analysis.LatencyText(p), analysis.VerdictText(p));
        }
        text.append(line);
    }
    return text;
}

}  // namespace

int WriteCaptureLog(CaptureModel& model, const CliOptions& options,
                    const ContinuousCapture* sameReads) {
    const Trace trace;  // diagnostics have no channel in the headless front end
    AssembleCapture(model, options.protocolMode, trace);

    CaptureLists lists;
    Decoder decoder(options.protocolMode);
    FixedViewState viewState(options.view, options.show);
    lists.RefreshList(model, decoder, viewState, trace);

    LogCellTransform transform;
    if (options.escape) transform = [](std::string_view cell) { return EscapeText(cell); };
    const ListModel& list = lists.ListFor(options.view);
    const std::string text =
        options.columns == LogColumns::kAnalysis && sameReads != nullptr
            ? BuildAnalysisLogText(list, options, *sameReads, transform)
            : BuildLogText(list, options.view, CurrentLocalDateTime(), transform);
    if (text.empty()) return 0;  // an empty view writes nothing and creates no file

    if (!options.outPath.empty()) {
        const LogWriteResult result = WriteLogFile(options.outPath, text);
        if (!result.ok()) {
            // The reason names the file already.
            std::fprintf(stderr, "orvane-cli: cannot write %s\n", result.reason.c_str());
            return 1;
        }
        return 0;
    }
    if (!WriteToStdout(text)) {
        std::fprintf(stderr, "orvane-cli: cannot write the log: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace orvane::cli
