// orvane-cli capture against orvane-sim on loopback: the log of a capture equals the replay of
// its raw bytes, write patterns change nothing, a capture ended by time or Ctrl-C keeps what
// arrived, and every capture says on standard error why it ended.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

std::vector<std::string> CaptureArgs(int port, const std::string& protocol,
                                     std::vector<std::string> options = {}) {
    options.insert(options.begin(), {ORVANE_CLI_PATH, "capture", "--address", "127.0.0.1", "--port",
                                     std::to_string(port), "--protocol", protocol});
    return options;
}

std::string ReplayBody(const std::string& protocol, const std::string& file) {
    return LogBody(RunProcess({ORVANE_CLI_PATH, "replay", "--protocol", protocol, file}).out);
}

struct ProtocolCase {
    const char* scenario;
    const char* protocol;
    std::vector<std::string> expectedTexts;  // descriptions the session must show
};

const ProtocolCase kProtocols[] = {
    {"sony", "sony", {"\tStatus Data: ", "\tCueup with data ", "\tDevice Type Request\r\n"}},
    {"odetics", "odetics", {"\tOdeteics Load Clip & Cue to: ", "\tOdetics In Preset = "}},
    {"vdcp", "vdcp", {"\tPosition: ", "\tState Status: ", "\tDevice Type: DDR-4CH \r\n"}},
};

TEST(CaptureCli, ReplayOfTheRawBytesGivesTheSameLog) {
    for (const ProtocolCase& c : kProtocols) {
        SCOPED_TRACE(c.scenario);
        TempDir dir;
        Simulator sim({"--scenario", c.scenario, "--seed", "11", "--rate", "fast", "--messages",
                       "900", "--connections", "2"});
        const std::string stream = ReadWholeStream(sim.port());
        ASSERT_FALSE(stream.empty());
        const std::string raw = dir.Path("capture.bin");
        const ProcessResult captured = RunProcess(
            CaptureArgs(sim.port(), c.protocol, {"--seconds", "50", "--save-raw", raw}), {}, 60000);
        ASSERT_EQ(captured.exitCode, 0) << captured.err;
        EXPECT_EQ(captured.err,
                  "orvane-cli: capture ended: the capture unit closed the connection; "
                  "900 messages\n");
        EXPECT_TRUE(HasTitleLine(captured.out));
        EXPECT_TRUE(ReadFileBytes(raw) == stream) << "every byte the unit sent, in order";
        EXPECT_TRUE(SameLines(LogBody(captured.out), ReplayBody(c.protocol, raw)));
        for (const std::string& text : c.expectedTexts) {
            EXPECT_NE(captured.out.find(text), std::string::npos) << text;
        }
    }
}

TEST(CaptureCli, WritePatternsGiveTheSameLogAsWholeMessages) {
    // Pieces of at least eight bytes, so the first read holds the first message's header.
    const std::vector<std::vector<std::string>> patterns = {
        {"--rate", "fast", "--coalesce", "5", "--split", "11"},
        {"--rate", "fast", "--split", "8"},
        {"--rate", "fast", "--coalesce", "50"},
        {"--rate", "3000", "--split", "9"},
    };
    for (const char* scenario : {"sony", "vdcp"}) {
        const std::vector<std::string> unit{"--scenario", scenario,     "--seed",
                                            "5",          "--messages", "600"};
        std::vector<std::string> plainOptions = unit;
        plainOptions.insert(plainOptions.end(), {"--rate", "fast"});
        Simulator plain(plainOptions);
        const ProcessResult expected = RunProcess(CaptureArgs(plain.port(), scenario), {}, 60000);
        ASSERT_EQ(expected.exitCode, 0) << expected.err;
        ASSERT_GT(SplitLines(expected.out).size(), 200u);
        for (const std::vector<std::string>& pattern : patterns) {
            SCOPED_TRACE(std::string(scenario) + " " + pattern[1] + " " + pattern[3]);
            std::vector<std::string> options = unit;
            options.insert(options.end(), pattern.begin(), pattern.end());
            Simulator shaped(options);
            const ProcessResult actual =
                RunProcess(CaptureArgs(shaped.port(), scenario), {}, 60000);
            ASSERT_EQ(actual.exitCode, 0) << actual.err;
            EXPECT_TRUE(SameLines(LogBody(expected.out), LogBody(actual.out)));
        }
    }
}

TEST(CaptureCli, EndingByTimeOrCtrlCKeepsWhatArrived) {
    // The unit sends 40 messages and then stays silent with the connection open.
    std::string sent;
    {
        Simulator reference({"--scenario", "vdcp", "--rate", "fast", "--messages", "40"});
        sent = ReadWholeStream(reference.port());
    }
    for (const bool byCtrlC : {false, true}) {
        SCOPED_TRACE(byCtrlC ? "Ctrl-C" : "--seconds");
        Simulator sim({"--scenario", "vdcp", "--rate", "fast", "--idle-after", "40"});
        TempDir dir;
        const std::string raw = dir.Path("raw.bin");
        // Without a time limit only Ctrl-C ends a capture of a silent line.
        std::vector<std::string> options{"--save-raw", raw};
        if (!byCtrlC) options.insert(options.end(), {"--seconds", "0.5"});
        ChildProcess capture(CaptureArgs(sim.port(), "vdcp", options), {});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (byCtrlC && ReadFileBytes(raw).size() < sent.size() &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (byCtrlC) capture.Signal(SIGINT);
        const ProcessResult result = capture.Finish(30000);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, std::string("orvane-cli: capture ended: ") +
                                  (byCtrlC ? "Ctrl-C" : "time up") + "; 40 messages\n");
        EXPECT_TRUE(ReadFileBytes(raw) == sent);
        EXPECT_TRUE(SameLines(ReplayBody("vdcp", raw), LogBody(result.out)));
        EXPECT_NE(result.out.find("\tPosition: "), std::string::npos);
    }
}

}  // namespace
}  // namespace orvane::test
