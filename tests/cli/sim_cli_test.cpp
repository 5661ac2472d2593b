// orvane-sim, run as a process: the stream layout, the scenarios' traffic, determinism for a
// seed, the fault scenarios' faults, and a file streamed as it is.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

// What a stream holds, cut at each marker that starts a message: on an entry boundary, followed
// by a sequence number that is not zero.
struct StreamShape {
    std::size_t garbage = 0;  // bytes before the first marker
    std::size_t messages = 0;
    int gaps = 0;              // sequence numbers that do not follow the one before
    bool wholeEntries = true;  // every message holds whole entries, at least one
    std::set<int> entryCodes;  // the direction bits of every entry
};

StreamShape Shape(const std::string& s) {
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    auto markerAt = [&](std::size_t p) {
        return p + 8 <= s.size() && s.compare(p, 5, std::string(5, '\0')) == 0 &&
               (at(p + 5) | at(p + 6) | at(p + 7)) != 0;
    };
    StreamShape shape;
    std::size_t p = 0;
    while (p < s.size() && !markerAt(p)) ++p;
    shape.garbage = p;
    for (std::uint32_t last = 0; p < s.size(); ++shape.messages) {
        const std::uint32_t sequence = at(p + 5) << 16 | at(p + 6) << 8 | at(p + 7);
        if (shape.messages > 0 && sequence != last + 1) ++shape.gaps;
        last = sequence;
        std::size_t end = p + 8;
        for (; end < s.size() && !markerAt(end); end += 3) shape.entryCodes.insert(at(end) & 0xC0);
        shape.wholeEntries = shape.wholeEntries && end > p + 8 && end <= s.size();
        p = end;
    }
    return shape;
}

std::string Stream(const char* scenario, const std::vector<std::string>& options) {
    return UnitStream(Join({"--scenario", scenario, "--rate", "fast"}, options));
}

// The rows of the replay of a stream under a protocol mode and view with the analysis columns,
// header line included.
std::vector<std::string> ReplayRows(const std::string& stream, std::int32_t protocolMode,
                                    const std::string& view) {
    ScratchFolder dir;
    WriteFileBytes(dir.Path("stream.bin"), stream);
    return LogLines(RunCli({"replay", "--columns", "analysis", "--view", view, "--protocol",
                            std::to_string(protocolMode), dir.Path("stream.bin")})
                        .out);
}

struct ScenarioCase {
    const char* scenario;
    std::int32_t protocolMode;
    const char* pollKey;  // the controller's per-field poll; none for noise
};

const ScenarioCase kScenarios[] = {
    {"sony", 0, "61 0C"},
    {"odetics", 1, "61 0C"},
    {"vdcp", 2, "02 03 30 06"},
    {"noise", 0, nullptr},
};

TEST(Sim, ScenariosStreamWellFormedTrafficDeterministically) {
    for (const ScenarioCase& c : kScenarios) {
        SCOPED_TRACE(c.scenario);
        const bool noise = c.pollKey == nullptr;
        Simulator sim(
            {"--scenario", c.scenario, "--rate", "fast", "--messages", "900", "--seed", "42"});
        const std::string stream = ReadWholeStream(sim.port());
        EXPECT_TRUE(stream == ReadWholeStream(sim.port())) << "same bytes on every connection";
        EXPECT_EQ(sim.Stop().exitCode, 0) << "SIGTERM ends the simulator cleanly";
        EXPECT_TRUE(stream == Stream(c.scenario, {"--messages", "900", "--seed", "42", "--coalesce",
                                                  "4", "--split", "9"}));
        EXPECT_FALSE(stream == Stream(c.scenario, {"--messages", "900", "--seed", "43"}));

        // Noise adds garbage before the first marker, sequence gaps and entries of neither side.
        const StreamShape shape = Shape(stream);
        EXPECT_EQ(shape.garbage > 0, noise);
        EXPECT_EQ(shape.gaps > 0, noise);
        const std::set<int> sides{0x80, 0xC0}, all{0x00, 0x40, 0x80, 0xC0};
        EXPECT_EQ(shape.entryCodes, noise ? all : sides);
        if (noise) continue;
        EXPECT_EQ(shape.messages, 900u);
        EXPECT_TRUE(shape.wholeEntries);
        // The program keeps every byte: one Byte View row each.
        EXPECT_EQ(ReplayRows(stream, c.protocolMode, "byte").size() - 1,
                  (stream.size() - 900 * 8) / 3);

        const std::vector<std::string> rows = ReplayRows(stream, c.protocolMode, "packet");
        ASSERT_GT(rows.size(), 200u);
        std::vector<double> pollTimes;
        std::set<std::string> commands;  // controller packets by their command bytes
        // Every packet passes its checks; the last may be cut off by the end of the stream.
        for (std::size_t i = 1; i + 4 < rows.size(); ++i) {
            std::vector<std::string> cells;  // Event, Time, ID, Packet, Command, Latency, Verdict
            std::istringstream in(rows[i]);
            for (std::string cell; std::getline(in, cell, '\t');) cells.push_back(cell);
            cells.resize(7);
            EXPECT_TRUE(cells[6].empty() || cells[6].starts_with("NAK")) << rows[i];
            if (cells[2] == "Ctrl" && cells[3].size() > (c.protocolMode == 2 ? 9u : 3u)) {
                commands.insert(cells[3].substr(0, c.protocolMode == 2 ? 11 : 5));
                if (cells[3].rfind(c.pollKey, 0) == 0) pollTimes.push_back(std::stod(cells[1]));
            }
        }
        // One poll per video field, about 16.7 ms apart in the capture unit's time.
        ASSERT_GT(pollTimes.size(), 50u);
        const double meanMs = (pollTimes.back() - pollTimes.front()) * 1000 /
                              static_cast<double>(pollTimes.size() - 1);
        EXPECT_NEAR(meanMs, 16.7, 1.5);
        EXPECT_GE(commands.size(), 4u) << "polls and a few commands";
    }
}

// Each fault leaves its sign in the log of a written capture; a live capture of the same stream
// gives the same log and reports the lost messages.
TEST(Sim, FaultScenariosShowTheirFaults) {
    struct FaultCase {
        const char* scenario;
        const char* protocol;
        std::vector<const char*> signs;  // each matches somewhere in the log
    };
    const FaultCase cases[] = {
        {"faults",
         "sony",
         {"\t11 12 01 24 \tNak",                      // unknown command
          "\t11 12 04 27 \tNak",                      // a command with a bad checksum
          "\t11 12 (10 33|20 43|40 63|80 A3) \tNak",  // parity, overrun, framing, time-out
          "\tLTC Time Data [^\t]* CheckSum Error"}},  // a time reply bad or cut short
        {"vdcp-faults", "vdcp", {"\t05 01 \tNak", "\t05 04 \tNak", "\t05 (10|20|40|80) \tNak"}},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.scenario);
        ScratchFolder dir;
        const std::string file = dir.Path("faults.pcapng");
        ASSERT_EQ(RunProcess({ORVANE_SIM_PATH, "--scenario", c.scenario, "--messages", "6000",
                              "--write-capture", file})
                      .exitCode,
                  0);
        const ProcessResult replay = RunCli({"replay", file});
        ASSERT_EQ(replay.exitCode, 0) << replay.err;
        for (const char* sign : c.signs) {
            EXPECT_TRUE(std::regex_search(replay.out, std::regex(sign))) << sign;
        }

        Simulator sim({"--scenario", c.scenario, "--rate", "fast", "--messages", "6000"});
        const ProcessResult live = RunProcess(
            CaptureArgs(sim.port(), {"--continuous", "--protocol", c.protocol}), {}, 60000);
        ASSERT_EQ(live.exitCode, 0) << live.err;
        EXPECT_TRUE(std::regex_search(
            live.err, std::regex(", [1-9][0-9]* lost in [1-9][0-9]* sequence gaps")))
            << live.err;
        EXPECT_TRUE(SameLines(LogBody(replay.out), LogBody(live.out)));
    }
}

TEST(Sim, FileIsSentAsItIs) {
    for (const char* name : {"sony_session.bin", "vdcp_session.bin", "neither_side.bin"}) {
        Simulator sim({"--file", DataPath(name), "--rate", "fast", "--split", "3"});
        EXPECT_TRUE(ReadWholeStream(sim.port()) == ReadFileBytes(DataPath(name))) << name;
    }
}

}  // namespace
}  // namespace orvane::test
