// The lenient number parse and the stored number text.
#include "settings/number_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>

namespace orvane {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ParseCase {
    std::string_view text;
    std::int32_t expected;
};

TEST(ParseNumberPrefix, ReadsTheLongestNumberPrefix) {
    constexpr ParseCase kCases[] = {
        {"23", 23},
        {" 23", 23},
        {"  12abc", 12},
        {" \t\n7", 7},
        {"\r7", 0},
        {"abc", 0},
        {"", 0},
        {"-5", -5},
        {"+7", 7},
        {"- 5", 0},
        {"00012", 12},
        {"1,5", 1},
        {"1.", 1},
        {".6", 1},
        {".", 0},
        {"1e3", 1000},
        {"1.5e1", 15},
        {"25e-1", 2},
        {"1E+2", 100},
        {"12e", 12},
        {"1e+", 1},
        {"1e3x", 1000},
        {"0.00000000000000000000000001e26", 1},
        {"&H1F", 31},
        {"&h1f", 31},
        {"&B101", 5},
        {"&b102", 2},
        {"&O17", 15},
        {"&o17", 15},
        {"&Q17", 15},
        {"&q17", 15},
        {"&17", 15},
        {"&18", 1},
        {"&", 0},
        {"&H", 0},
        {"&HZZ", 0},
        {" &H10", 16},
        {"-&H10", 0},
    };
    for (const ParseCase& c : kCases) {
        EXPECT_EQ(ParseNumberPrefix(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ParseNumberPrefix, RoundsHalvesToEvenOnTheExactDigits) {
    constexpr ParseCase kCases[] = {
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"-3.5", -4},
        {"0.5", 0},
        {"1.5", 2},
        {"-0.5", 0},
        {"-0.4", 0},
        {"2.49", 2},
        {"2.51", 3},
        {"25e-1", 2},
        {"35e-1", 4},
        {"2.50000000000000000001", 3},
        {"2.49999999999999999999", 2},
    };
    for (const ParseCase& c : kCases) {
        EXPECT_EQ(ParseNumberPrefix(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ParseNumberPrefix, ClampsValuesOutsideThe32BitRange) {
    constexpr ParseCase kCases[] = {
        {"2147483647", kMax},
        {"2147483648", kMax},
        {"2147483646.5", 2147483646},
        {"2147483647.5", kMax},
        {"-2147483648", kMin},
        {"-2147483649", kMin},
        {"-2147483648.5", kMin},
        {"99999999999999999999999", kMax},
        {"1e999999999999999", kMax},
        {"-1e20", kMin},
        {"1e-999999999999", 0},
        {"&H7FFFFFFF", kMax},
        {"&HFFFFFFFF", kMax},
        {"&HFFFFFFFFFFFFFFFFFFFF", kMax},
        {"&B11111111111111111111111111111111111111", kMax},
    };
    for (const ParseCase& c : kCases) {
        EXPECT_EQ(ParseNumberPrefix(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(SettingsNumberText, LeadingSpaceForZeroAndAboveAndReadsBack) {
    constexpr struct {
        std::int32_t value;
        std::string_view text;
    } kCases[] = {{23, " 23"},          {0, " 0"},  {1, " 1"},
                  {570, " 570"},        {-5, "-5"}, {kMax, " 2147483647"},
                  {kMin, "-2147483648"}};
    for (const auto& c : kCases) {
        EXPECT_EQ(SettingsNumberText(c.value), c.text);
        EXPECT_EQ(ParseNumberPrefix(SettingsNumberText(c.value)), c.value);
    }
}

}  // namespace
}  // namespace orvane
