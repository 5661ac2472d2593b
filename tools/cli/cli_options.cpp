// Parsing orvane-cli's command line.
#include "cli/cli_options.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace orvane::cli {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool ParseInt(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty()) return false;
    std::string_view digits = text;
    if (digits.front() == '+') digits.remove_prefix(1);
    const char* end = digits.data() + digits.size();
    auto [ptr, error] = std::from_chars(digits.data(), end, value);
    return !digits.empty() && error == std::errc() && ptr == end && value >= low && value <= high;
}

struct OptionSpec {
    std::string_view name;
    bool takesValue;
    bool decode, replay, capture, stats;  // which commands accept it
};

constexpr OptionSpec kOptions[] = {
    {"--protocol", true, true, true, true, true},
    {"--escape", false, true, true, true, false},
    {"--view", true, false, true, true, false},
    {"--show", true, false, true, true, false},
    {"--out", true, false, true, true, false},
    {"--address", true, false, false, true, false},
    {"--port", true, false, false, true, false},
    {"--seconds", true, false, false, true, false},
    {"--save-raw", true, false, false, true, false},
    {"--help", false, true, true, true, true},
    {"--continuous", false, false, true, true, true},
    {"--capture-file", true, false, false, true, false},
    {"--format", true, false, true, true, true},
    {"--columns", true, false, true, true, false},
};

const char* CommandName(Command command) {
    switch (command) {
        case Command::kDecode:
            return "decode";
        case Command::kReplay:
            return "replay";
        case Command::kCapture:
            return "capture";
        case Command::kStats:
            return "stats";
        default:
            return "";
    }
}

bool Accepts(const OptionSpec& option, Command command) {
    return (command == Command::kDecode && option.decode) ||
           (command == Command::kReplay && option.replay) ||
           (command == Command::kCapture && option.capture) ||
           (command == Command::kStats && option.stats);
}

// Applies one option's value; returns the reason it is bad, or an empty text.
std::string Apply(std::string_view name, const std::string& value, CliOptions& options) {
    const std::string bad = "bad value for " + std::string(name) + ": '" + value + "'";
    if (name == "--protocol") {
        if (!ParseProtocol(value, options.protocolMode)) return bad;
        options.hasProtocol = true;
    } else if (name == "--escape") {
        options.escape = true;
    } else if (name == "--view") {
        if (value == "packet") {
            options.view = ViewKind::Packet;
        } else if (value == "byte") {
            options.view = ViewKind::Byte;
        } else {
            return bad;
        }
    } else if (name == "--show") {
        if (!ParseShowList(value, options.show)) return bad;
    } else if (name == "--out") {
        if (value.empty()) return bad;
        options.outPath = value;
    } else if (name == "--address") {
        options.address = value;
        options.hasAddress = true;
    } else if (name == "--port") {
        std::int64_t port = 0;
        if (!ParseInt(value, 0, 65535, port)) return bad;
        options.port = static_cast<int>(port);
        options.hasPort = true;
    } else if (name == "--seconds") {
        char* end = nullptr;
        const double seconds = std::strtod(value.c_str(), &end);
        if (value.empty() || end != value.c_str() + value.size() || !std::isfinite(seconds) ||
            seconds < 0 || seconds > 1e9) {
            return bad;
        }
        options.seconds = seconds;
    } else if (name == "--save-raw") {
        if (value.empty()) return bad;
        options.saveRawPath = value;
    } else if (name == "--continuous") {
        options.continuous = true;
    } else if (name == "--capture-file") {
        if (value.empty()) return bad;
        options.captureFilePath = value;
    } else if (name == "--format" && options.command == Command::kStats) {
        if (value == "text") {
            options.statsFormat = StatsFormat::kText;
        } else if (value == "csv") {
            options.statsFormat = StatsFormat::kCsv;
        } else if (value == "json") {
            options.statsFormat = StatsFormat::kJson;
        } else {
            return bad;
        }
    } else if (name == "--format") {
        if (value == "log") {
            options.format = OutputFormat::kLog;
        } else if (value == "pcapng") {
            options.format = OutputFormat::kPcapng;
        } else if (value == "jsonl") {
            options.format = OutputFormat::kJsonl;
        } else {
            return bad;
        }
    } else if (name == "--columns") {
        if (value == "standard") {
            options.columns = LogColumns::kStandard;
        } else if (value == "analysis") {
            options.columns = LogColumns::kAnalysis;
        } else {
            return bad;
        }
    }
    return {};
}

}  // namespace

bool ParseProtocol(const std::string& text, ProtocolMode& protocolMode) {
    const std::string name = Lower(text);
    if (name == "sony") {
        protocolMode = ProtocolMode::kSony;
    } else if (name == "odetics") {
        protocolMode = ProtocolMode::kOdetics;
    } else if (name == "vdcp") {
        protocolMode = ProtocolMode::kVdcp;
    } else {
        std::int64_t value = 0;
        if (!ParseInt(text, INT32_MIN, INT32_MAX, value)) return false;
        protocolMode = ProtocolModeFromNumber(static_cast<std::int32_t>(value));
    }
    return true;
}

bool ParseShowList(const std::string& text, FilterFlags& flags) {
    if (text == "all") {
        flags = FilterFlags::ShowAll();
        return true;
    }
    FilterFlags shown;  // all false
    if (text == "none") {
        flags = shown;
        return true;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma == text.npos ? text.npos : comma - start);
        if (name == "time-sense") {
            shown.timeSense = true;
        } else if (name == "time-reply") {
            shown.timeReply = true;
        } else if (name == "status-sense") {
            shown.statusSense = true;
        } else if (name == "status-reply") {
            shown.statusReply = true;
        } else if (name == "acks") {
            shown.displayAcks = true;
        } else if (name == "dev-type") {
            shown.dispDevType = true;
        } else {
            return false;
        }
        if (comma == text.npos) break;
        start = comma + 1;
    }
    flags = shown;
    return true;
}

std::string ParseCommandLine(int argc, const char* const* argv, CliOptions& options) {
    if (argc < 2) return "no command given (decode, replay, capture or stats)";
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        options.command = Command::kHelp;
        return {};
    }
    if (command == "decode") {
        options.command = Command::kDecode;
    } else if (command == "replay") {
        options.command = Command::kReplay;
    } else if (command == "capture") {
        options.command = Command::kCapture;
    } else if (command == "stats") {
        options.command = Command::kStats;
    } else {
        return "unknown command '" + command + "' (decode, replay, capture or stats)";
    }

    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.rfind("--", 0) != 0) {
            if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
                return "unknown option " + arg + " for " + CommandName(options.command);
            }
            if (options.command != Command::kReplay && options.command != Command::kStats) {
                return std::string("unexpected argument '") + arg + "' for " +
                       CommandName(options.command);
            }
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool inlineValue = false;
        if (const std::size_t equals = arg.find('='); equals != arg.npos) {
            value = arg.substr(equals + 1);
            arg.resize(equals);
            inlineValue = true;
        }
        const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
                                         [&](const OptionSpec& s) { return s.name == arg; });
        if (option == std::end(kOptions) || !Accepts(*option, options.command)) {
            return "unknown option " + arg + " for " + CommandName(options.command);
        }
        if (option->name == "--help") {
            // stats --help gives the command's own part of the usage; the others all of it.
            if (options.command == Command::kStats) {
                options.statsHelp = true;
            } else {
                options.command = Command::kHelp;
            }
            return {};
        }
        if (option->takesValue && !inlineValue) {
            if (i + 1 >= argc) return "missing value for " + arg;
            value = argv[++i];
        } else if (!option->takesValue && inlineValue) {
            return "option " + arg + " takes no value";
        }
        if (std::string error = Apply(option->name, value, options); !error.empty()) return error;
    }

    if ((options.command == Command::kReplay || options.command == Command::kStats) &&
        options.files.empty()) {
        return std::string(CommandName(options.command)) + " needs at least one capture file";
    }
    if (options.command == Command::kCapture) {
        if (!options.hasAddress) return "capture needs --address";
        if (!options.hasPort) return "capture needs --port";
    }
    return {};
}

std::string UsageText() {
    return R"(usage: orvane-cli COMMAND [options]

orvane-cli decode [--protocol sony|odetics|vdcp|N] [--escape]
  Reads packet texts ("20 01 21 ") from standard input, one per line, and writes one
  description per line, decoding in input order with one decoder state.

orvane-cli replay [--protocol P] [--view packet|byte] [--show LIST] [--escape] [--out FILE]
                  [--continuous] [--format log|pcapng|jsonl] [--columns standard|analysis]
                  FILE...
  Replays capture files (pcapng, as --capture-file writes them) or raw capture-unit stream
  files (messages back to back, as sent over TCP), told apart by their content, and writes
  the log of the chosen view, as Save Log writes it, to FILE or standard output. A capture
  file decodes with the protocol recorded in it unless --protocol is given, and a continuous
  capture file replays without the store limit. When most packets fail their checks under
  the protocol and read well under the other, a line on standard error says so.

orvane-cli capture --address A --port P [--seconds S] [replay's options] [--save-raw FILE]
                   [--capture-file FILE]
  Captures from a capture unit until S seconds have passed, the unit closes the connection,
  the block store is full, or Ctrl-C, says on standard error why it ended, then writes the
  log as replay does (a continuous capture writes its rows as they complete). --save-raw
  keeps the received bytes, --capture-file writes a pcapng capture file as the reads arrive;
  replay of either gives the same log.

Options:
  --protocol P  sony (default), odetics, vdcp, or a protocol mode number
  --view V      packet (default) or byte
  --show LIST   shown packets, comma-separated: time-sense, time-reply, status-sense,
                status-reply, acks, dev-type; or all (default) or none
  --escape      write bytes outside 0x20..0x7E and the backslash as \xHH
  --out FILE    write the log to FILE (nothing is created when the view has no rows)
  --continuous  no store limit: every message is kept (a capture ends at --seconds, when
                the unit closes the connection, or at Ctrl-C)
  --format F    log (default), pcapng (the Packet View's packets for Wireshark, one block
                per packet with its description as the packet comment) or jsonl (one JSON
                object per packet); the exports hold the packets the Packet View shows under
                --show, in its order; jsonl also gives each packet's latency_ms and verdict
  --columns C   standard (default) or analysis: the log gains a Latency column (a deck
                reply's time from the end of the command it answers, "3 ms") and a Verdict
                column (checksum, length, NAK reasons, late or missing reply, reply to
                nothing, unknown code, stray bytes, lost messages; empty when all is well);
                in the Byte View on the row of each packet's first byte

Exit status: 0 success; 1 connection or write failure; 2 bad options, an unreadable file, a
file that holds no capture-unit message, or a damaged capture file (its readable part is
still replayed and written).
)";
}

}  // namespace orvane::cli
