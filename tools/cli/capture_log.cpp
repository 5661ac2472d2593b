// The end of every headless capture or replay: assembly, the list fill, and the log.
#include "cli/capture_log.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "capture/packet_assembly.hpp"
#include "capture/trace.hpp"
#include "cli/escape_text.hpp"
#include "decode/decoder.hpp"
#include "views/capture_lists.hpp"
#include "views/log_writer.hpp"

namespace orvane::cli {
namespace {

bool WriteToStdout(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

}  // namespace

int WriteCaptureLog(CaptureModel& model, const CliOptions& options) {
    const Trace trace;  // diagnostics have no channel in the headless front end
    AssembleCapture(model, options.protocolMode, trace);

    CaptureLists lists;
    Decoder decoder(options.protocolMode);
    FixedViewState viewState(options.view, options.show);
    lists.RefreshList(model, decoder, viewState, trace);

    LogCellTransform transform;
    if (options.escape) transform = [](std::string_view cell) { return EscapeText(cell); };
    const std::string text =
        BuildLogText(lists.ListFor(options.view), options.view, CurrentLocalDateTime(), transform);
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
