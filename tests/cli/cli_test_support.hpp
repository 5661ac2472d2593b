// Shared pieces of the front-end tests: data paths and log comparison.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "child_process.hpp"

namespace orvane::test {

inline std::string DataPath(const std::string& name) {
    return std::string(ORVANE_TEST_DATA_DIR) + "/cli/" + name;
}

// The log without its title line, whose date and time change from run to run.
inline std::string LogBody(const std::string& log) {
    const std::size_t end = log.find("\r\n");
    return end == std::string::npos ? std::string() : log.substr(end + 2);
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
