// Shared pieces of the front-end tests: paths, log comparison, hand-made capture-unit messages.
#include "cli_test_support.hpp"

#include <regex>

namespace orvane::test {

testing::AssertionResult HasTitleLine(const std::string& log) {
    static const std::regex kTitle(
        "\t\t\t\tOrvane Log [01][0-9]-[0-3][0-9]-[0-9]{4} "
        "[0-2][0-9]:[0-5][0-9]:[0-6][0-9]\r\n");
    const std::size_t end = log.find("\r\n");
    if (end == std::string::npos) return testing::AssertionFailure() << "no CR LF line";
    const std::string title = log.substr(0, end + 2);
    if (std::regex_match(title, kTitle)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "bad title line: " << title;
}

testing::AssertionResult SameLines(const std::string& expected, const std::string& actual) {
    if (expected == actual) return testing::AssertionSuccess();
    std::string difference = FirstDifference(SplitLines(expected), SplitLines(actual));
    if (difference.empty()) difference = "same lines, different line ends";
    return testing::AssertionFailure() << difference;
}

std::string UnitMessage(std::uint32_t sequence, const std::vector<Entry>& entries) {
    std::string bytes(5, '\0');
    bytes.push_back(static_cast<char>((sequence >> 16) & 0xFF));
    bytes.push_back(static_cast<char>((sequence >> 8) & 0xFF));
    bytes.push_back(static_cast<char>(sequence & 0xFF));
    for (const Entry& entry : entries) {
        bytes.push_back(static_cast<char>(entry.code | ((entry.tick >> 8) & 0x0F)));
        bytes.push_back(static_cast<char>(entry.tick & 0xFF));
        bytes.push_back(static_cast<char>(entry.value));
    }
    return bytes;
}

std::string UnitMessage(std::uint32_t sequence, std::initializer_list<Entry> entries) {
    return UnitMessage(sequence, std::vector<Entry>(entries));
}

std::vector<Entry> SideBytes(std::uint8_t code, int tick, std::initializer_list<int> values) {
    std::vector<Entry> entries;
    for (int value : values) entries.push_back({code, tick, static_cast<std::uint8_t>(value)});
    return entries;
}

}  // namespace orvane::test
