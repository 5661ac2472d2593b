// The lenient number parse of the settings file and the number text it stores.
#include "settings/number_text.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "../capture/capture_test_support.hpp"

namespace orvane {
namespace {

TEST(ParseNumberPrefix, ReadsTheNumberAtTheStart) {
    for (const auto& row : testing::ReadTable("settings/number_prefix.tsv")) {  // text, number
        std::string text;
        for (std::size_t i = 0; i < row[0].size(); ++i) {
            const bool escape = row[0][i] == '\\' && i + 1 < row[0].size();
            text += !escape              ? row[0][i]
                    : row[0][++i] == 't' ? '\t'
                    : row[0][i] == 'n'   ? '\n'
                                         : '\r';
        }
        EXPECT_EQ(ParseNumberPrefix(text), std::stoll(row[1])) << '"' << row[0] << '"';
    }
}

TEST(SettingsNumberText, LeadingSpaceForZeroAndAboveAndReadsBack) {
    const std::pair<std::int32_t, std::string> kCases[] = {
        {0, " 0"}, {-5, "-5"}, {2147483647, " 2147483647"}, {-2147483647 - 1, "-2147483648"}};
    for (const auto& [value, text] : kCases) {
        EXPECT_EQ(SettingsNumberText(value), text);
        EXPECT_EQ(ParseNumberPrefix(text), value);
    }
}

}  // namespace
}  // namespace orvane
