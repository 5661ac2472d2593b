// The preset and select group: time-code presets, Odetics forms, edit preset, select modes.
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

void ExpectAll(const std::initializer_list<Case>& cases, std::int32_t mode) {
    Decoder decoder(mode);
    for (const Case& c : cases) {
        EXPECT_EQ(decoder.DecodePacket(c.packet), c.expected) << "packet '" << c.packet << "'";
    }
}

TEST(SonyPresetSelect, PhrasesAndFallback) {
    ExpectAll(
        {
            {"40 00 40 ", "Timer-1 Preset"},
            {"40 1F 5F ", "Audio Out - Shift"},
            {"40 2D 6D ", "Lost Lock Reset"},
            {"40 FA 3A ", "Standby Off time"},
            {"43 78 01 02 03 C1 ", "Doremi Sync Offset = "},  // no data shown
            {"40 FF 3F ", " Unknown Preset and Select Command"},
            {"40 3D 7D ", " Unknown Preset and Select Command"},
        },
        kProtocolSony);
}

TEST(SonyPresetSelect, SonyPresetsShowTheMaskedTimeCodeAndChecksumVerdict) {
    ExpectAll(
        {
            {"44 14 00 00 10 01 69 ", "In Preset 01:10:00:00"},
            {"44 14 00 00 10 01 00 ", "In Preset 01:10:00:00 CheckSum Error"},
            {"44 15 00 00 10 01 6A ", "Out Preset 01:10:00:00"},
            {"44 16 00 00 10 01 6B ", "Audio In Data Preset 01:10:00:00"},
            {"44 16 00 00 10 01 00 ", "Audio In Data Preset 01:10:00:00 CheckSum Error"},
            {"44 17 00 00 10 01 6C ", "Audio Out Data Preset 01:10:00:00"},
            {"44 14 45 00 10 01 AE ", "In Preset 01:10:00:05"},  // drop-frame flag masked
            {"44 31 00 30 00 00 A5 ", "Preroll time preset = 00:00:30:00"},
            {"44 3C 00 10 00 00 90 ", "Set Postroll = 00:00:10:00"},
            // The Odetics forms belong to Odetics mode only.
            {"40 14 54 ", "In Preset 00:00:00:00"},
            {"48 14 43 4C 49 50 30 30 30 31 45 ", "In Preset 50:49:4C:03"},
        },
        kProtocolSony);
}

TEST(SonyPresetSelect, OdeticsPresetForms) {
    ExpectAll(
        {
            {"44 14 00 00 10 01 69 ", "In Preset 01:10:00:0001:10:00:00"},
            {"44 14 45 00 10 01 AE ", "In Preset 01:10:00:0501:10:00:45"},
            // The raw time code follows the verdict directly.
            {"44 14 00 00 10 01 00 ", "In Preset 01:10:00:00 CheckSum Error01:10:00:00"},
            {"40 14 54 ", "In Preset 00:00:00:00, Start of Loaded Clip"},
            {"48 14 43 4C 49 50 30 30 30 31 45 ", "In Preset 50:49:4C:03CLIP0001"},
            {"4C 14 00 00 10 01 4E 41 4D 45 00 00 00 00 92 ",
             "In Preset 01:10:00:00NAME\0\0\0\0 at 01:10:00:00"s},
            {"42 14 01 02 59 ", "In Preset 00:00:02:01 Invalid data"},
            {"40 15 55 ", "Out Preset 00:00:00:00, To End of Loaded Clip"},
            {"44 15 00 00 10 01 6A ", "Out Preset 01:10:00:0001:10:00:00"},
            {"42 15 01 02 5A ", "Out Preset 00:00:02:01 Invalid data"},
            {"48 15 43 4C 49 50 30 30 30 31 46 ", "Out Preset 50:49:4C:03 Invalid data"},
            // Audio data presets become in and out points, raw and without a verdict.
            {"44 16 00 00 10 01 6B ", "Odetics In Preset = 01:10:00:00"},
            {"44 16 45 00 10 01 B0 ", "Odetics In Preset = 01:10:00:45"},
            {"44 16 00 00 10 01 00 ", "Odetics In Preset = 01:10:00:00"},
            {"44 17 00 00 10 01 6C ", "Odetics Out Preset = 01:10:00:00"},
        },
        kProtocolOdetics);
}

TEST(SonyPresetSelect, EditPresetChannelNames) {
    ExpectAll(
        {
            {"41 30 41 B2 ", "Edit Preset Insert A1/Cue"},
            {"41 30 00 71 ", "Edit Preset All Off"},
            {"40 30 70 ", "Edit Preset All Off"},
            {"43 30 10 03 00 86 ", "Edit Preset V DA2 DA1"},
            {"41 30 8F 00 ", "Edit Preset bit7 A1/Cue A2/Cue TC/A3 Sync/A4"},
            {"43 30 00 80 01 F4 ", "Edit Preset All Off DA8 DA9"},
            // DATA-2 names need a data count above 1, even when the text holds the byte.
            {"41 30 00 FF 70 ", "Edit Preset All Off"},
            {"42 30 00 FF 71 ", "Edit Preset All Off DA8 DA7 DA6 DA5 DA4 DA3 DA2 DA1"},
            {"44 30 FF FF FF 01 72 ",
             "Edit Preset bit7 Insert Assemble V A1/Cue A2/Cue TC/A3 Sync/A4"
             " DA8 DA7 DA6 DA5 DA4 DA3 DA2 DA1 DA16 DA15 DA14 DA13 DA12 DA11 DA10 DA9"
             " >16 audio tracks"},
        },
        kProtocolSony);
}

TEST(SonyPresetSelect, SelectModesJoinAsTheyStand) {
    ExpectAll(
        {
            {"41 32 FF 72 ", "Tape/Auto Select Follows Menu Mode"},
            {"41 32 00 73 ", "Tape/Auto Select Auto (Tape/EE)"},
            {"41 32 05 78 ", "Tape/Auto Select "},  // unknown mode: nothing added
            {"41 33 01 75 ", "Servo Ref Select - External"},
            {"41 33 FF 73 ", "Servo Ref Select - Follows Menu Mode"},
            {"41 34 01 76 ", "Head Select"},
            {"41 35 03 79 ", "Color Frame Select 8 field"},
            {"41 36 FF 76 ", "Timer Mode Select Follows Field Lock in system menu"},
            {"41 37 00 78 ", "Input Check  Off"},
            {"41 37 01 79 ", "Input Check  Input sent to Video & Audio Monitor Connectors"},
            {"41 3A 02 7D ", "Edit Field Select Field 2"},
            {"41 3B 00 7C ", "Freeze Mode Select  F1/F2"},
            {"41 3B 10 8C ", "Freeze Mode Select  Field 2"},
            {"41 3B 11 8D ", "Freeze Mode Select  Frame"},
            {"41 3B 02 7E ", "Freeze Mode Select "},
        },
        kProtocolSony);
}

}  // namespace
}  // namespace orvane
