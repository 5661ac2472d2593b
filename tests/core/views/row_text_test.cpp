// Tests of the cell texts shared by both views: row numbers, times and hexadecimal numbers.
#include "views/row_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace orvane {
namespace {

TEST(RowText, MasksAndHexadecimalForms) {
    EXPECT_EQ(EventText(1), "00001");
    EXPECT_EQ(EventText(99999), "99999");
    EXPECT_EQ(EventText(100000), "100000");
    EXPECT_EQ(EventText(100001), "100001");
    EXPECT_EQ(TimeText(0), "0000.000");
    EXPECT_EQ(TimeText(12345), "0012.345");
    EXPECT_EQ(TimeText(1500), "0001.500");
    EXPECT_EQ(TimeText(7), "0000.007");
    EXPECT_EQ(TimeText(12345678), "12345.678");
    EXPECT_EQ(UpperHexText(0), "0");
    EXPECT_EQ(UpperHexText(0x0F), "F");
    EXPECT_EQ(UpperHexText(0xABCDEF), "ABCDEF");
    EXPECT_EQ(UpperHexText(0x100), "100");
}

TEST(RowText, EveryByteValueGivesTwoUpperCaseDigitsAndASpace) {
    const std::string digits = "0123456789ABCDEF";
    for (int value = 0; value < 256; ++value) {
        std::string text;
        AppendHexByte(text, value);
        const std::string expected = {digits[value >> 4], digits[value & 15], ' '};
        EXPECT_EQ(text, expected) << value;
    }
}

}  // namespace
}  // namespace orvane
