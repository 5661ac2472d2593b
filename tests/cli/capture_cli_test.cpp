// orvane-cli capture against orvane-sim on loopback: a capture ended by time or Ctrl-C keeps what
// arrived, says why it ended, and its log equals the replay of its raw bytes.
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

TEST(CaptureCli, EndingByTimeOrCtrlCKeepsWhatArrived) {
    // The unit sends 40 messages and then stays silent with the connection open.
    const std::string sent =
        UnitStream({"--scenario", "vdcp", "--rate", "fast", "--messages", "40"});
    for (const bool byCtrlC : {false, true}) {
        SCOPED_TRACE(byCtrlC ? "Ctrl-C" : "--seconds");
        Simulator sim({"--scenario", "vdcp", "--rate", "fast", "--idle-after", "40"});
        ScratchFolder dir;
        const std::string raw = dir.Path("raw.bin");
        // Without a time limit only Ctrl-C ends a capture of a silent line.
        std::vector<std::string> options{"--save-raw", raw};
        if (!byCtrlC) options.insert(options.end(), {"--seconds", "0.5"});
        ChildProcess capture(CaptureArgs(sim.port(), Join({"--protocol", "vdcp"}, options)), {});
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
        EXPECT_TRUE(SameLines(LogBody(RunCli({"replay", "--protocol", "vdcp", raw}).out),
                              LogBody(result.out)));
        EXPECT_NE(result.out.find("\tPosition: "), std::string::npos);
    }
}

}  // namespace
}  // namespace orvane::test
