// orvane-cli capture against orvane-sim on loopback: the log of a capture equals the replay of
// its raw bytes, write patterns change nothing, and every way a capture ends.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

constexpr int kCaptureTimeoutMs = 60000;

ProcessResult Capture(int port, std::vector<std::string> options) {
    std::vector<std::string> argv{ORVANE_CLI_PATH, "capture", "--address",
                                  "127.0.0.1",     "--port",  std::to_string(port)};
    argv.insert(argv.end(), options.begin(), options.end());
    return RunProcess(argv, {}, kCaptureTimeoutMs);
}

ProcessResult Replay(const std::vector<std::string>& options, const std::string& file) {
    std::vector<std::string> argv{ORVANE_CLI_PATH, "replay"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back(file);
    return RunProcess(argv);
}

struct ProtocolCase {
    const char* scenario;
    const char* protocol;
    std::vector<std::string> expectedTexts;  // descriptions the session must show
};

const ProtocolCase kProtocols[] = {
    {"sony",
     "sony",
     {"\tCurrent Time Sense Auto\r\n", "\tLTC Time Data ", "\tStatus Data: ", "\tCueup with data ",
      "\tAck\r\n", "\tDevice Type Request\r\n"}},
    {"odetics",
     "odetics",
     {"\tCurrent Time Sense LTC\r\n",
      "\tOdeteics Load Clip & Cue to: ", "\tOdetics In Preset = ", "\tAck\r\n"}},
    {"vdcp",
     "vdcp",
     {"\tPosition: ", "\tState Status: ", "\tPort Status Request\r\n",
      "\tDevice Type: DDR-4CH \r\n", "\tAck\r\n"}},
};

class CaptureEndToEnd : public testing::TestWithParam<ProtocolCase> {};

TEST_P(CaptureEndToEnd, ReplayOfTheRawBytesGivesTheSameLog) {
    const ProtocolCase& c = GetParam();
    TempDir dir;
    Simulator sim({"--scenario", c.scenario, "--seed", "11", "--rate", "fast", "--messages", "900",
                   "--connections", "2"});
    const std::string stream = ReadWholeStream(sim.port());
    ASSERT_FALSE(stream.empty());

    const std::string raw = dir.Path("capture.bin");
    const ProcessResult captured =
        Capture(sim.port(), {"--protocol", c.protocol, "--seconds", "50", "--save-raw", raw});
    ASSERT_EQ(captured.exitCode, 0) << captured.err;
    EXPECT_EQ(captured.err, "");
    EXPECT_TRUE(HasTitleLine(captured.out));
    // Every byte the unit sent, in order.
    EXPECT_TRUE(ReadFileBytes(raw) == stream);

    const ProcessResult replayed = Replay({"--protocol", c.protocol}, raw);
    ASSERT_EQ(replayed.exitCode, 0);
    EXPECT_TRUE(SameLines(LogBody(captured.out), LogBody(replayed.out)));
    for (const std::string& text : c.expectedTexts) {
        EXPECT_NE(captured.out.find(text), std::string::npos) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Protocols, CaptureEndToEnd, testing::ValuesIn(kProtocols),
                         [](const testing::TestParamInfo<ProtocolCase>& paramInfo) {
                             return std::string(paramInfo.param.scenario);
                         });

struct WritePattern {
    const char* name;
    std::vector<std::string> options;
};

// Pieces of at least eight bytes: the connection's first read then holds the first message's
// whole header, which the receive stream needs to open its first block.
const WritePattern kWritePatterns[] = {
    {"CoalesceAndSplit", {"--coalesce", "5", "--split", "11"}},
    {"EightBytesPerWrite", {"--split", "8"}},
    {"FiftyMessagesPerWrite", {"--coalesce", "50"}},
    {"SplitAtAFixedRate", {"--split", "9", "--rate", "3000"}},
};

class CaptureWritePatterns : public testing::TestWithParam<WritePattern> {};

TEST_P(CaptureWritePatterns, GiveTheSameLogAsWholeMessages) {
    for (const char* scenario : {"sony", "vdcp"}) {
        SCOPED_TRACE(scenario);
        const std::string protocol = scenario;
        std::vector<std::string> common{"--scenario", scenario, "--seed",        "5",
                                        "--messages", "600",    "--connections", "1"};
        Simulator plain([&] {
            auto options = common;
            options.insert(options.end(), {"--rate", "fast"});
            return options;
        }());
        std::vector<std::string> patterned = common;
        const std::vector<std::string>& pattern = GetParam().options;
        if (std::find(pattern.begin(), pattern.end(), "--rate") == pattern.end()) {
            patterned.insert(patterned.end(), {"--rate", "fast"});
        }
        patterned.insert(patterned.end(), GetParam().options.begin(), GetParam().options.end());
        Simulator shaped(patterned);

        const ProcessResult expected = Capture(plain.port(), {"--protocol", protocol});
        const ProcessResult actual = Capture(shaped.port(), {"--protocol", protocol});
        ASSERT_EQ(expected.exitCode, 0) << expected.err;
        ASSERT_EQ(actual.exitCode, 0) << actual.err;
        EXPECT_GT(SplitLines(expected.out).size(), 200u);
        EXPECT_TRUE(SameLines(LogBody(expected.out), LogBody(actual.out)));
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, CaptureWritePatterns, testing::ValuesIn(kWritePatterns),
                         [](const testing::TestParamInfo<WritePattern>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

TEST(CaptureCli, RefusedConnectionExitsOneWithTheMessage) {
    TempDir dir;
    const std::string raw = dir.Path("raw.bin");
    const std::string out = dir.Path("log.csv");
    const ProcessResult result =
        Capture(UnusedLoopbackPort(), {"--seconds", "5", "--save-raw", raw, "--out", out});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Error opening port: Device I/O error\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(FileExists(raw));
    EXPECT_FALSE(FileExists(out));
}

TEST(CaptureCli, StopsAfterTheGivenSeconds) {
    // The unit sends 40 messages and then stays silent with the connection open.
    Simulator sim({"--scenario", "sony", "--rate", "fast", "--idle-after", "40"});
    TempDir dir;
    const std::string raw = dir.Path("raw.bin");
    const ProcessResult result = Capture(sim.port(), {"--seconds", "0.5", "--save-raw", raw});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_GT(SplitLines(result.out).size(), 10u);
    EXPECT_TRUE(SameLines(LogBody(result.out), LogBody(Replay({}, raw).out)));
}

TEST(CaptureCli, CtrlCEndsTheCaptureAndStillWritesTheLog) {
    TempDir dir;
    std::string expectedRaw;
    {
        Simulator reference({"--scenario", "vdcp", "--rate", "fast", "--messages", "40"});
        expectedRaw = ReadWholeStream(reference.port());
    }
    Simulator sim({"--scenario", "vdcp", "--rate", "fast", "--idle-after", "40"});
    const std::string raw = dir.Path("raw.bin");
    ChildProcess capture({ORVANE_CLI_PATH, "capture", "--address", "127.0.0.1", "--port",
                          std::to_string(sim.port()), "--protocol", "vdcp", "--save-raw", raw},
                         {});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ReadFileBytes(raw).size() < expectedRaw.size() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    capture.Signal(SIGINT);
    const ProcessResult result = capture.Finish(kCaptureTimeoutMs);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(ReadFileBytes(raw) == expectedRaw);
    EXPECT_TRUE(SameLines(LogBody(Replay({"--protocol", "vdcp"}, raw).out), LogBody(result.out)));
    EXPECT_NE(result.out.find("\tPosition: "), std::string::npos);
}

TEST(CaptureCli, FullBlockStoreEndsTheCapture) {
    // The unit never closes: only the full store (1000 messages) can end this capture, and its
    // log is that of the first 1000 messages.
    TempDir dir;
    std::string firstThousand;
    {
        Simulator reference({"--scenario", "sony", "--rate", "fast", "--messages", "1000"});
        firstThousand = ReadWholeStream(reference.port());
    }
    WriteFileBytes(dir.Path("first1000.bin"), firstThousand);
    Simulator sim({"--scenario", "sony", "--rate", "fast", "--idle-after", "1300"});
    const std::string raw = dir.Path("raw.bin");
    const ProcessResult result = Capture(sim.port(), {"--save-raw", raw});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_FALSE(result.timedOut);
    EXPECT_TRUE(SameLines(LogBody(Replay({}, dir.Path("first1000.bin")).out), LogBody(result.out)));
    EXPECT_TRUE(SameLines(LogBody(Replay({}, raw).out), LogBody(result.out)));
}

TEST(CaptureCli, UnitClosingOrResettingMidStreamKeepsWhatArrived) {
    const std::vector<std::vector<std::string>> endings = {
        {"--close-after", "120", "--partial", "20"},  // closes in the middle of a message
        {"--close-after", "120", "--reset"},
        {"--close-after", "0"},  // accepts, then closes at once
    };
    for (const std::vector<std::string>& ending : endings) {
        SCOPED_TRACE(ending[1] + " " + (ending.size() > 2 ? ending[2] : ""));
        TempDir dir;
        std::vector<std::string> options{"--scenario", "odetics", "--rate", "fast"};
        options.insert(options.end(), ending.begin(), ending.end());
        Simulator sim(options);
        const std::string raw = dir.Path("raw.bin");
        const ProcessResult result =
            Capture(sim.port(), {"--protocol", "odetics", "--save-raw", raw});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_TRUE(
            SameLines(LogBody(Replay({"--protocol", "odetics"}, raw).out), LogBody(result.out)));
    }
}

TEST(CaptureCli, NoiseDoesNotUpsetTheCapture) {
    Simulator sim({"--scenario", "noise", "--rate", "fast", "--messages", "500", "--split", "5"});
    for (const char* view : {"packet", "byte"}) {
        const ProcessResult result = Capture(sim.port(), {"--view", view, "--escape"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_FALSE(result.timedOut);
    }
}

TEST(CaptureCli, RawFileThatCannotBeWrittenExitsOne) {
    Simulator sim({"--scenario", "sony", "--rate", "fast", "--messages", "10"});
    TempDir dir;
    const ProcessResult result =
        Capture(sim.port(), {"--save-raw", dir.Path("no-such-folder/raw.bin")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no-such-folder/raw.bin"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace orvane::test
