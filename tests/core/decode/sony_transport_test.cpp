// The transport control and Doremi disk groups: phrases, speed and step texts, cue-up texts.
#include "decode/sony_transport.hpp"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decode/decoder.hpp"

namespace orvane {
namespace {

using namespace std::string_literals;

struct Case {
    std::string_view packet;
    std::string expected;
};

std::string Decode(std::string_view packet, std::int32_t mode = kProtocolSony) {
    Decoder decoder(mode);
    return decoder.DecodePacket(packet);
}

void ExpectAll(const std::initializer_list<Case>& cases, std::int32_t mode) {
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.packet, mode), c.expected) << "packet '" << c.packet << "'";
    }
}

TEST(SonyTransport, PhrasesAndFallback) {
    ExpectAll(
        {
            {"20 00 20 ", "Stop"},
            {"20 01 21 ", "Play"},
            {"20 0D 2D ", "DMC Start"},
            {"20 64 84 ", "Edit Off (Select EE Off)"},
            {"20 92 B2 ", "Doremi Update Fields"},
            {"20 FF 1F ", "Unknown Transport Command"},
            {"20 03 23 ", "Unknown Transport Command"},
            // Trailing space kept, data never shown.
            {"22 A7 01 02 CC ", "Doremi Loop Segment "},
            {"21 AC 07 D4 ", "Doremi Save Segment "},
            // Any data count: the group is CMD1's high nibble only.
            {"2F 00 2F ", "Stop"},
        },
        kProtocolSony);
}

TEST(SonyTransport, SpeedTextsUseTheJogMask) {
    ExpectAll(
        {
            {"21 11 40 72 ", "Jog Forward 1.0x"},
            {"20 11 31 ", "Jog Forward 0.01x"},  // no data: both speed bytes read 0
            {"21 12 40 73 ", "Variable Forward 1.0x"},
            {"21 13 60 94 ", "Shuttle Forward 10.0x"},
            {"21 21 20 62 ", "Jog Reverse 0.1x"},
            {"21 22 40 83 ", "Variable Reverse 1.0x"},
            {"21 23 60 A4 ", "Shuttle Reverse 10.0x"},
            {"21 11 4F 81 ", "Jog Forward 2.943x"},
            {"22 21 40 80 03 ", "Jog Reverse 1.037x"},  // interpolated by DATA-2
            // The value is rounded to single precision before the three decimals: in double
            // precision these would show 39.494 and 49.860.
            {"22 11 73 16 BC ", "Jog Forward 39.493x"},
            {"22 11 76 52 FB ", "Jog Forward 49.861x"},
        },
        kProtocolSony);
}

TEST(SonyTransport, SpeedValue) {
    EXPECT_DOUBLE_EQ(SonySpeedValue(1, 64, 0), 1.0);
    EXPECT_DOUBLE_EQ(SonySpeedValue(1, 32, 0), 0.1);
    EXPECT_DOUBLE_EQ(SonySpeedValue(1, 0, 0), 0.01);
    EXPECT_DOUBLE_EQ(SonySpeedValue(1, 96, 0), 10.0);
    EXPECT_NEAR(SonySpeedValue(1, 79, 0), 2.9427, 1e-4);
    EXPECT_NEAR(SonySpeedValue(2, 64, 128), 1.0373, 1e-4);
    // With one data byte DATA-2 is not part of the speed; with none both read as 0.
    EXPECT_DOUBLE_EQ(SonySpeedValue(1, 64, 255), 1.0);
    EXPECT_DOUBLE_EQ(SonySpeedValue(0, 0, 0), 0.01);
}

TEST(SonyTransport, NumberTexts) {
    ExpectAll(
        {
            {"20 14 34 ", "Step Forward 0 field(s)"},
            {"21 14 03 38 ", "Step Forward 3 field(s)"},
            {"21 24 0A 4F ", "Step Reverse 10 field(s)"},
            {"21 38 05 5E ", "Program Play + .5%"},
            {"21 39 0F 69 ", "Program Play - 1.5%"},
            // DMC speeds show the exact value as a number text, not the jog mask.
            {"21 5C 40 BD ", "DMC Set Forward 1x"},
            {"21 5D 20 9E ", "DMC Set Reverse .1x"},
            {"21 5C 4F CC ", "DMC Set Forward 2.94272717620928x"},
            {"20 5C 7C ", "DMC Set Forward .01x"},
        },
        kProtocolSony);
}

TEST(SonyTransport, CueUpTextsByDataCount) {
    const std::initializer_list<Case> anyMode = {
        {"24 31 00 00 10 01 66 ", "Cueup with data 01:10:00:00"},
        // The raw time code keeps the flag bits.
        {"24 31 45 B0 D9 A3 C6 ", "Cueup with data A3:D9:B0:45"},
        // Missing data bytes read 0; the checksum field is never a data byte.
        {"24 31 00 00 10 65 ", "Cueup with data 00:10:00:00"},
        {"28 31 43 4C 49 50 30 30 30 31 42 ", "Odetics Load Clip & Cue to First Frame: CLIP0001"},
        {"28 31 41 42 00 00 00 00 00 00 DC ",
         "Odetics Load Clip & Cue to First Frame: AB\0\0\0\0\0\0"s},
        {"2C 31 00 00 10 01 4E 41 4D 45 00 00 00 00 8F ",
         "Odeteics Load Clip & Cue to: 01:10:00:00   Clip: NAME\0\0\0\0"s},
        {"21 31 05 57 ", ""},
        {"22 31 01 02 56 ", ""},
    };
    ExpectAll(anyMode, kProtocolSony);
    ExpectAll(anyMode, kProtocolOdetics);

    EXPECT_EQ(Decode("20 31 51 ", kProtocolOdetics), "Odetics Cue to First Frame of Clip");
    EXPECT_EQ(Decode("20 31 51 ", kProtocolSony), "");
    EXPECT_EQ(Decode("20 31 51 ", 7), "");  // any other mode is Sony
}

TEST(SonyDoremiDisk, PhrasesAndChannelControl) {
    ExpectAll(
        {
            {"30 04 34 ", "Doremi Initialize Disks "},
            {"30 0A 3A ", "Doremi Mount Specific Disk ID in DATA1 "},
            {"30 FF 2F ", " Unknown Doremi Command"},
            {"30 03 33 ", " Unknown Doremi Command"},
            {"31 10 00 41 ", "Doremi Channel Control = Recorder"},
            {"31 10 01 42 ", "Doremi Channel Control = Player"},
            {"31 10 05 46 ", " Unknown Doremi Channel Control"},
            {"30 10 40 ", "Doremi Channel Control = Recorder"},  // no data: DATA-1 reads 0
            {"34 10 01 00 00 00 45 ", "Doremi Channel Control = Player"},
        },
        kProtocolSony);
}

}  // namespace
}  // namespace orvane
