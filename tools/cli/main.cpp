// orvane-cli: the headless front end (decode, replay, capture).
#include <csignal>
#include <cstdio>
#include <string>

#include "cli/capture_command.hpp"
#include "cli/cli_options.hpp"
#include "cli/decode_command.hpp"
#include "cli/replay_command.hpp"

int main(int argc, char** argv) {
    using orvane::cli::Command;
    // A closed pipe on standard output is a write failure to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
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
        case Command::kHelp:
            break;
    }
    const std::string usage = orvane::cli::UsageText();
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
