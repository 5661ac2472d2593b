// orvane-cli decode, run as a process: input lines to descriptions under each protocol option.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

struct DecodeCase {
    std::vector<std::string> options;
    std::string input;
    std::string expected;
};

const DecodeCase kDecodeCases[] = {
    // LF or CR LF ends a line; spaces are part of the text; an empty line is an empty packet;
    // the last line needs no LF.
    {{}, "20 01 21 \r\n\n  20 00 20   \n20 01 21 ", "Play\n\nStop\nPlay\n"},
    {{}, "", ""},
    // One decoder state for all lines: each Status Data reply is read against the Status Sense
    // request before it, and a reply before any request has none.
    {{},
     "71 20 80 11 \n61 20 21 A2 \n71 20 80 11 \n61 20 0A 8B \n"
     "7A 20 01 81 80 00 00 00 00 00 00 00 9C \n",
     "Status Data: \nStatus Sense, Start at 2 get 1 byte\nStatus Data: Servo Lock\n"
     "Status Sense, Start at 0 get 10 bytes\nStatus Data: Local, Play, Standby, Servo Lock\n"},
    {{}, "20 31 51 \n", "\n"},
    {{"--protocol", "odetics"}, "20 31 51 \n", "Odetics Cue to First Frame of Clip\n"},
    {{"--protocol", "1"}, "20 31 51 \n", "Odetics Cue to First Frame of Clip\n"},
    {{"--protocol", "7"}, "20 31 51 \n02 02 10 01 ED \n", "\n\n"},
    {{"--protocol=-3"}, "20 01 21 \n", "Play\n"},
    {{"--protocol", "vdcp"}, "04\n05 01 \n02 02 10 01 ED \n20 01 21 \n", "Ack\nNak\nPlay\n\n"},
    // 8-bit bytes as they are, or escaped with the backslash and control bytes.
    {{"--protocol", "vdcp"}, "02 02 30 15 B9 \n", "ID\x92s Added TO Arch.\n"},
    {{"--protocol", "vdcp", "--escape"},
     "02 02 30 15 B9 \n02 06 20 24 5C 09 7E 7F 00 \n",
     "ID\\x92s Added TO Arch.\nPlay Cue: \\x5C\\x09~\\x7F\n"},
};

TEST(DecodeCli, WritesOneDescriptionPerLine) {
    for (const DecodeCase& c : kDecodeCases) {
        const ProcessResult result = RunCli(Join({"decode"}, c.options), c.input);
        EXPECT_EQ(result.exitCode, 0) << c.input;
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(result.out, c.expected) << c.input;
    }
}

}  // namespace
}  // namespace orvane::test
