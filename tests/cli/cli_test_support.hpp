// Shared pieces of the front-end tests: running the programs, data paths and log comparison.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "child_process.hpp"

namespace orvane::test {

inline std::vector<std::string> Join(std::vector<std::string> first,
                                     const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// orvane-cli run to its end with these arguments.
inline ProcessResult RunCli(const std::vector<std::string>& args, const std::string& input = {}) {
    return RunProcess(Join({ORVANE_CLI_PATH}, args), input, 60000);
}

// orvane-cli's arguments for a capture from the unit on 127.0.0.1:port.
inline std::vector<std::string> CaptureArgs(int port, const std::vector<std::string>& options) {
    return Join(
        {ORVANE_CLI_PATH, "capture", "--address", "127.0.0.1", "--port", std::to_string(port)},
        options);
}

// Everything a simulator started with these options sends on a connection.
inline std::string UnitStream(const std::vector<std::string>& options) {
    Simulator sim(options);
    return ReadWholeStream(sim.port());
}

inline std::string DataPath(const std::string& name) {
    return std::string(ORVANE_TEST_DATA_DIR) + "/cli/" + name;
}

// The log without its title line, whose date and time change from run to run.
inline std::string LogBody(const std::string& log) {
    const std::size_t end = log.find("\r\n");
    return end == std::string::npos ? std::string() : log.substr(end + 2);
}

// The lines of a log without its title.
inline std::vector<std::string> LogLines(const std::string& log) {
    return SplitLines(LogBody(log));
}

// The title line: four TABs, "Orvane Log ", MM-DD-YYYY HH:MM:SS, CR LF.
inline testing::AssertionResult HasTitleLine(const std::string& log) {
    static const std::regex kTitle(
        "\t\t\t\tOrvane Log [01][0-9]-[0-3][0-9]-[0-9]{4} "
        "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n");
    const std::string title = log.substr(0, log.find("\r\n") + 2);
    if (std::regex_match(title, kTitle)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "bad title line: " << title;
}

// Compares two log bodies, naming the first differing line.
inline testing::AssertionResult SameLines(const std::string& expected, const std::string& actual) {
    if (expected == actual) return testing::AssertionSuccess();
    const std::vector<std::string> want = SplitLines(expected), got = SplitLines(actual);
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        const std::string a = i < want.size() ? want[i] : "(none)";
        const std::string b = i < got.size() ? got[i] : "(none)";
        if (a != b || i >= want.size() || i >= got.size()) {
            return testing::AssertionFailure()
                   << "line " << i + 1 << " differs:\n  expected: " << a << "\n  actual:   " << b;
        }
    }
    return testing::AssertionFailure() << "same lines, different line ends";
}

}  // namespace orvane::test
