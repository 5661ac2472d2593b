// orvane-cli stats, run as a process: the figures of the sample sessions in each format, the
// bounded capture's part of a long file unless --continuous, and the exit status of bad input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/message_layout.hpp"
#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

struct StatsCase {
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> inOut;  // pieces standard output holds
    std::string inErr;               // a piece standard error holds
};

TEST(StatsCli, WritesTheFiguresOfTheSessions) {
    const std::string sony = DataPath("sony_session.bin");
    const std::string vdcp = DataPath("vdcp_session.bin");
    const StatsCase cases[] = {
        {{"--format", "json", sony},
         0,
         {"{\"packets\":14,", "\"lost_messages\":0", "\"polls\":3,",
          "\"Current Time Sense\":{\"side\":\"controller\",\"count\":2,\"share\":0.1429,"
          "\"latency_ms\":{\"min\":4,\"median\":4,\"p95\":4,\"max\":4}}",
          "\"verdicts\":{\"checksum wrong\":1,", "\"naks\":{\"undefined command\":0,"},
         ""},
        {{"--protocol", "vdcp", "--format=json", vdcp},
         0,
         {"\"packets\":12,", "\"Nak\":{\"side\":\"deck\",\"count\":1,", "\"NAK\":1,",
          "\"undefined command\":1"},
         ""},
        {{"--format", "csv", sony}, 0, {"\npacket,Play,controller,1,0.0714,4,4,4,4\n"}, ""},
        {{sony}, 0, {"Lost messages: 0", "\nAll replies  "}, ""},
        {{"--format", "xml", sony}, 2, {}, "bad value for --format: 'xml'"},
        {{"--view", "byte", sony}, 2, {}, "unknown option --view for stats"},
        {{}, 2, {}, "stats needs at least one capture file"},
        {{DataPath("empty.bin")}, 2, {}, "holds no capture-unit message"},
        {{DataPath("missing.bin")}, 2, {}, "cannot read"},
    };
    for (const StatsCase& c : cases) {
        const std::vector<std::string> argv = Join({"stats"}, c.arguments);
        SCOPED_TRACE(argv.back());
        const ProcessResult result = RunCli(argv);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
        for (const std::string& piece : c.inOut) {
            EXPECT_NE(result.out.find(piece), std::string::npos) << piece << "\n" << result.out;
        }
        EXPECT_NE(result.err.find(c.inErr), std::string::npos) << result.err;
    }
    // stats --help gives the command's own part of the usage, not all of it.
    EXPECT_EQ(RunCli({"stats", "--help"}).out.rfind("orvane-cli stats [", 0), 0u);
}

TEST(StatsCli, CoversTheBoundedCaptureUnlessContinuous) {
    // 1200 messages of one Time Sense exchange each; the bounded capture keeps 1000.
    std::string stream;
    for (std::uint32_t k = 0; k < 1200; ++k) {
        AppendMessageHeader(stream, 100 + k);
        const int tick = static_cast<int>(k * 20 % 4096);
        for (const int value : {0x61, 0x0C, 0x01, 0x6E})
            AppendMessageEntry(stream, 0x80, tick, value);
        for (const int value : {0x74, 0x04, 0x00, 0x00, 0x10, 0x01, 0x89}) {
            AppendMessageEntry(stream, 0xC0, tick + 3, value);
        }
    }
    ScratchFolder dir;
    WriteFileBytes(dir.Path("long.bin"), stream);
    for (const auto& [option, packets] : {std::pair{"--format=json", "{\"packets\":2000,"},
                                          {"--continuous", "{\"packets\":2400,"}}) {
        const ProcessResult result = RunProcess(
            {ORVANE_CLI_PATH, "stats", "--format", "json", option, dir.Path("long.bin")});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out.rfind(packets, 0), 0u) << result.out.substr(0, 40);
    }
}

}  // namespace
}  // namespace orvane::test
