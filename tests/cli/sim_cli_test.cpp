// orvane-sim, run as a process: the stream layout, the scenarios' traffic, determinism, and the
// options that shape writes and connection ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

std::uint8_t Byte(const std::string& bytes, std::size_t i) {
    return static_cast<std::uint8_t>(bytes[i]);
}

struct ParsedStream {
    std::string before;  // bytes before the first marker
    std::vector<std::uint32_t> sequences;
    std::vector<std::string> messages;
};

// Cuts a stream at each marker that starts a message: on an entry boundary, followed by a
// sequence number that is not zero.
ParsedStream ParseStream(const std::string& stream) {
    ParsedStream parsed;
    auto markerAt = [&](std::size_t p) {
        return p + 8 <= stream.size() && stream.compare(p, 5, std::string(5, '\0')) == 0 &&
               (Byte(stream, p + 5) | Byte(stream, p + 6) | Byte(stream, p + 7)) != 0;
    };
    std::size_t p = 0;
    while (p < stream.size() && !markerAt(p)) ++p;
    parsed.before = stream.substr(0, p);
    while (p < stream.size()) {
        std::size_t end = p + 8;
        while (end < stream.size() && !markerAt(end)) end += 3;
        end = std::min(end, stream.size());
        parsed.messages.push_back(stream.substr(p, end - p));
        parsed.sequences.push_back((Byte(stream, p + 5) << 16) | (Byte(stream, p + 6) << 8) |
                                   Byte(stream, p + 7));
        p = end;
    }
    return parsed;
}

std::string Stream(std::vector<std::string> options) {
    Simulator sim(std::move(options));
    return ReadWholeStream(sim.port());
}

class NoEvents final : public ReceiveEvents {
  public:
    void SetCounterText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void EndCapture() override {}
};

// The stream as the program assembles it.
CaptureModel Assemble(const std::string& stream, std::int32_t protocolMode) {
    CaptureModel model;
    const Trace trace;
    NoEvents events;
    ReceiveStream receive(model, trace, events);
    receive.StartCapture();
    receive.OnReceive(stream);
    AssembleCapture(model, protocolMode, trace);
    return model;
}

std::vector<int> PacketBytes(const std::string& line) {
    std::vector<int> bytes;
    for (std::size_t i = line.find('\t') + 1; i + 2 < line.size() + 1; i += 3) {
        bytes.push_back(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

struct ScenarioCase {
    const char* scenario;
    std::int32_t protocolMode;
    const char* pollKey;  // the controller's per-field poll
};

const ScenarioCase kScenarios[] = {
    {"sony", 0, "61 0C"},
    {"odetics", 1, "61 0C"},
    {"vdcp", 2, "02 03 30 06"},
};

class SimScenario : public testing::TestWithParam<ScenarioCase> {};

TEST_P(SimScenario, MessagesFollowTheCaptureUnitLayout) {
    const std::string stream =
        Stream({"--scenario", GetParam().scenario, "--rate", "fast", "--messages", "500"});
    const ParsedStream parsed = ParseStream(stream);
    EXPECT_EQ(parsed.before, "");
    ASSERT_EQ(parsed.messages.size(), 500u);
    for (std::size_t i = 0; i < parsed.messages.size(); ++i) {
        const std::string& message = parsed.messages[i];
        ASSERT_GE(message.size(), 11u);
        ASSERT_EQ((message.size() - 8) % 3, 0u);
        if (i > 0) {
            ASSERT_EQ(parsed.sequences[i], parsed.sequences[i - 1] + 1);
        }
        for (std::size_t e = 8; e < message.size(); e += 3) {
            const int code = Byte(message, e) & 0xC0;
            ASSERT_TRUE(code == 0x80 || code == 0xC0) << "entry code " << code;
        }
    }
    // The program keeps every message and every byte.
    const CaptureModel model = Assemble(stream, GetParam().protocolMode);
    EXPECT_EQ(model.blockCount, 500);
    EXPECT_EQ(model.byteCount, static_cast<int>((stream.size() - 500 * 8) / 3));
}

TEST_P(SimScenario, PacketsAreWellFormedAndPolledEveryField) {
    const ScenarioCase& c = GetParam();
    const CaptureModel model = Assemble(
        Stream({"--scenario", c.scenario, "--rate", "fast", "--messages", "900", "--seed", "3"}),
        c.protocolMode);
    ASSERT_GT(model.lastPacketIndex, 200);
    std::vector<double> pollTimes;
    std::map<int, int> commandCount;  // controller packets by their command bytes
    // The last packets may be cut off by the end of the stream.
    for (int i = 0; i <= model.lastPacketIndex - 4; ++i) {
        const std::string& line = model.packetLines[static_cast<std::size_t>(i)].text;
        const std::vector<int> bytes = PacketBytes(line);
        ASSERT_FALSE(bytes.empty());
        if (c.protocolMode == 2) {
            if (bytes.size() <= 2) {
                EXPECT_TRUE(bytes[0] == 0x04 || bytes[0] == 0x05) << line;  // ACK, NAK + error
                continue;
            }
            ASSERT_EQ(bytes[0], 0x02) << line;
            ASSERT_EQ(bytes[1], static_cast<int>(bytes.size()) - 3) << line;
            int sum = 0;
            for (std::size_t k = 2; k < bytes.size(); ++k) sum += bytes[k];
            EXPECT_EQ(sum & 0xFF, 0) << "checksum of " << line;
        } else {
            EXPECT_EQ(bytes.size(), static_cast<std::size_t>((bytes[0] & 0x0F) + 3)) << line;
            int sum = 0;
            for (std::size_t k = 0; k + 1 < bytes.size(); ++k) sum += bytes[k];
            EXPECT_EQ(sum & 0xFF, bytes.back()) << "checksum of " << line;
        }
        const std::string data = line.substr(line.find('\t') + 1);
        if (static_cast<unsigned char>(line[0]) == 0x80) {
            ++commandCount[bytes[0] << 8 | bytes[c.protocolMode == 2 ? 3 : 1]];
            if (data.rfind(c.pollKey, 0) == 0) pollTimes.push_back(std::stod(line.substr(1, 8)));
        }
    }
    // One poll per video field, about 16.7 ms apart in the capture unit's time.
    ASSERT_GT(pollTimes.size(), 50u);
    const double meanMs =
        (pollTimes.back() - pollTimes.front()) * 1000 / static_cast<double>(pollTimes.size() - 1);
    EXPECT_NEAR(meanMs, 16.7, 1.5);
    EXPECT_GE(commandCount.size(), 4u) << "polls and a few commands";
}

TEST_P(SimScenario, SameSeedSameBytesOnEveryConnection) {
    Simulator sim(
        {"--scenario", GetParam().scenario, "--rate", "fast", "--messages", "300", "--seed", "42"});
    const std::string first = ReadWholeStream(sim.port());
    EXPECT_TRUE(first == ReadWholeStream(sim.port()));
    EXPECT_TRUE(first == Stream({"--scenario", GetParam().scenario, "--rate", "fast", "--messages",
                                 "300", "--seed", "42", "--coalesce", "4", "--split", "9"}));
    EXPECT_FALSE(first == Stream({"--scenario", GetParam().scenario, "--rate", "fast", "--messages",
                                  "300", "--seed", "43"}));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SimScenario, testing::ValuesIn(kScenarios),
                         [](const testing::TestParamInfo<ScenarioCase>& paramInfo) {
                             return std::string(paramInfo.param.scenario);
                         });

TEST(SimNoise, HasGarbageIgnoredAndNeitherEntriesAndSequenceGaps) {
    const ParsedStream parsed =
        ParseStream(Stream({"--scenario", "noise", "--rate", "fast", "--messages", "400"}));
    EXPECT_FALSE(parsed.before.empty()) << "garbage before the first marker";
    int gaps = 0;
    std::map<int, int> codes;
    for (std::size_t i = 0; i < parsed.messages.size(); ++i) {
        if (i > 0 && parsed.sequences[i] != parsed.sequences[i - 1] + 1) ++gaps;
        for (std::size_t e = 8; e + 3 <= parsed.messages[i].size(); e += 3) {
            ++codes[Byte(parsed.messages[i], e) & 0xC0];
        }
    }
    EXPECT_GT(gaps, 0);
    for (int code : {0x00, 0x40, 0x80, 0xC0}) EXPECT_GT(codes[code], 0) << code;
}

TEST(SimOptions, MessageLimitsAndConnectionEnds) {
    auto messageCount = [](const std::string& stream) {
        return ParseStream(stream).messages.size();
    };
    EXPECT_EQ(messageCount(Stream({"--scenario", "sony", "--rate", "fast", "--messages", "37"})),
              37u);
    EXPECT_EQ(messageCount(Stream({"--scenario", "vdcp", "--rate", "fast", "--close-after", "12"})),
              12u);
    // --partial: the first bytes of one more message, then the close.
    const std::string whole = Stream({"--scenario", "sony", "--rate", "fast", "--messages", "13"});
    const std::string cut =
        Stream({"--scenario", "sony", "--rate", "fast", "--close-after", "12", "--partial", "5"});
    const ParsedStream wholeParsed = ParseStream(whole);
    std::size_t twelve = 0;
    for (std::size_t i = 0; i < 12; ++i) twelve += wholeParsed.messages[i].size();
    EXPECT_TRUE(cut == whole.substr(0, twelve + 5));
    // --first-seq sets the first message's number.
    EXPECT_EQ(ParseStream(Stream({"--scenario", "odetics", "--rate", "fast", "--messages", "3",
                                  "--first-seq", "1193046"}))
                  .sequences.front(),
              0x123456u);
}

TEST(SimOptions, FileIsSentAsIs) {
    TempDir dir;
    const std::string noise =
        Stream({"--scenario", "noise", "--rate", "fast", "--messages", "200", "--seed", "9"});
    WriteFileBytes(dir.Path("noise.bin"), noise);
    for (const std::string& file :
         {DataPath("sony_session.bin"), DataPath("vdcp_session.bin"), dir.Path("noise.bin")}) {
        EXPECT_TRUE(Stream({"--file", file, "--rate", "fast", "--split", "3"}) ==
                    ReadFileBytes(file))
            << file;
    }
    EXPECT_TRUE(Stream({"--file", DataPath("neither_side.bin")}) ==
                ReadFileBytes(DataPath("neither_side.bin")));
}

TEST(SimOptions, TermSignalEndsAnIdleSimulatorCleanly) {
    Simulator sim({"--scenario", "sony", "--rate", "fast", "--idle-after", "5"});
    ChildProcess reader({ORVANE_CLI_PATH, "capture", "--address", "127.0.0.1", "--port",
                         std::to_string(sim.port()), "--seconds", "30"},
                        {});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const ProcessResult ended = sim.Stop();
    EXPECT_EQ(ended.exitCode, 0);
    EXPECT_FALSE(ended.timedOut);
    // The capture sees the unit close and ends well before its 30 seconds.
    const ProcessResult captured = reader.Finish(20000);
    EXPECT_EQ(captured.exitCode, 0);
    EXPECT_FALSE(captured.timedOut);
}

struct BadSimOption {
    const char* name;
    std::vector<std::string> args;
};

const BadSimOption kBadSimOptions[] = {
    {"NoScenario", {"--port", "0"}},
    {"UnknownScenario", {"--scenario", "betacam"}},
    {"ScenarioAndFile", {"--scenario", "sony", "--file", "x.bin"}},
    {"MissingFile", {"--file", "/no/such/capture.bin"}},
    {"PortOutOfRange", {"--scenario", "sony", "--port", "70000"}},
    {"BadRate", {"--scenario", "sony", "--rate", "slow"}},
    {"UnknownOption", {"--scenario", "sony", "--baud", "9600"}},
};

class SimBadOptions : public testing::TestWithParam<BadSimOption> {};

TEST_P(SimBadOptions, ExitTwo) {
    std::vector<std::string> argv{ORVANE_SIM_PATH};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const ProcessResult result = RunProcess(argv, {}, 10000);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(result.err.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, SimBadOptions, testing::ValuesIn(kBadSimOptions),
                         [](const testing::TestParamInfo<BadSimOption>& paramInfo) {
                             return std::string(paramInfo.param.name);
                         });

}  // namespace
}  // namespace orvane::test
