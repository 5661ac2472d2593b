// Shared pieces of the front-end tests: data paths and log comparison.
#include "cli_test_support.hpp"

#include <regex>

namespace orvane::test {

testing::AssertionResult HasTitleLine(const std::string& log) {
    static const std::regex kTitle(
        "\t\t\t\tOrvane Log [01][0-9]-[0-3][0-9]-[0-9]{4} "
        "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n");
    const std::string title = log.substr(0, log.find("\r\n") + 2);
    if (std::regex_match(title, kTitle)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "bad title line: " << title;
}

testing::AssertionResult SameLines(const std::string& expected, const std::string& actual) {
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
