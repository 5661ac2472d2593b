// Bad options, unreadable inputs and unwritable outputs of orvane-cli and orvane-sim: the exit
// status, a one-line message naming the cause, and no log file left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/pcapng_blocks.hpp"
#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

struct ErrorCase {
    std::vector<std::string> argv;
    int exitCode;
    std::string errorText;  // part of the message on standard error
};

TEST(CliExitStatus, ErrorsExitWithOneLineMessage) {
    ScratchFolder dir;
    Simulator sim({"--scenario", "sony", "--rate", "fast", "--messages", "10"});
    const std::string cli = ORVANE_CLI_PATH;
    const std::string log = dir.Path("log.csv");
    const std::string session = DataPath("sony_session.bin");
    const std::string missing = DataPath("no-such-capture.bin");
    const std::string unit = std::to_string(sim.port());
    const std::string refused = std::to_string(UnusedLoopbackPort());
    const std::string ethernet = dir.Path("ethernet.pcapng");
    WriteFileBytes(ethernet, pcapng::SectionHeaderBlock("", {}) +
                                 pcapng::InterfaceDescriptionBlock(1, "eth0", ""));
    const ErrorCase cases[] = {
        {{cli}, 2, ""},
        {{cli, "decode", "--verbose"}, 2, ""},
        {{cli, "decode", "--view", "byte"}, 2, ""},
        {{cli, "decode", "--protocol", "betacam"}, 2, ""},
        {{cli, "decode", "--protocol", "2147483648"}, 2, ""},
        {{cli, "decode", "--protocol"}, 2, ""},
        {{cli, "decode", "packets.txt"}, 2, ""},
        {{cli, "replay", "--out", log}, 2, ""},
        {{cli, "replay", "--out", log, "--view", "table", session}, 2, ""},
        {{cli, "replay", "--out", log, "--show", "acks,time", session}, 2, ""},
        {{cli, "replay", "--out", log, "--show", "all,acks", session}, 2, ""},
        {{cli, "replay", "--out", log, "--show", "", session}, 2, "--show"},
        {{cli, "replay", "--out", log, "--format", "xml", session}, 2, "xml"},
        {{cli, "decode", "--continuous"}, 2, "--continuous"},
        // A file without a single capture-unit message is no capture.
        {{cli, "replay", "--out", log, DataPath("empty.bin")},
         2,
         DataPath("empty.bin") + " holds no capture-unit message\n"},
        {{cli, "capture", "--port", "23"}, 2, ""},
        {{cli, "capture", "--address", "127.0.0.1", "--port", unit, "--seconds", "-1"}, 2, ""},
        {{cli, "capture", "--address", "127.0.0.1", "--port", unit, session}, 2, ""},
        {{cli, "capture", "--address", "127.0.0.1", "--port", unit, "--capture-file", ""},
         2,
         "--capture-file"},
        // A pcapng file of other packets; a file without a single capture-unit message.
        {{cli, "replay", "--out", log, ethernet}, 2, ethernet + ": This pcapng file is not an"},
        // Every file is read before anything is written.
        {{cli, "replay", "--out", log, missing}, 2, missing},
        {{cli, "replay", "--out", log, session, missing}, 2, missing},
        {{cli, "replay", "--out", log, dir.Path("")}, 2, dir.Path("")},
        {{cli, "replay", "--out", dir.Path("none/log.csv"), session},
         1,
         "cannot write " + dir.Path("none/log.csv") + ": No such file or directory\n"},
        {{"/bin/sh", "-c", "exec '" + cli + "' replay '" + session + "' > /dev/full"}, 1, ""},
        {{cli, "capture", "--address", "127.0.0.1", "--port", unit, "--save-raw",
          dir.Path("none/raw.bin")},
         1,
         dir.Path("none/raw.bin")},
        {{cli, "capture", "--address", "127.0.0.1", "--port", refused, "--seconds", "5", "--out",
          log, "--save-raw", dir.Path("raw.bin")},
         1,
         "cannot connect to the capture unit at 127.0.0.1:" + refused + ": Connection refused\n"},
        {{ORVANE_SIM_PATH, "--port", "0"}, 2, ""},
        {{ORVANE_SIM_PATH, "--scenario", "betacam"}, 2, ""},
        {{ORVANE_SIM_PATH, "--scenario", "sony", "--file", session}, 2, ""},
        {{ORVANE_SIM_PATH, "--file", missing}, 2, missing},
        {{ORVANE_SIM_PATH, "--scenario", "sony", "--port", "70000"}, 2, ""},
    };
    for (const ErrorCase& c : cases) {
        const ProcessResult result = RunProcess(c.argv, "20 01 21 \n", 60000);
        const std::string& last = c.argv.back();
        EXPECT_EQ(result.exitCode, c.exitCode) << last;
        EXPECT_EQ(result.out, "") << last;
        EXPECT_TRUE(!result.err.empty() && result.err.find('\n') == result.err.size() - 1)
            << result.err;
        EXPECT_NE(result.err.find(c.errorText), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(log)) << last;
        EXPECT_FALSE(std::filesystem::exists(dir.Path("raw.bin"))) << last;
    }
}

}  // namespace
}  // namespace orvane::test
