// orvane-cli decode, run as a process: input lines to descriptions, options, exit statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.hpp"

namespace orvane::test {
namespace {

struct DecodeCase {
    const char* name;
    std::vector<std::string> options;
    std::string input;
    std::string expected;
};

const DecodeCase kDecodeCases[] = {
    {"OneDescriptionPerLine", {}, "20 01 21 \n10 01 11 \n", "Play\nAck\n"},
    {"CrLfEndsALine", {}, "20 01 21 \r\n20 00 20 \r\n", "Play\nStop\n"},
    {"LastLineWithoutLf", {}, "20 01 21 \n20 00 20 ", "Play\nStop\n"},
    {"EmptyLineGivesEmptyDescription", {}, "20 01 21 \n\n20 00 20 \n", "Play\n\nStop\n"},
    {"NoInputNoOutput", {}, "", ""},
    {"LeadingAndTrailingSpacesAreText", {}, "  20 01 21   \n", "Play\n"},
    {"OneDecoderStateAcrossLines",
     {},
     "61 20 21 A2 \n71 20 80 11 \n61 20 0A 8B \n7A 20 01 81 80 00 00 00 00 00 00 00 9C \n",
     "Status Sense, Start at 2 get 1 byte\nStatus Data: Servo Lock\n"
     "Status Sense, Start at 0 get 10 bytes\nStatus Data: Local, Play, Standby, Servo Lock\n"},
    {"StatusReplyBeforeAnySense", {}, "71 20 80 11 \n", "Status Data: \n"},
    {"DefaultIsSony", {}, "20 31 51 \n", "\n"},
    {"Odetics", {"--protocol", "odetics"}, "20 31 51 \n", "Odetics Cue to First Frame of Clip\n"},
    {"ModeNumberOneIsOdetics",
     {"--protocol", "1"},
     "20 31 51 \n",
     "Odetics Cue to First Frame of Clip\n"},
    {"ModeSevenDecodesAsSony", {"--protocol", "7"}, "20 31 51 \n02 02 10 01 ED \n", "\n\n"},
    {"NegativeModeDecodesAsSony", {"--protocol=-3"}, "20 01 21 \n", "Play\n"},
    {"Vdcp",
     {"--protocol", "vdcp"},
     "04\n05 01 \n02 02 10 01 ED \n20 01 21 \n",
     "Ack\nNak\nPlay\n\n"},
    {"EightBitBytesWrittenAsTheyAre",
     {"--protocol", "vdcp"},
     "02 02 30 15 B9 \n",
     "ID\x92s Added TO Arch.\n"},
    {"EscapeEightBitBytes",
     {"--protocol", "vdcp", "--escape"},
     "02 02 30 15 B9 \n",
     "ID\\x92s Added TO Arch.\n"},
    {"EscapeBackslashAndControlBytes",
     {"--protocol", "vdcp", "--escape"},
     "02 06 20 24 5C 09 7E 7F 00 \n",
     "Play Cue: \\x5C\\x09~\\x7F\n"},
};

class DecodeCli : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCli, WritesDescriptions) {
    const DecodeCase& c = GetParam();
    std::vector<std::string> argv{ORVANE_CLI_PATH, "decode"};
    argv.insert(argv.end(), c.options.begin(), c.options.end());
    const ProcessResult result = RunProcess(argv, c.input);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, c.expected);
    EXPECT_EQ(result.err, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, DecodeCli, testing::ValuesIn(kDecodeCases),
                         [](const testing::TestParamInfo<DecodeCase>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

struct BadOptionCase {
    const char* name;
    std::vector<std::string> args;
};

const BadOptionCase kBadOptions[] = {
    {"NoCommand", {}},
    {"UnknownCommand", {"describe"}},
    {"UnknownOption", {"decode", "--verbose"}},
    {"ReplayOptionOnDecode", {"decode", "--view", "byte"}},
    {"UnknownProtocol", {"decode", "--protocol", "betacam"}},
    {"ProtocolBeyond32Bits", {"decode", "--protocol", "2147483648"}},
    {"ProtocolMissingValue", {"decode", "--protocol"}},
    {"StrayArgument", {"decode", "packets.txt"}},
    {"EscapeWithValue", {"decode", "--escape=yes"}},
    {"SingleDashOption", {"decode", "-p"}},
    {"ReplayWithoutFiles", {"replay", "--view", "packet"}},
    {"ReplayBadView", {"replay", "--view", "table", "x.bin"}},
    {"ReplayBadShowFlag", {"replay", "--show", "acks,time", "x.bin"}},
    {"ReplayShowAllCombined", {"replay", "--show", "all,acks", "x.bin"}},
    {"CaptureWithoutAddress", {"capture", "--port", "23"}},
    {"CaptureWithoutPort", {"capture", "--address", "127.0.0.1"}},
    {"CapturePortTooLarge", {"capture", "--address", "127.0.0.1", "--port", "65536"}},
    {"CaptureNegativeSeconds",
     {"capture", "--address", "127.0.0.1", "--port", "1", "--seconds", "-1"}},
    {"CaptureFileArgument", {"capture", "--address", "127.0.0.1", "--port", "1", "x.bin"}},
};

class BadOptions : public testing::TestWithParam<BadOptionCase> {};

TEST_P(BadOptions, ExitTwoWithOneLineMessage) {
    std::vector<std::string> argv{ORVANE_CLI_PATH};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult result = RunProcess(argv, "20 01 21 \n");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
}

INSTANTIATE_TEST_SUITE_P(Cases, BadOptions, testing::ValuesIn(kBadOptions),
                         [](const testing::TestParamInfo<BadOptionCase>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(CliHelp, PrintsUsageForEveryCommand) {
    for (const char* command : {"decode", "replay", "capture"}) {
        const ProcessResult result = RunProcess({ORVANE_CLI_PATH, "--help"});
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_NE(result.out.find(std::string("orvane-cli ") + command), std::string::npos);
        const ProcessResult sub = RunProcess({ORVANE_CLI_PATH, command, "--help"});
        EXPECT_EQ(sub.exitCode, 0);
        EXPECT_EQ(sub.out, result.out);
    }
}

}  // namespace
}  // namespace orvane::test
