// orvane-cli: the headless front end (decode, replay, capture, stats).
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/capture_command.hpp"
#include "cli/cli_options.hpp"
#include "cli/decode_command.hpp"
#include "cli/replay_command.hpp"
#include "cli/stats_command.hpp"

int main(int argc, char** argv) {
    using orvane::cli::Command;
    // A reader that closes the pipe early (`orvane-cli replay F | head`) ends the program quietly,
    // as it ends any other command-line tool.
    std::signal(SIGPIPE, SIG_DFL);
    orvane::cli::CliOptions options;
    const std::string error = orvane::cli::ParseCommandLine(argc, argv, options);
    if (!error.empty()) {
        std::fprintf(stderr, "orvane-cli: %s (see orvane-cli --help)\n", error.c_str());
        return 2;
    }
    switch (options.command) {
        case Command::kDecode:
            return orvane::cli::RunDecode(options, stdin, stdout);
        case Command::kReplay:
            return orvane::cli::RunReplay(options);
        case Command::kCapture:
            return orvane::cli::RunCapture(options);
        case Command::kStats:
            return orvane::cli::RunStats(options);
        case Command::kHelp:
            break;
    }
    // The stats command's lines go after the other commands', before the options.
    std::string usage = orvane::cli::UsageText();
    const std::size_t optionsAt = usage.find("\nOptions:");
    usage.insert(optionsAt == std::string::npos ? usage.size() : optionsAt + 1,
                 orvane::cli::StatsUsageText());
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
