// orvane-cli replay, run as a process over hand-made raw captures: both views, filters, escape,
// the log file, files split anywhere, and the exit statuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

struct GoldenCase {
    const char* name;
    std::vector<std::string> options;
    const char* capture;
    const char* expectedLog;  // every line after the title
};

const GoldenCase kGoldenCases[] = {
    {"SonyPacketView", {}, "sony_session.bin", "sony_session.packet.log"},
    {"SonyByteView", {"--view", "byte"}, "sony_session.bin", "sony_session.byte.log"},
    // Only Play and In Preset stay; the controller's 10 01 is an acknowledgement in this view.
    {"SonyShowNone", {"--show", "none"}, "sony_session.bin", "sony_session.none.log"},
    // The Byte View has no controller row for 10 01: it stays whatever the filters say.
    {"SonyByteViewShowNone",
     {"--view=byte", "--show=none"},
     "sony_session.bin",
     "sony_session.none_byte.log"},
    // The Status Sense request is hidden, so the status reply is read with none remembered.
    {"SonyStatusSenseHidden",
     {"--show", "status-reply,acks"},
     "sony_session.bin",
     "sony_session.status_reply_acks.log"},
    // Odetics mode: Sony grouping, with the Odetics texts (the raw time code after In Preset).
    {"OdeticsMode", {"--protocol", "1"}, "sony_session.bin", "sony_session.odetics.log"},
    // Identifiers with a TAB (written as a space), a NUL (the cell ends there) and 0x92.
    {"VdcpPacketView", {"--protocol", "vdcp"}, "vdcp_session.bin", "vdcp_session.packet.log"},
    {"VdcpByteViewEscaped",
     {"--protocol", "vdcp", "--view", "byte", "--escape"},
     "vdcp_session.bin",
     "vdcp_session.byte_escaped.log"},
    {"VdcpFilters",
     {"--protocol", "vdcp", "--show", "time-sense,status-reply"},
     "vdcp_session.bin",
     "vdcp_session.time_sense_status_reply.log"},
};

class ReplayGolden : public testing::TestWithParam<GoldenCase> {};

TEST_P(ReplayGolden, WritesTheExpectedLog) {
    const GoldenCase& c = GetParam();
    std::vector<std::string> argv{ORVANE_CLI_PATH, "replay"};
    argv.insert(argv.end(), c.options.begin(), c.options.end());
    argv.push_back(DataPath(c.capture));
    const ProcessResult result = RunProcess(argv);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(HasTitleLine(result.out));
    EXPECT_TRUE(SameLines(ReadFileBytes(DataPath(c.expectedLog)), LogBody(result.out)));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplayGolden, testing::ValuesIn(kGoldenCases),
                         [](const testing::TestParamInfo<GoldenCase>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(ReplayCli, OutWritesTheSameLogAsStandardOutput) {
    TempDir dir;
    const std::string out = dir.Path("session.csv");
    WriteFileBytes(out, std::string(10000, 'x'));  // a longer old file leaves no trace
    const ProcessResult toFile =
        RunProcess({ORVANE_CLI_PATH, "replay", "--out", out, DataPath("sony_session.bin")});
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    const std::string log = ReadFileBytes(out);
    EXPECT_TRUE(HasTitleLine(log));
    EXPECT_TRUE(SameLines(ReadFileBytes(DataPath("sony_session.packet.log")), LogBody(log)));
}

TEST(ReplayCli, EmptyViewWritesNothingAndCreatesNoFile) {
    TempDir dir;
    // Polls only: with every filter unchecked no row is left.
    const std::string polls =
        UnitMessage(0x400000, SideBytes(0x80, 100, {0x61, 0x0C, 0x03, 0x70})) +
        UnitMessage(0x400001, SideBytes(0xC0, 104, {0x74, 0x04, 0x00, 0x00, 0x10, 0x01, 0x89}));
    WriteFileBytes(dir.Path("polls.bin"), polls);
    WriteFileBytes(dir.Path("empty.bin"), "");
    struct Case {
        std::vector<std::string> options;
        std::string capture;
    };
    const Case cases[] = {
        {{}, DataPath("neither_side.bin")},
        {{"--view", "byte"}, DataPath("neither_side.bin")},
        {{"--show", "none"}, dir.Path("polls.bin")},
        {{"--view", "byte", "--show", "none"}, dir.Path("polls.bin")},
        {{}, dir.Path("empty.bin")},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{ORVANE_CLI_PATH, "replay"};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        argv.push_back(c.capture);
        const ProcessResult toStdout = RunProcess(argv);
        EXPECT_EQ(toStdout.exitCode, 0) << c.capture;
        EXPECT_EQ(toStdout.out, "") << c.capture;

        const std::string out = dir.Path("empty.csv");
        argv.insert(argv.begin() + 2, {"--out", out});
        const ProcessResult toFile = RunProcess(argv);
        EXPECT_EQ(toFile.exitCode, 0) << c.capture;
        EXPECT_FALSE(FileExists(out)) << c.capture;
    }
    // The same polls are rows once their filters are checked.
    const ProcessResult shown = RunProcess({ORVANE_CLI_PATH, "replay", dir.Path("polls.bin")});
    EXPECT_EQ(SplitLines(shown.out).size(), 4u);
}

TEST(ReplayCli, CaptureSplitIntoTwoFilesAnywhereGivesTheSameLog) {
    // Each file is its own read: a message cut between two files continues in the next one.
    // The first read must hold the first message's whole header (marker and sequence number).
    TempDir dir;
    const std::string whole = ReadFileBytes(DataPath("sony_session.bin"));
    const std::string expected = ReadFileBytes(DataPath("sony_session.packet.log"));
    for (std::size_t cut = 8; cut < whole.size(); ++cut) {
        WriteFileBytes(dir.Path("a.bin"), whole.substr(0, cut));
        WriteFileBytes(dir.Path("b.bin"), whole.substr(cut));
        const ProcessResult result =
            RunProcess({ORVANE_CLI_PATH, "replay", dir.Path("a.bin"), dir.Path("b.bin")});
        ASSERT_EQ(result.exitCode, 0);
        ASSERT_TRUE(SameLines(expected, LogBody(result.out))) << "cut at byte " << cut;
    }
}

// Disabled until the receive stream keeps a first read that holds only part of the first
// header: today such a read, and every read after it up to the next one that happens to begin
// with a header, is discarded, so a unit writing a byte at a time loses the start of a capture.
TEST(ReplayCli, FirstReadShorterThanAHeaderLosesNothing) {
    TempDir dir;
    const std::string whole = ReadFileBytes(DataPath("sony_session.bin"));
    const std::string expected = ReadFileBytes(DataPath("sony_session.packet.log"));
    for (std::size_t cut = 1; cut < 8; ++cut) {
        WriteFileBytes(dir.Path("a.bin"), whole.substr(0, cut));
        WriteFileBytes(dir.Path("b.bin"), whole.substr(cut));
        const ProcessResult result =
            RunProcess({ORVANE_CLI_PATH, "replay", dir.Path("a.bin"), dir.Path("b.bin")});
        EXPECT_TRUE(SameLines(expected, LogBody(result.out))) << "cut at byte " << cut;
    }
}

TEST(ReplayCli, FilesAreReplayedInTheGivenOrder) {
    TempDir dir;
    WriteFileBytes(dir.Path("1.bin"),
                   UnitMessage(0x500000, SideBytes(0x80, 10, {0x20, 0x01, 0x21})));
    WriteFileBytes(dir.Path("2.bin"),
                   UnitMessage(0x500001, SideBytes(0x80, 20, {0x20, 0x00, 0x20})));
    const ProcessResult result =
        RunProcess({ORVANE_CLI_PATH, "replay", dir.Path("1.bin"), dir.Path("2.bin")});
    EXPECT_TRUE(
        SameLines("Event\tTime\tID\tPacket\tCommand\r\n"
                  "00001\t0000.010\tCtrl\t20 01 21 \tPlay\r\n"
                  "00002\t0000.020\tCtrl\t20 00 20 \tStop\r\n",
                  LogBody(result.out)));
}

TEST(ReplayCli, UnreadableFileExitsTwoBeforeWritingAnything) {
    TempDir dir;
    const std::string out = dir.Path("log.csv");
    const std::vector<std::vector<std::string>> cases = {
        {DataPath("no-such-capture.bin")},
        {DataPath("sony_session.bin"), DataPath("no-such-capture.bin")},
        {dir.Path("")},  // a folder
    };
    for (const std::vector<std::string>& files : cases) {
        std::vector<std::string> argv{ORVANE_CLI_PATH, "replay", "--out", out};
        argv.insert(argv.end(), files.begin(), files.end());
        const ProcessResult result = RunProcess(argv);
        EXPECT_EQ(result.exitCode, 2) << files.back();
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_NE(result.err.find(files.back()), std::string::npos) << result.err;
        EXPECT_FALSE(FileExists(out));
    }
}

TEST(ReplayCli, LogThatCannotBeWrittenExitsOne) {
    TempDir dir;
    const std::string out = dir.Path("no-such-folder/log.csv");
    const ProcessResult result =
        RunProcess({ORVANE_CLI_PATH, "replay", "--out", out, DataPath("sony_session.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find(out), std::string::npos) << result.err;

    const ProcessResult full = RunProcess({"/bin/sh", "-c",
                                           std::string("exec '") + ORVANE_CLI_PATH + "' replay '" +
                                               DataPath("sony_session.bin") + "' > /dev/full"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_FALSE(full.err.empty());
}

}  // namespace
}  // namespace orvane::test
