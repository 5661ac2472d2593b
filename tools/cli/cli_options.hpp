// The command line of orvane-cli: subcommands and their options.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/connection_settings.hpp"
#include "views/packet_filter.hpp"

namespace orvane::cli {

enum class Command { kHelp, kDecode, kReplay, kCapture, kStats };

// What replay and capture write: the log of a view, or the Packet View's packets as an export.
enum class OutputFormat { kLog, kPcapng, kJsonl };

// The log's columns: the view's own, or those and each packet's latency and verdict.
enum class LogColumns { kStandard, kAnalysis };

// What stats writes: an aligned table, CSV or JSON.
enum class StatsFormat { kText, kCsv, kJson };

struct CliOptions {
    Command command = Command::kHelp;
    ProtocolMode protocolMode = ProtocolMode::kSony;
    bool hasProtocol = false;  // a capture file's own protocol applies unless one is given
    bool escape = false;
    ViewKind view = ViewKind::Packet;
    FilterFlags show = FilterFlags::ShowAll();
    std::string outPath;  // empty: standard output
    std::vector<std::string> files;
    std::string address;
    bool hasAddress = false;
    int port = 0;
    bool hasPort = false;
    double seconds = -1;  // < 0: no time limit
    std::string saveRawPath;
    bool continuous = false;  // no store limit
    std::string captureFilePath;
    OutputFormat format = OutputFormat::kLog;
    LogColumns columns = LogColumns::kStandard;
    StatsFormat statsFormat = StatsFormat::kText;
    bool statsHelp = false;
};

// Fills `options` from argv[1..]; returns an empty text, or the one-line reason the command line
// is bad.
std::string ParseCommandLine(int argc, const char* const* argv, CliOptions& options);

// "sony", "odetics", "vdcp" (any case) or a signed 32-bit integer, the number's mode.
bool ParseProtocol(const std::string& text, ProtocolMode& protocolMode);

// Comma-separated filter names, "all" or "none".
bool ParseShowList(const std::string& text, FilterFlags& flags);

std::string UsageText();

}  // namespace orvane::cli
