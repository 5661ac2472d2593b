// Tests of the VDCP decoder: descriptions of VDCP messages and acknowledges from packet texts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "decode/decoder.hpp"
#include "decode/vdcp_names.hpp"

namespace orvane {
namespace {

using namespace std::string_literals;

struct Case {
    std::string_view text;
    std::string expected;
};

void ExpectDescriptions(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeVdcp(c.text), c.expected) << '"' << c.text << '"';
    }
}

std::string ByteText(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X ", value & 0xFF);
    return text;
}

TEST(DecodeVdcp, Acknowledges) {
    ExpectDescriptions({
        {"04 ", "Ack"},
        {"05 ", "Nak"},
        {"06 ", ""},
        {"04", "Ack"},
        {"05", "Nak"},
        {"05 11 ", "Nak"},  // NAK with its error byte
        {"05 00", "Nak"},
        {"04 11 ", ""},
        {" 04 ", ""},  // a leading space makes an empty first field
    });
}

TEST(DecodeVdcp, NamesByTypeAndCodeIgnoringLowNibble) {
    ExpectDescriptions({
        {"02 02 10 01 ED ", "Play"},
        {"02 02 1F 01 DE ", "Play"},
        {"02 02 10 0B 00 ", ""},
        {"02 02 00 0C 00 ", "Local Disable"},
        {"02 02 50 60 00 ", "Abort Macro#"},
        {"02 02 30 82 00 ", "List of Id's "},
        {"02 02 30 15 00 ", "ID\x92s Added TO Arch."},
        {"02 02 30 A5 01 09 00 ", "State Status"},  // multi-port reply shows no states
        {"02 02 90 01 00 ", ""},
        {"02 02 40 01 00 ", ""},
        {"02 02 80 01 00 ", ""},
    });
}

TEST(DecodeVdcp, StateStatusShowsPortStatesOnlyForFirstByteOne) {
    ExpectDescriptions({
        {"02 04 30 85 01 09 3D ", "State Status: Idle Still"},
        {"02 04 30 85 02 09 3C ", "State Status"},
        {"02 04 30 85 01 00 00 ", "State Status:"},
        {"02 04 30 85 01 FF 00 ",
         "State Status: Idle Cue/Init Play or Record Still Jog Variable Play Port Busy "
         "Cue/Init Done"},
        {"02 04 30 85 01 80 00 ", "State Status: Cue/Init Done"},
        {"02 04 3A 85 01 24 00 ", "State Status: Play or Record Variable Play"},
        {"02 04 30 85 101 09 00 ", "State Status"},
    });
}

TEST(DecodeVdcp, PositionShowsTimeCodeWithoutChecksumVerdict) {
    ExpectDescriptions({
        {"02 07 30 86 01 00 00 10 01 00 ", "Position: 01:10:00:00"},
        {"02 07 30 86 01 00 00 10 01 5F ", "Position: 01:10:00:00"},
        {"02 07 30 86 01 C5 B0 D9 A3 00 ", "Position: 23:59:30:05"},
        {"02 02 30 86 00 ", "Position: 00:00:00:00"},  // missing bytes read as 0
    });
}

TEST(DecodeVdcp, IdentifiersShownAsCharacters) {
    ExpectDescriptions({
        {"02 0A 20 24 41 42 43 44 45 46 47 48 00 ", "Play Cue: ABCDEFGH"},
        {"02 0A 20 24 41 42 43 44 45 46 47 48 7E", "Play Cue: ABCDEFGH"},
        {"02 02 20 24 00 ", "Play Cue: "},
        {"02 02 20 24 ", "Play Cue: "},  // the last field is taken as the checksum
        {"02 05 30 88 56 44 52 00 ", "Device Type: VDR"},
        {"02 03 20 23 41 00 ", "Record Init: A"},
        {"02 03 20 26 41 00 ", "Delete ID: A"},
        {"02 03 20 27 41 00 ", "Get From Archive: A"},
        {"02 03 20 2A 41 00 ", "Send TO Archive: A"},
        {"02 03 20 2E 41 00 ", "System Delete ID: A"},
        {"02 04 20 24 41 08 00 ", "Play Cue: A\b"},
        {"02 05 20 24 00 FF 41 00 ",
         "Play Cue: \0\xFF"
         "A"s},
        {"02 03 20 24 141 00 ", "Play Cue: A"},  // only the low 8 bits of a wide field
        {"02 0A 50 64 41 42 00 ", "Get From Archive"},
        {"02 03 20 25 41 00 ", "Cue With Data"},
        {"02 03 20 2B 41 00 ", "% To Signal Full"},
        {"02 03 20 2C 41 00 ", "Record Init With Data"},
    });
}

TEST(DecodeVdcp, IdListSkipsTwoBytesAndShowsCode8AsSpace) {
    ExpectDescriptions({
        {"02 08 30 91 00 02 41 08 42 00 ", "List of ID's: A B"},
        {"02 08 30 91 00 02 00 ", "List of ID's: "},
        {"02 08 30 91 00 ", "List of ID's: "},
    });
}

TEST(DecodeVdcp, MalformedTextNeverFails) {
    ExpectDescriptions({
        {"", ""},
        {" ", ""},
        {"          ", ""},
        {"ZZ", ""},
        {"GG GG GG GG GG", ""},
        {"02 02 1Z 01 00", ""},   // "1Z" reads as 1: type 0, no name for code 1
        {"02 02 100 01 00", ""},  // type 0x10
        {"02 02 10 101 00", ""},  // code above 0xFF
        {"02 02 FFFFFFFFFFFFFFFFFFFFFF 01 00", ""},
        {"02  10 01 00", "Play"},  // an empty field still counts as a byte
        {"02 02 10 01", "Play"},
        {"02 02 10", "Stop"},  // the missing CMD-2 reads as 0
        {"02 02 10  ", "Stop"},
    });
}

TEST(DecodeVdcp, FieldsBeyondTheKept256AreIgnored) {
    // 300 fields: data from field 5 to the 256th, then bytes that must not show.
    std::string text = "02 FF 20 24 ";
    for (int field = 5; field <= 256; ++field) text += "41 ";
    for (int field = 257; field <= 300; ++field) text += "42 ";
    EXPECT_EQ(DecodeVdcp(text), "Play Cue: " + std::string(252, 'A'));

    // 256 fields: the 256th is the checksum and is not shown.
    std::string exact = "02 FF 20 24 ";
    for (int field = 5; field <= 255; ++field) exact += "41 ";
    exact += "42 ";
    EXPECT_EQ(DecodeVdcp(exact), "Play Cue: " + std::string(251, 'A'));

    std::string spaces(5000, ' ');
    EXPECT_EQ(DecodeVdcp("02 02 10 01 " + spaces + "00"), "Play");
    EXPECT_EQ(DecodeVdcp(spaces), "");
}

TEST(DecodeVdcp, SweepOneAndTwoBytePackets) {
    for (int first = 0; first < 256; ++first) {
        const std::string one = ByteText(first);
        const std::string expected = first == 4 ? "Ack" : first == 5 ? "Nak" : "";
        EXPECT_EQ(DecodeVdcp(one), expected) << one;
        for (int second = 0; second < 256; ++second) {
            const std::string two = one + ByteText(second);
            ASSERT_EQ(DecodeVdcp(two), first == 5 ? "Nak" : "") << two;
        }
    }
}

TEST(DecodeVdcp, SweepAllCommandBytesGivesTheirNames) {
    int named = 0;
    for (int cmd1 = 0; cmd1 < 256; ++cmd1) {
        for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
            const std::string text = "02 02 " + ByteText(cmd1) + ByteText(cmd2) + "00 ";
            const std::string description = DecodeVdcp(text);
            const std::string_view name = VdcpCommandName(cmd1 >> 4, cmd2);
            // A rule may add text after the name, never before it or without one.
            ASSERT_EQ(description.substr(0, name.size()), name) << text;
            if (name.empty()) {
                ASSERT_EQ(description, "") << text;
            } else {
                ++named;
            }
        }
    }
    EXPECT_EQ(named, 89 * 16);  // every low nibble of CMD-1 gives the same name
}

}  // namespace
}  // namespace orvane
