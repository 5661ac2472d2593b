// orvane-cli stats: capture files or raw stream files through the receive stream, the packet
// grouping and the analysis, then the line's figures to standard output.
#include "cli/stats_command.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "capture/continuous_capture.hpp"
#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "cli/cli_options.hpp"
#include "cli/receive_sink.hpp"
#include "cli/replay_files.hpp"
#include "views/line_statistics.hpp"
#include "views/line_statistics_output.hpp"
#include "views/packet_analysis.hpp"

namespace orvane::cli {
namespace {

// The message cut after its first `count` entries that give a byte (ignore entries give none).
std::string_view FirstEntries(std::string_view message, std::size_t count) {
    std::size_t at = kHeaderSize;
    for (; at + kEntrySize <= message.size() && count > 0; at += kEntrySize) {
        if ((static_cast<unsigned char>(message[at]) & 0xC0) != 0x40) --count;
    }
    return message.substr(0, at);
}

// Feeds `capture` with what the bounded capture holds of the files, as replay without
// --continuous shows it: the first 1000 messages, and of their bytes the first 100000. The
// bounded receive stream decides which messages those are; each goes on to the capture as one
// read with the time of receipt of the read that began it. Returns Feed's status.
int FeedBounded(ReplayFiles& files, ContinuousCapture& capture) {
    CaptureModel model;
    HeadlessReceiveEvents events;
    const Trace trace;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    std::vector<std::int64_t> blockStamps(1);  // by block number
    const int status = files.Feed([&](std::string_view data, std::int64_t receiptUs) {
        if (stream.storeFull()) return;
        stream.OnReceive(data);
        blockStamps.resize(static_cast<std::size_t>(model.blockCount) + 1, receiptUs);
    });

    // Where the byte list fills up: the block it stops in and how many of its bytes it takes.
    // The byte list takes the bytes of the blocks it accepts in order, so a block gave bytes
    // when the next byte of the list carries its sequence number.
    int lastBlock = model.blockCount;
    std::size_t lastBlockBytes = SIZE_MAX;
    BuildCapturedBytes(model);
    if (model.byteCount >= kMaxBytes) {
        std::size_t taken = 0;
        for (int k = 1; k <= model.blockCount; ++k) {
            std::string_view block = model.receivedBlocks[static_cast<std::size_t>(k)];
            if (k == model.blockCount) block = block.substr(0, FindPendingHeader(block));
            std::size_t given = 0;
            for (std::size_t at = kHeaderSize; at + kEntrySize <= block.size(); at += kEntrySize) {
                if ((static_cast<unsigned char>(block[at]) & 0xC0) != 0x40) ++given;
            }
            const CapturedByte& next = model.capturedBytes[taken + 1];
            if (given == 0 || next.blockSeq != SequenceOf(block)) continue;
            if (taken + given >= static_cast<std::size_t>(kMaxBytes)) {
                lastBlock = k;
                lastBlockBytes = static_cast<std::size_t>(kMaxBytes) - taken;
                break;
            }
            taken += given;
        }
    }
    for (int k = 1; k <= lastBlock; ++k) {
        std::string_view block = model.receivedBlocks[static_cast<std::size_t>(k)];
        if (k == lastBlock && lastBlockBytes != SIZE_MAX)
            block = FirstEntries(block, lastBlockBytes);
        capture.OnRead(block, blockStamps[static_cast<std::size_t>(k)]);
    }
    return status;
}

bool WriteAll(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (written && std::fflush(stdout) == 0) return true;
    std::fprintf(stderr, "orvane-cli: cannot write the output: %s\n",
                 std::strerror(errno != 0 ? errno : EIO));
    return false;
}

}  // namespace

std::string StatsUsageText() {
    return R"(orvane-cli stats [--protocol P] [--continuous] [--format text|csv|json] FILE...
  Reads the files as replay does and writes the line's figures: packets and latency (min,
  median, 95th percentile, max in ms; a command shows its replies') per command and reply
  name, verdicts, NAK reasons, lost messages and polls per second, as an aligned table
  (text, default), CSV or JSON. Without --continuous the figures cover what the bounded
  capture holds (1000 messages), as replay shows it.

)";
}

int RunStats(const CliOptions& options) {
    if (options.statsHelp) return WriteAll(StatsUsageText()) ? 0 : 1;
    ReplayFiles files;
    if (const int status = files.Open(options.files); status != 0) return status;
    const ProtocolMode protocolMode = !options.hasProtocol && files.hasCaptureFile()
                                          ? files.captureInfo().protocolMode
                                          : options.protocolMode;

    const Trace trace;  // diagnostics have no channel in the headless front end
    ContinuousCapture capture(protocolMode, trace);
    int readStatus = 0;
    if (options.continuous || files.anyContinuous()) {
        readStatus = files.Feed([&](std::string_view data, std::int64_t receiptUs) {
            capture.OnRead(data, receiptUs);
        });
    } else {
        readStatus = FeedBounded(files, capture);
    }
    capture.Finish();
    if (capture.counters().messages == 0) return ReportNoMessage(options.files);

    PacketAnalysis analysis(capture);
    analysis.Update();
    LineStatistics statistics(capture, analysis);
    statistics.Update();
    std::string text;
    switch (options.statsFormat) {
        case StatsFormat::kText:
            text = LineStatisticsText(statistics);
            break;
        case StatsFormat::kCsv:
            text = LineStatisticsCsv(statistics);
            break;
        case StatsFormat::kJson:
            text = LineStatisticsJson(statistics);
            break;
    }
    if (!WriteAll(text)) return 1;
    return readStatus;
}

}  // namespace orvane::cli
