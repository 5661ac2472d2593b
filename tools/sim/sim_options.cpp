// Parsing the simulator's command line.
#include "sim/sim_options.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "capture/capture_file.hpp"

namespace orvane::sim {
namespace {

constexpr std::array<std::string_view, 6> kScenarios{"sony",  "odetics", "vdcp",
                                                     "noise", "faults",  "vdcp-faults"};

bool ParseInteger(std::string_view text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [ptr, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && ptr == end && value >= low && value <= high;
}

bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

std::string SimUsage() {
    return "usage: orvane-sim [--port P] (--scenario NAME | --file F) [options]\n"
           "       orvane-sim --scenario NAME --messages N --write-capture FILE [options]\n"
           "Serves capture-unit messages on 127.0.0.1:P (0: any free port; the first line of\n"
           "output names the port). Every connection gets the same stream for the same options.\n"
           "With --write-capture, writes the scenario's first N messages to a capture file\n"
           "instead, in reads as a receiver reading full buffers gets them, and exits. Receipt\n"
           "times follow the line's timing from 2026-01-05 00:00:00 UTC, so the same options\n"
           "give the same file (protocol as the scenario; faults and noise are recorded as Sony,\n"
           "vdcp-faults as VDCP).\n"
           "  --scenario NAME   sony, odetics, vdcp, noise, faults or vdcp-faults (Sony 9-pin or\n"
           "                    VDCP traffic with a line fault every one to three seconds)\n"
           "  --file F          send a raw capture file as is\n"
           "  --seed N          traffic seed (default 1)\n"
           "  --entries N       at most N entries a message (default 16)\n"
           "  --flush-ms X      a message goes out when the line is quiet this long (default 2)\n"
           "  --first-seq N     first sequence number (default: chosen from the seed)\n"
           "  --rate real|fast|N  real line timing (default), as fast as possible, N messages/s\n"
           "  --coalesce N      N messages in one write\n"
           "  --split N         write in pieces of N bytes\n"
           "  --messages N      send N messages, then close\n"
           "  --close-after N   close after N messages\n"
           "  --partial K       before that close, send the first K bytes of one more message\n"
           "  --reset           close with a reset instead of an orderly close\n"
           "  --idle-after N    send N messages, then keep the connection open in silence\n"
           "  --connections N   exit after serving N connections\n"
           "  --verbose         one line per connection (or per file) on standard error\n"
           "  --write-capture FILE  write a capture file of --messages N messages, then exit\n"
           "  --read-bytes N    bytes a read of that file holds at most (default 4096)\n";
}

std::string ParseSimOptions(int argc, char** argv, SimOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        auto needValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= argc) return false;
            value = argv[++i];
            return true;
        };
        auto integer = [&](std::int64_t low, std::int64_t high, std::int64_t& out) -> bool {
            return needValue() && ParseInteger(value, low, high, out);
        };
        std::int64_t number = 0;
        const std::string bad = "bad value for " + name;
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--verbose") {
            options.verbose = true;
        } else if (name == "--reset") {
            options.reset = true;
        } else if (name == "--port") {
            if (!integer(0, 65535, number)) return bad;
            options.port = static_cast<int>(number);
        } else if (name == "--scenario") {
            if (!needValue()) return bad;
            options.scenario = value;
        } else if (name == "--file") {
            if (!needValue() || value.empty()) return bad;
            options.file = value;
        } else if (name == "--seed") {
            if (!integer(0, INT64_MAX, number)) return bad;
            options.source.seed = static_cast<std::uint64_t>(number);
        } else if (name == "--entries") {
            if (!integer(1, 10000, number)) return bad;
            options.source.maxEntries = static_cast<int>(number);
        } else if (name == "--flush-ms") {
            double ms = 0;
            if (!needValue() || !ParseNumber(value, ms) || ms < 0 || ms > 60000) return bad;
            options.source.flushGapUs = static_cast<std::int64_t>(ms * 1000);
        } else if (name == "--first-seq") {
            if (!integer(0, 0xFFFFFF, number)) return bad;
            options.source.firstSeq = number;
        } else if (name == "--rate") {
            if (!needValue()) return bad;
            if (value == "real") {
                options.pace = Pace::kRealTime;
            } else if (value == "fast") {
                options.pace = Pace::kFast;
            } else if (ParseNumber(value, options.ratePerSecond) && options.ratePerSecond > 0) {
                options.pace = Pace::kRate;
            } else {
                return bad;
            }
        } else if (name == "--coalesce") {
            if (!integer(1, 100000, number)) return bad;
            options.coalesce = static_cast<int>(number);
        } else if (name == "--split") {
            if (!integer(1, 1 << 20, number)) return bad;
            options.split = static_cast<int>(number);
        } else if (name == "--messages") {
            if (!integer(0, INT64_MAX, options.messages)) return bad;
        } else if (name == "--close-after") {
            if (!integer(0, INT64_MAX, options.closeAfter)) return bad;
        } else if (name == "--idle-after") {
            if (!integer(0, INT64_MAX, options.idleAfter)) return bad;
        } else if (name == "--partial") {
            if (!integer(0, 1 << 20, number)) return bad;
            options.partial = static_cast<int>(number);
        } else if (name == "--write-capture") {
            if (!needValue() || value.empty()) return bad;
            options.writeCapture = value;
        } else if (name == "--read-bytes") {
            if (!integer(1, static_cast<std::int64_t>(kMaxCaptureReadBytes), number)) return bad;
            options.readBytes = static_cast<int>(number);
        } else if (name == "--connections") {
            if (!integer(1, INT64_MAX, options.connections)) return bad;
        } else {
            return "unknown option " + name;
        }
    }
    if (options.help) return {};
    if (options.scenario.empty() == options.file.empty()) {
        return "give either --scenario NAME or --file F";
    }
    if (!options.scenario.empty() &&
        std::find(kScenarios.begin(), kScenarios.end(), options.scenario) == kScenarios.end()) {
        return "unknown scenario " + options.scenario +
               " (sony, odetics, vdcp, noise, faults, vdcp-faults)";
    }
    if (!options.writeCapture.empty()) {
        if (options.scenario.empty()) return "--write-capture takes --scenario NAME, not --file";
        if (options.messages < 0) return "--write-capture needs --messages N";
    }
    return {};
}

}  // namespace orvane::sim
