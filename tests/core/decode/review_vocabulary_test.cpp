// Every phrase of every vocabulary, spelled and spaced as the deck's command sets list them,
// and the flag rules whose bits overlap.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>

#include "decode/decoder.hpp"

namespace orvane {
namespace {

struct Row {
    int code;
    std::string_view text;
};

// A packet text as the list holds it, with a correct checksum.
std::string SonyText(int cmd1, int cmd2, std::initializer_list<int> data = {}) {
    std::string text;
    int sum = 0;
    auto append = [&](int value) {
        char field[4];
        std::snprintf(field, sizeof field, "%02X ", value & 0xFF);
        text += field;
        sum += value;
    };
    append(cmd1);
    append(cmd2);
    for (const int value : data) append(value);
    append(sum);
    return text;
}

// Each phrase must come out exactly, with no data count and with data bytes that must not show.
void ExpectPhrases(int group, const std::initializer_list<Row>& rows) {
    for (const std::int32_t mode : {kProtocolSony, kProtocolOdetics}) {
        Decoder decoder(mode);
        for (const Row& row : rows) {
            for (const std::string& text :
                 {SonyText(group, row.code), SonyText(group | 3, row.code, {0x41, 0x02, 0xFF})}) {
                EXPECT_EQ(decoder.DecodePacket(text), row.text) << "'" << text << "' mode " << mode;
            }
        }
    }
}

TEST(ReviewVocabulary, TransportPhrases) {
    ExpectPhrases(0x20, {
                            {0x00, "Stop"},
                            {0x01, "Play"},
                            {0x02, "Record"},
                            {0x04, "Standby Off"},
                            {0x05, "Standby On"},
                            {0x0D, "DMC Start"},
                            {0x0F, "Eject"},
                            {0x10, "Fast Forward"},
                            {0x20, "Rewind"},
                            {0x30, "Cue with preroll"},
                            {0x34, "Sync Play"},
                            {0x37, "Doremi Chase"},
                            {0x3C, "DMC cue up with preroll"},
                            {0x40, "Preview"},
                            {0x41, "Review"},
                            {0x42, "Auto Edit"},
                            {0x43, "Outpoint Preview"},
                            {0x4B, "DMC Run"},
                            {0x4C, "DMC Preview"},
                            {0x52, "Tension Release"},
                            {0x54, "Anticlog Timer Disable"},
                            {0x55, "Anticlog Timer Enable"},
                            {0x60, "Full EE Off"},
                            {0x61, "Full EE On"},
                            {0x63, "Select EE On"},
                            {0x64, "Edit Off (Select EE Off)"},
                            {0x65, "Edit On"},
                            {0x6A, "Freeze Off"},
                            {0x6B, "Freeze On"},
                            {0x90, "Doremi Chase Off"},
                            {0x91, "Doremi Chase On"},
                            {0x92, "Doremi Update Fields"},
                            {0xA7, "Doremi Loop Segment "},
                            {0xAC, "Doremi Save Segment "},
                        });
}

TEST(ReviewVocabulary, DoremiDiskPhrases) {
    ExpectPhrases(0x30, {
                            {0x04, "Doremi Initialize Disks "},
                            {0x05, "Doremi Format Disk "},
                            {0x06, "Doremi Reserved Command "},
                            {0x07, "Doremi Mount Active Disks "},
                            {0x08, "Doremi Stripe Timecode "},
                            {0x09, "Doremi Reset V1 "},
                            {0x0A, "Doremi Mount Specific Disk ID in DATA1 "},
                        });
}

TEST(ReviewVocabulary, PresetAndSelectPhrases) {
    ExpectPhrases(0x40, {
                            {0x00, "Timer-1 Preset"},
                            {0x04, "Time Code Preset"},
                            {0x05, "User Bit Preset"},
                            {0x08, "Timer-1 Reset"},
                            {0x10, "In Entry"},
                            {0x11, "Out Entry"},
                            {0x12, "Audio In Entry"},
                            {0x13, "Audio Out Entry"},
                            {0x18, "In + Shift"},
                            {0x19, "In - Shift"},
                            {0x1A, "Out + Shift"},
                            {0x1B, "Out - Shift"},
                            {0x1C, "Audio In + Shift"},
                            {0x1D, "Audio In - Shift"},
                            {0x1E, "Audio Out + Shift"},
                            {0x1F, "Audio Out - Shift"},
                            {0x20, "In Flag Reset"},
                            {0x21, "Out Flag Reset"},
                            {0x22, "Audio In Flag Reset"},
                            {0x23, "Audio Out Flag Reset"},
                            {0x24, "In Recall"},
                            {0x25, "Out Recall"},
                            {0x26, "Audio In Recall"},
                            {0x27, "Audio Out Recall"},
                            {0x2D, "Lost Lock Reset"},
                            {0x34, "Head Select"},
                            {0x3E, "Record Inhibit"},
                            {0x40, "Auto Mode Off"},
                            {0x41, "Auto Mode On"},
                            {0x42, "Spot Erase On"},
                            {0x43, "Spot Erase Off"},
                            {0x44, "Audio Split Off"},
                            {0x45, "Audio Split On"},
                            {0x78, "Doremi Sync Offset = "},
                            {0x98, "Output H Phase"},
                            {0x9B, "Output Video Phase"},
                            {0xA0, "Audio Input Level"},
                            {0xA1, "Audio Output Level"},
                            {0xA2, "Audio Adv Level"},
                            {0xA8, "Audio Output Phase"},
                            {0xA9, "Audio Adv Out Phase"},
                            {0xAA, "Cross Fade Time Preset"},
                            {0xB8, "Local Key Map"},
                            {0xF8, "Still Off time"},
                            {0xFA, "Standby Off time"},
                        });
}

TEST(ReviewVocabulary, SenseRequestPhrases) {
    ExpectPhrases(0x60, {
                            {0x0A, "TC Gen Sense"},
                            {0x10, "In Data Sense"},
                            {0x11, "Out Data Sense"},
                            {0x12, "Audio In Data Sense"},
                            {0x13, "Audio Out Data Sense"},
                            {0x21, "Extended VTR Status"},
                            {0x23, "Signal Control Sense"},
                            {0x28, "Local Key Map Sense"},
                            {0x2A, "Head Meter Sense"},
                            {0x2B, "Remaining Time Sense"},
                            {0x2E, "Cmd Speed Sense"},
                            {0x31, "Preroll Time Sense"},
                            {0x36, "Timer Mode Sense"},
                            {0x3E, "Record Inhibit Sense"},
                            {0x52, "DA Inp Emph Sense"},
                            {0x53, "DA PB Emph Sense"},
                            {0x58, "DA Samp. Freq. Sense"},
                            {0xAA, "Cross Fade Time Sense"},
                        });
}

TEST(ReviewVocabulary, ReplyPhrasesWithoutTimeCode) {
    ExpectPhrases(0x70, {
                            {0x0D, "Request Time Data Missing"},
                            {0x21, "Extended Status Data"},
                            {0x23, "Signal Control Data"},
                            {0x28, "Local Key Map"},
                            {0x2A, "Head Meter Data"},
                            {0x2B, "Remaining Time"},
                            {0x2E, "Cmd Speed Data"},
                            {0x30, "Edit Preset Status"},
                            {0x31, "Preroll Time"},
                            {0x36, "Timer Mode Status"},
                            {0x3E, "Record Inhibit Status"},
                            {0x52, "DA Input Emphasis Data"},
                            {0x53, "DA Playback Emphasis Data"},
                            {0x58, "DA Sampling Frequency Data"},
                            {0xAA, "Cross Fade Time Data"},
                        });
}

TEST(ReviewVocabulary, TimeDataReplyPhrases) {
    const Row rows[] = {
        {0x00, "CTL Time Data "},
        {0x01, "Timer 2 Data "},
        {0x04, "LTC Time Data "},
        {0x05, "User Bits Data "},
        {0x06, "VITC Time Data "},
        {0x07, "VITC User Bits Data "},
        {0x08, "Generator Time Data "},
        {0x09, "Generator User Bits Data "},
        {0x10, "In Data "},
        {0x11, "Out Data "},
        {0x12, "Audio In Data "},
        {0x13, "Audio Out Data "},
        {0x14, "LTC Interpolated LTC Time Data "},
        {0x15, "Hold User Bits (LTC) Data "},
        {0x16, "Hold VITC Time Data "},
        {0x17, "Hold User Bits (VITC) Data "},
    };
    Decoder decoder;
    for (const Row& row : rows) {
        const std::string text = SonyText(0x74, row.code, {0xC5, 0xB0, 0xD9, 0xA3});
        EXPECT_EQ(decoder.DecodePacket(text), std::string(row.text) + "23:59:30:05") << text;
    }
}

// One name per status byte (column) and bit (row, bit 0 first).
constexpr std::array<std::array<std::string_view, 8>, 8> kStatusNames = {{
    {"Local", "Play", "Cue Up", "In", "Preroll", "A1", "Play LED", "Unknow"},
    {"Unknown", "Record", "Still", "Out", "Preview", "A2", "Repeat LED", "Unknow"},
    {"Unknown", "FF", "Play Dir Rev = 1", "Unknown", "Auto Edit", "TC/A3", "Chase LED", "Unknow"},
    {"Disk Not Ready", "Rew", "Var", "Unknown", "Review", "Sync/A4", "Unknown", "Unknow"},
    {"Servo Ref Missing", "Unknown", "Jog", "Unknown", "Edit On", "Video", "Rev LED", "Unknow"},
    {"No Disk", "Stop", "Shuttle", "Unknown", "Search To Cue", "Assemble", "Fwd LED", "Unknow"},
    {"Message Pending", "Unknown", "Unknown", "Unknown", "Full EE On", "Insert", "Unknown",
     "Unknow"},
    {"Unknown", "Standby", "Servo Lock", "Auto Mode", "Select EE On", "Unknown", "Unknown",
     "Unknow"},
}};

TEST(ReviewVocabulary, EveryStatusFlagName) {
    Decoder decoder;
    for (int statusByte = 0; statusByte < 8; ++statusByte) {
        // Ask for this one byte, then read a reply with a single bit set.
        decoder.DecodePacket(SonyText(0x61, 0x20, {statusByte << 4 | 1}));
        for (int bit = 0; bit < 8; ++bit) {
            const std::string reply = SonyText(0x71, 0x20, {1 << bit});
            EXPECT_EQ(decoder.DecodePacket(reply),
                      "Status Data: " + std::string(kStatusNames[bit][statusByte]))
                << "byte " << statusByte << " bit " << bit;
        }
    }
}

TEST(ReviewVocabulary, EveryVdcpName) {
    struct VdcpRow {
        int cmd1;
        int cmd2;
        std::string_view text;
    };
    // Messages with one data byte 0x41 ("A"); the data shows only where a reply carries text.
    const VdcpRow rows[] = {
        {0x00, 0x0C, "Local Disable"},
        {0x00, 0x0D, "Local Enable"},
        {0x00, 0x14, "Delete From Archive"},
        {0x00, 0x15, "Delete Protected Id"},
        {0x00, 0x16, "Undelete Protect Id"},
        {0x10, 0x00, "Stop"},
        {0x10, 0x01, "Play"},
        {0x10, 0x02, "Record"},
        {0x10, 0x03, "Freeze"},
        {0x10, 0x04, "Still"},
        {0x10, 0x05, "Step"},
        {0x10, 0x06, "Continue"},
        {0x10, 0x07, "Jog"},
        {0x10, 0x08, "Vari. Play"},
        {0x10, 0x09, "Unfreeze"},
        {0x10, 0x0A, "EE Mode"},
        {0x20, 0x1D, "Rename ID"},
        {0x20, 0x1E, "Preset Std. Time"},
        {0x20, 0x1F, "New Copy"},
        {0x20, 0x20, "Sort Mode"},
        {0x20, 0x21, "Close Port"},
        {0x20, 0x22, "Select Port"},
        {0x20, 0x23, "Record Init: A"},
        {0x20, 0x24, "Play Cue: A"},
        {0x20, 0x25, "Cue With Data"},
        {0x20, 0x26, "Delete ID: A"},
        {0x20, 0x27, "Get From Archive: A"},
        {0x20, 0x29, "Clear"},
        {0x20, 0x2A, "Send TO Archive: A"},
        {0x20, 0x2B, "% To Signal Full"},
        {0x20, 0x2C, "Record Init With Data"},
        {0x20, 0x2D, "Select Logical Drive"},
        {0x20, 0x2E, "System Delete ID: A"},
        {0x20, 0x30, "Preset"},
        {0x20, 0x31, "Vid. Compr. Rate"},
        {0x20, 0x32, "Aud. Sample Rate"},
        {0x20, 0x33, "Aud, Comp. Rate"},
        {0x20, 0x34, "Audio In Level"},
        {0x20, 0x35, "Audio Out Level"},
        {0x20, 0x37, "Vid. Compr. Param."},
        {0x20, 0x38, "Select Output"},
        {0x20, 0x39, "Select Input"},
        {0x20, 0x3A, "Record Mode"},
        {0x20, 0x41, "SC Adjust"},
        {0x20, 0x42, "H. Pos. Adjust"},
        {0x20, 0x43, "Disk Preroll"},
        {0x20, 0x50, "Copy File TO"},
        {0x20, 0x51, "Delete File From"},
        {0x20, 0x52, "Abort Copy File TO"},
        {0x30, 0x01, "Open Port"},
        {0x30, 0x02, "Next Id"},
        {0x30, 0x03, "Last"},
        {0x30, 0x05, "Port Status Request"},
        {0x30, 0x06, "Position Request"},
        {0x30, 0x07, "Active ID Request"},
        {0x30, 0x08, "Device Type Request"},
        {0x30, 0x10, "Syst. Status Request"},
        {0x30, 0x11, "ID List"},
        {0x30, 0x14, "ID Size Request"},
        {0x30, 0x15, "ID\x92s Added TO Arch."},
        {0x30, 0x16, "ID Request"},
        {0x30, 0x17, "Compr. Settings Request"},
        {0x30, 0x18, "ID's Added List"},
        {0x30, 0x19, "ID's Deleted List"},
        {0x30, 0x25, "Multi Port Status Request"},
        {0x30, 0x81, "Open Port"},
        {0x30, 0x82, "List of Id's "},
        {0x30, 0x83, "Last Response"},
        {0x30, 0x85, "State Status"},  // first data byte not 1: no port states
        {0x30, 0x86, "Position: 00:00:00:00"},
        {0x30, 0x87, "Active ID"},
        {0x30, 0x88, "Device Type: A"},
        {0x30, 0x90, "Syst. Status"},
        {0x30, 0x91, "List of ID's: "},  // the first two data bytes are skipped
        {0x30, 0x94, "ID Size"},
        {0x30, 0x95, "List ID\x92s Trans."},
        {0x30, 0x96, "ID Presence"},
        {0x30, 0x97, "Compr. Settings"},
        {0x30, 0x98, "ID's Added List"},
        {0x30, 0x99, "ID's Deleted List"},
        {0x30, 0xA5, "State Status"},
        {0x50, 0x60, "Abort Macro#"},
        {0x50, 0x61, "Active Macro List"},
        {0x50, 0x62, "Macro STATUS"},
        {0x50, 0x63, "Copy File TO"},
        {0x50, 0x64, "Get From Archive"},
        {0x50, 0x65, "Send TO Archive"},
        {0x50, 0x66, "Prepare ID TO Play"},
        {0x50, 0x67, "Close ID From Play"},
    };
    static_assert(std::size(rows) == 89);
    for (const VdcpRow& row : rows) {
        char text[32];
        std::snprintf(text, sizeof text, "02 03 %02X %02X 41 00 ", row.cmd1, row.cmd2);
        EXPECT_EQ(DecodeVdcp(text), row.text) << text;
    }
}

// Rules where one bit or one byte could be counted twice or read from the wrong place.
TEST(ReviewRules, OverlappingFlagsAndBytesReadFromTheText) {
    using namespace std::string_view_literals;
    Decoder decoder;
    const struct {
        std::string_view packet;
        std::string_view expected;
    } cases[] = {
        // Bit 3 is a flag of its own and part of the low nibble: 0x0C names bit3, no source.
        {"61 0C 0C 79 ", "Current Time Sense bit3"},
        {"61 0C 09 76 ", "Current Time Sense bit3"},
        {"61 0C 84 F1 ", "Current Time Sense bit7 CTL"},
        {"61 0C 10 7D ", "Current Time Sense LTC UB"},
        // A status sense without a data count shows start 0 and count 0, yet the remembered
        // request holds DATA-1 as text, and the reply is read against that (start 2, count 1).
        {"60 20 21 A1 ", "Status Sense, Start at 0 get 0 bytes"},
        {"71 20 80 11 ", "Status Data: Servo Lock"},
        // Status bytes come from the reply's fields, whatever its data count says.
        {"60 20 01 81 ", "Status Sense, Start at 0 get 0 bytes"},
        {"70 20 01 91 ", "Status Data: Local"},
        // Without a data count a preset's fields are no time code.
        {"40 14 00 00 10 01 65 ", "In Preset 00:00:00:00"},
        {"40 3C 00 00 10 01 8D ", "Set Postroll = 00:00:00:00"},
        // A short cue-up with a clip: the clip bytes the text lacks are zeros.
        {"2C 31 00 00 10 01 41 AF ",
         "Odeteics Load Clip & Cue to: 01:10:00:00   Clip: A\0\0\0\0\0\0\0"sv},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decoder.DecodePacket(c.packet), c.expected) << "'" << c.packet << "'";
    }
}

}  // namespace
}  // namespace orvane
