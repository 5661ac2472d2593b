// Tests of the decoders' shared text forms: checksum, time code, hexadecimal, number and speed.
#include "decode/text_format.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {
namespace {

TEST(ComputeChecksum, ComparesLastByteWithLowBitsOfSum) {
    struct Case {
        std::string_view text;
        int received;
        int computed;
    };
    const Case cases[] = {
        {"20 01 21", 0x21, 0x21},
        {"20 01 22", 0x22, 0x21},
        {"74 04 00 00 10 01 89", 0x89, 0x89},
        {"74 04 00 00 10 01 00", 0x00, 0x89},
        {"FF FF 8B 89", 0x89, 0x89},  // byte sum 0x189: only the low 8 bits count
        {"20 01 21 ", 0x21, 0x21},    // the list's trailing space changes nothing
        {"", 0, 0},
        {"   ", 0, 0},
        {"7F", 0x7F, 0},            // one field: nothing summed against it
        {"20  01 21", 0x21, 0x21},  // an empty field reads as 0
        {"120 01 21", 0x21, 0x21},  // a three-digit field adds its low bits
        {"20 01 1FF", 0xFF, 0x21},
    };
    for (const Case& c : cases) {
        const Checksums sums = ComputeChecksum(c.text);
        EXPECT_EQ(sums.received, c.received) << '"' << c.text << '"';
        EXPECT_EQ(sums.computed, c.computed) << '"' << c.text << '"';
    }
}

TEST(ComputeChecksum, SurvivesManyHugeFields) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "FFFFFFFFFFFFFFFFFFFF ";
    text += "00";
    const Checksums sums = ComputeChecksum(text);
    EXPECT_EQ(sums.received, 0);
    EXPECT_EQ(sums.computed, (300 * 0xFF) & 0xFF);
}

TEST(FormatTimeCode, MasksFlagBitsAndShowsBcdDigits) {
    struct Case {
        int hours, minutes, seconds, frames;
        std::string_view expected;
    };
    const Case cases[] = {
        {0x01, 0x10, 0x00, 0x00, "01:10:00:00"},
        {0x23, 0x59, 0x30, 0x45, "23:59:30:05"},
        {0xA3, 0xD9, 0xB0, 0xC5, "23:59:30:05"},
        {0x41, 0x00, 0x00, 0x00, "41:00:00:00"},  // bit 6 of the hours byte stays
        {0x1A, 0x00, 0x00, 0x00, "1A:00:00:00"},  // not BCD: shown as it stands
        {0xFF, 0xFF, 0xFF, 0xFF, "7F:7F:7F:3F"},
        {-1, 0x100, 0x17F, 0x29, "7F:00:7F:29"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatTimeCode(c.hours, c.minutes, c.seconds, c.frames), c.expected);
    }
}

TEST(HexForms, TwoDigitsKeepLastTwoOneDigitKeepsLowNibble) {
    EXPECT_EQ(TwoDigitHex(5), "05");
    EXPECT_EQ(TwoDigitHex(0xAB), "AB");
    EXPECT_EQ(TwoDigitHex(0), "00");
    EXPECT_EQ(TwoDigitHex(0x1FE), "FE");
    EXPECT_EQ(TwoDigitHex(-1), "FF");
    EXPECT_EQ(OneDigitHex(10), "A");
    EXPECT_EQ(OneDigitHex(0), "0");
    EXPECT_EQ(OneDigitHex(15), "F");
    EXPECT_EQ(OneDigitHex(0x1C), "C");
    for (int value = 0; value < 256; ++value) {
        const std::string text = TwoDigitHex(value);
        ASSERT_EQ(text.size(), 2u);
        EXPECT_EQ(ReadHexField(text), value) << text;
    }
}

TEST(NumberText, LeadingSpaceNoZeroBeforePointFifteenDigits) {
    struct Case {
        double value;
        std::string_view expected;
    };
    const Case cases[] = {
        {3, " 3"},
        {10, " 10"},
        {0, " 0"},
        {-0.0, " 0"},
        {0.5, " .5"},
        {1.5, " 1.5"},
        {0.01, " .01"},
        {0.1, " .1"},
        {-2, "-2"},
        {-0.25, "-.25"},
        {1000000, " 1000000"},
        {123456.5, " 123456.5"},
        {0.1 + 0.2, " .3"},  // 0.30000000000000004 rounds at 15 digits
        {1.0 / 3.0, " .333333333333333"},
        {2.0 / 3.0, " .666666666666667"},
        {12345678901234567.0, " 12345678901234600"},  // no exponent form
        {0.00001234, " .00001234"},
        {25.6, " 25.6"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NumberText(c.value), c.expected) << c.value;
    }
}

TEST(SpeedText, RoundsFloatToThreeDecimals) {
    struct Case {
        double value;
        std::string_view expected;
    };
    const Case cases[] = {
        {1, "1.0"},
        {0.1, "0.1"},
        {0.01, "0.01"},  // the float lies just below 0.01
        {10, "10.0"},
        {2.9427, "2.943"},
        {93.0572, "93.057"},
        {1.0373, "1.037"},
        {0, "0.0"},
        {0.0625, "0.063"},  // an exact half in the float: away from zero
        {0.0004, "0.0"},    // below half a thousandth
        {0.0005, "0.001"},  // the float of 0.0005 lies above the half
        {2.0005, "2.0"},    // its float lies below the half: decided on the float's value
        {12345.6789, "12345.679"},
        {1000000, "1000000.0"},
        {-1.25, "-1.25"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpeedText(c.value), c.expected) << c.value;
    }
}

TEST(ReadHexField, ReadsHexPrefixAndNeverOverflows) {
    struct Case {
        std::string_view field;
        std::int64_t expected;
    };
    const Case cases[] = {
        {"", 0},
        {"00", 0},
        {"FF", 255},
        {"ff", 255},
        {"7a", 0x7A},
        {"100", 0x100},
        {"1G", 1},
        {"G1", 0},
        {"-1", 0},
        {" 5", 0},
        {"123456789ABCDEF", 0x123456789ABCDEF},
        {"F123456789ABCDEF", 0x123456789ABCDEF},  // only the last 15 digits count
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", 0xFFFFFFFFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadHexField(c.field), c.expected) << '"' << c.field << '"';
    }
}

TEST(SplitFields, SplitsAtEverySingleSpace) {
    using Fields = std::vector<std::string_view>;
    EXPECT_EQ(SplitFields(""), Fields{});
    EXPECT_EQ(SplitFields("20"), Fields{"20"});
    EXPECT_EQ(SplitFields("20 01 21"), (Fields{"20", "01", "21"}));
    EXPECT_EQ(SplitFields("20  01"), (Fields{"20", "", "01"}));
    EXPECT_EQ(SplitFields("20 01 "), (Fields{"20", "01", ""}));
    EXPECT_EQ(SplitFields(" 20"), (Fields{"", "20"}));
    EXPECT_EQ(SplitFields(" "), (Fields{"", ""}));
}

}  // namespace
}  // namespace orvane
