// Status replies read against a Status Sense request: flag names, their order, what is skipped.
#include "decode/sony_status_data.hpp"

#include <gtest/gtest.h>

#include <string_view>

namespace orvane {
namespace {

struct Case {
    std::string_view reply;
    std::string_view lastStatusSense;
    std::string_view expected;
};

TEST(SonyStatusData, FlagsOfTheRequestedBytes) {
    const Case cases[] = {
        {"7A 20 01 81 80 00 00 00 00 00 00 00 9C", "61 20 0A 8B",
         "Status Data: Local, Play, Standby, Servo Lock"},
        // Start 2, count 1: DATA-1 is status byte 2; CMD2 is never a status byte.
        {"71 20 80 11", "61 20 21 A2", "Status Data: Servo Lock"},
        {"74 20 01 02 04 08 A3", "61 20 04 85",
         "Status Data: Local, Record, Play Dir Rev = 1, Unknown"},
        // Start 0, count 15: bytes 8 to 14 have no names.
        {"7F 20 00 00 00 00 00 20 00 00 FF FF FF FF FF FF FF B8", "61 20 0F 90",
         "Status Data: Assemble"},
        {"71 20 60 F1", "61 20 41 C2", "Status Data: Search To Cue, Full EE On"},
        {"71 20 03 94", "61 20 71 F2", "Status Data: Unknow, Unknow"},
        // Start 6, count 4: bytes 6 and 7 are named, 8 and 9 skipped.
        {"74 20 01 01 FF FF 94", "61 20 64 E5", "Status Data: Play LED, Unknow"},
        {"71 20 80 11 ", "61 20 21 A2", "Status Data: Servo Lock"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeStatusData(c.reply, c.lastStatusSense), c.expected)
            << "reply '" << c.reply << "' after '" << c.lastStatusSense << "'";
    }
}

TEST(SonyStatusData, BareHeadingWhenNothingIsNamed) {
    const Case cases[] = {
        {"71 20 80 11", "", "Status Data: "},             // no request seen
        {"71 20 80 11", "61 20 0", "Status Data: "},      // request shorter than 8 characters
        {"71 20 FF 90", "61 20 F0 71", "Status Data: "},  // count 0
        {"71 20 FF 90", "61 20 81 02", "Status Data: "},  // starts beyond byte 7
        {"71 20 00 91", "61 20 01 82", "Status Data: "},  // no set bits
        // A longer reply than asked for: the extra byte is not decoded.
        {"72 20 00 FF 91", "61 20 01 82", "Status Data: "},
        // The checksum is never a status byte.
        {"71 20 FF", "61 20 02 83", "Status Data: "},
        {"", "61 20 0F 90", "Status Data: "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeStatusData(c.reply, c.lastStatusSense), c.expected)
            << "reply '" << c.reply << "' after '" << c.lastStatusSense << "'";
    }
    // A shorter reply than asked for: the missing bytes read 0 and add nothing.
    EXPECT_EQ(DecodeStatusData("71 20 80 11", "61 20 04 85"), "Status Data: Unknown");
}

}  // namespace
}  // namespace orvane
