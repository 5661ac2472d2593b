// Sense requests and replies, and the remembered Status Sense that status replies read against.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decode/decoder.hpp"

namespace orvane {
namespace {

struct Case {
    std::string_view packet;
    std::string_view expected;
};

void ExpectAll(const std::initializer_list<Case>& cases) {
    for (const std::int32_t mode : {kProtocolSony, kProtocolOdetics}) {
        Decoder decoder(mode);
        for (const Case& c : cases) {
            EXPECT_EQ(decoder.DecodePacket(c.packet), c.expected) << "packet '" << c.packet << "'";
        }
    }
}

TEST(SonySense, RequestPhrasesAndFallback) {
    ExpectAll({
        {"60 0A 6A ", "TC Gen Sense"},
        {"60 58 B8 ", "DA Samp. Freq. Sense"},
        {"61 FF 60 ", " Unknown Sense Request"},
        {"60 0B 6B ", " Unknown Sense Request"},
    });
}

TEST(SonySense, CurrentTimeSenseFlags) {
    ExpectAll({
        {"61 0C 01 6E ", "Current Time Sense LTC"},
        {"61 0C 02 6F ", "Current Time Sense VITC"},
        {"61 0C 03 70 ", "Current Time Sense Auto"},
        {"61 0C 04 71 ", "Current Time Sense CTL"},
        {"61 0C 31 9E ", "Current Time Sense VITC UB LTC UB LTC"},
        {"60 0C 6C ", "Current Time Sense No Timecode flag set"},
        {"61 0C 07 74 ", "Current Time Sense"},
        {"61 0C F8 65 ", "Current Time Sense bit7 bit6 VITC UB LTC UB bit3"},
        {"61 0C 01 00 ", "Current Time Sense LTC"},  // requests never show a checksum verdict
    });
}

TEST(SonySense, StartAndCountTexts) {
    ExpectAll({
        {"61 20 0A 8B ", "Status Sense, Start at 0 get 10 bytes"},
        {"61 20 21 A2 ", "Status Sense, Start at 2 get 1 byte"},
        {"61 20 F0 71 ", "Status Sense, Start at F get 0 bytes"},
        {"60 20 80 ", "Status Sense, Start at 0 get 0 bytes"},
        {"61 30 05 96 ", "Edit Preset Sense, Start at 0 get 5 bytes"},
        {"61 30 11 A2 ", "Edit Preset Sense, Start at 1 get 1 byte"},
    });
}

TEST(SonySense, TimeDataReplies) {
    ExpectAll({
        {"74 04 00 00 10 01 89 ", "LTC Time Data 01:10:00:00"},
        {"74 04 00 00 10 01 00 ", "LTC Time Data 01:10:00:00 CheckSum Error"},
        {"74 06 00 00 10 01 8B ", "VITC Time Data 01:10:00:00"},
        {"74 08 00 00 10 01 8D ", "Generator Time Data 01:10:00:00"},
        {"74 04 45 30 59 23 69 ", "LTC Time Data 23:59:30:05"},
        {"74 00 C5 B0 D9 A3 65 ", "CTL Time Data 23:59:30:05"},
        // User bits go through the same masks as the time.
        {"74 07 11 22 33 44 25 ", "VITC User Bits Data 44:33:22:11"},
        {"74 17 44 33 22 11 35 ", "Hold User Bits (VITC) Data 11:22:33:04"},
        {"74 05 FF FF FF FF 75 ", "User Bits Data 7F:7F:7F:3F"},
        {"74 0D 00 00 00 00 81 ", "Request Time Data Missing"},
        {"74 0D 00 00 00 00 00 ", "Request Time Data Missing"},
        {"74 21 01 02 03 04 9F ", "Extended Status Data"},
        {"70 21 00 ", "Extended Status Data"},
        {"7F FF 7E ", "Unknown Data Response"},
        {"70 0E 7E ", "Unknown Data Response"},
    });
}

TEST(SonySense, StatusRepliesReadAgainstTheLastStatusSense) {
    Decoder decoder;
    EXPECT_EQ(decoder.lastStatusSense(), "");
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: ");

    decoder.DecodePacket("  61 20 0A 8B ");
    EXPECT_EQ(decoder.lastStatusSense(), "61 20 0A 8B");
    EXPECT_EQ(decoder.DecodePacket("7A 20 01 81 80 00 00 00 00 00 00 00 9C "),
              "Status Data: Local, Play, Standby, Servo Lock");

    decoder.DecodePacket("61 20 21 A2 ");
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: Servo Lock");

    // Other packets, the edit preset sense among them, leave the remembered request alone.
    for (const std::string_view other :
         {"61 30 05 96 ", "10 01 11 ", "74 04 00 00 10 01 89 ", "61 0C 01 6E ", "71 20 80 11 "}) {
        decoder.DecodePacket(other);
    }
    EXPECT_EQ(decoder.lastStatusSense(), "61 20 21 A2");

    // Any data count is a status sense; the reply after it reads start 4, count 3.
    decoder.DecodePacket("62 20 43 FF C4 ");
    EXPECT_EQ(decoder.DecodePacket("73 20 10 20 40 03 "),
              "Status Data: Edit On, Assemble, Unknown");

    // A request too short to hold DATA-1 is still remembered, and reads as no request.
    decoder.DecodePacket("60 20");
    EXPECT_EQ(decoder.lastStatusSense(), "60 20");
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: ");
}

TEST(SonySense, RememberedRequestOutlivesFillsAndModesButNotDecoders) {
    // A fill that showed the request, then a fill whose filter hides it: the reply in the second
    // fill is still read against the request of the first.
    Decoder decoder;
    decoder.DecodePacket("61 20 21 A2 ");
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: Servo Lock");
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: Servo Lock");

    // A fresh run with the request hidden from the start knows no request.
    Decoder fresh;
    EXPECT_EQ(fresh.DecodePacket("71 20 80 11 "), "Status Data: ");

    // VDCP mode does not touch it; switching back finds it as it was.
    decoder.SetProtocolMode(kProtocolVdcp);
    decoder.DecodePacket("61 20 0A 8B ");
    EXPECT_EQ(decoder.lastStatusSense(), "61 20 21 A2");
    decoder.SetProtocolMode(kProtocolOdetics);
    EXPECT_EQ(decoder.DecodePacket("71 20 80 11 "), "Status Data: Servo Lock");
    EXPECT_EQ(fresh.lastStatusSense(), "");
}

}  // namespace
}  // namespace orvane
