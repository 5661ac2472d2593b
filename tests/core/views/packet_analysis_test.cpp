// Packet analysis: the verdicts of damaged, stray and unknown packets in both protocols, the
// pairing of replies with commands and their latency, and verdicts that stay as first given
// while a capture grows.
#include "views/packet_analysis.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../capture/capture_test_support.hpp"

namespace orvane::testing {
namespace {

// One packet on the line, in a capture-unit message of its own.
struct Sent {
    char side;        // 'C' controller, 'D' deck, 'N' neither side
    std::int64_t ms;  // time of its first byte
    const char* hex;
    int byteStepMs = 0;  // time between its bytes
    int lostBefore = 0;  // capture-unit messages lost just before it
};

std::vector<std::string> Reads(const std::vector<Sent>& sent) {
    std::vector<std::string> reads;
    std::uint32_t sequence = 1;
    for (const Sent& s : sent) {
        if (s.lostBefore > 0) {
            // The message before a gap is dropped with it: let that be one with no bytes.
            reads.push_back(Header(sequence++));
            AppendEntry(reads.back(), {0x40, 0, 0});
            sequence += static_cast<std::uint32_t>(s.lostBefore);
        }
        std::string message = Header(sequence++);
        const int code = s.side == 'C' ? 0x80 : s.side == 'D' ? 0xC0 : 0x00;
        std::int64_t ms = s.ms;
        for (const char byte : HexBytes(s.hex)) {
            AppendEntry(message,
                        {code, static_cast<int>(ms % 4096), static_cast<unsigned char>(byte)});
            ms += s.byteStepMs;
        }
        reads.push_back(message);
    }
    return reads;
}

// "latency|verdict" of every packet.
std::vector<std::string> Analyse(ProtocolMode mode, const std::vector<std::string>& reads) {
    ContinuousCapture capture(mode, Trace{});
    for (const std::string& read : reads) capture.OnRead(read);
    capture.Finish();
    PacketAnalysis analysis(capture);
    analysis.Update();
    EXPECT_EQ(analysis.AnalyzedCount(), capture.packets().size());
    std::vector<std::string> cells;
    for (std::size_t p = 0; p < capture.packets().size(); ++p) {
        cells.push_back(analysis.LatencyText(p) + "|" + analysis.VerdictText(p));
    }
    return cells;
}

struct Case {
    const char* name;
    ProtocolMode mode;
    std::vector<Sent> sent;
    std::vector<std::string> expected;
};

const Case kCases[] = {
    // 9-pin.
    {"answered", ProtocolMode::kSony, {{'C', 0, "20 01 21"}, {'D', 4, "10 01 11"}}, {"|", "4 ms|"}},
    {"checksum",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 22"}, {'D', 3, "10 01 11"}},
     {"|checksum 22, expected 21", "3 ms|"}},
    // A deck byte ends the command: it is short.
    {"short",
     ProtocolMode::kSony,
     {{'C', 0, "61 0C 03"}, {'D', 3, "10 01 11"}},
     {"|short: 3 of 4 bytes", "3 ms|"}},
    {"late: complete after 10 ms",
     ProtocolMode::kSony,
     {{'C', 0, "61 0C 03 70"}, {'D', 4, "74 04 00 00 10 01 89", 1}},
     {"|", "4 ms|late reply: complete after 10 ms"}},
    {"two commands, then one reply",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 21"}, {'C', 30, "20 00 20"}, {'D', 33, "10 01 11"}},
     {"|no reply", "|", "3 ms|"}},
    {"a second reply answers nothing",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 21"}, {'D', 2, "10 01 11"}, {'D', 5, "11 12 01 24"}},
     {"|", "2 ms|", "|NAK: undefined command; reply to nothing"}},
    {"waits 100 ms and no longer",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 21"}, {'D', 100, "10 01 11"}, {'C', 200, "20 00 20"}, {'D', 301, "10 01 11"}},
     {"|", "100 ms|late reply: complete after 100 ms", "|no reply", "|reply to nothing"}},
    {"unknown codes",
     ProtocolMode::kSony,
     {{'C', 0, "50 01 51"}, {'D', 3, "70 99 09"}},
     {"|unknown command", "3 ms|unknown reply"}},
    // Noise: a code no vocabulary knows, and a checksum that does not add up.
    {"not a packet", ProtocolMode::kSony, {{'D', 0, "50 01 00"}}, {"|not a packet"}},
    {"messages lost",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 21"}, {'D', 3, "10 01 11", 0, 3}},
     {"|", "3 ms|3 messages lost"}},
    {"across the tick's wrap",
     ProtocolMode::kSony,
     {{'C', 4090, "61 0C 03 70"}, {'D', 4093, "74 04 00 00 10 01 89", 1}},
     {"|", "3 ms|"}},
    {"late across the wrap",
     ProtocolMode::kSony,
     {{'C', 4090, "61 0C 03 70"}, {'D', 4094, "74 04 00 00 10 01 89", 1}},
     {"|", "4 ms|late reply: complete after 10 ms"}},
    // At the end a command is judged only when its 100 ms are over.
    {"end: still in time", ProtocolMode::kSony, {{'C', 0, "20 01 21"}, {'N', 90, "00"}}, {"|"}},
    {"end: time over",
     ProtocolMode::kSony,
     {{'C', 0, "20 01 21"}, {'N', 101, "00"}},
     {"|no reply"}},
    // VDCP.
    {"vdcp answered",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 02 30 08 C8"}, {'D', 6, "04"}},
     {"|", "6 ms|"}},
    {"vdcp checksum and late",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 03 30 06 01 C8"}, {'D', 7, "02 02 30 08 C8"}},
     {"|checksum C8, expected C9", "7 ms|late reply: 7 ms"}},
    {"vdcp long",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 02 30 08 C8"},
      {'D', 2, "04"},
      {'C', 10, "02 02 10 01 EF 77"},
      {'D', 13, "04 33"}},
     {"|", "2 ms|", "|long: 6 of 5 bytes", "3 ms|long: 2 of 1 bytes"}},
    {"vdcp short at the end",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 02 10 01 EF"}, {'D', 3, "02 04 30"}},
     {"|", "3 ms|short: 3 of 7 bytes"}},
    {"vdcp stray bytes",
     ProtocolMode::kVdcp,
     {{'C', 0, "11 00 99 02 02 10 01 EF"}, {'D', 3, "04"}},
     {"|3 stray bytes before", "3 ms|"}},
    // The capture began inside a message.
    {"vdcp not a packet",
     ProtocolMode::kVdcp,
     {{'D', 0, "04 01"}, {'C', 10, "02 02 10 01 EF"}, {'D', 12, "04"}},
     {"|not a packet", "|", "2 ms|"}},
    {"vdcp unknown and lost",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 02 90 01 6F"}, {'D', 2, "05 01", 0, 1}},
     {"|unknown command", "2 ms|NAK: undefined command; 1 message lost"}},
    {"vdcp no reply and reply to nothing",
     ProtocolMode::kVdcp,
     {{'C', 0, "02 02 10 01 EF"}, {'C', 20, "02 02 10 01 EF"}, {'D', 130, "04"}},
     {"|no reply", "|no reply", "|reply to nothing"}},
};

TEST(PacketAnalysis, VerdictsAndLatencies) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Analyse(c.mode, Reads(c.sent)), c.expected);
    }
}

TEST(PacketAnalysis, NakReasons) {
    const struct {
        const char* sony;
        const char* vdcp;
        const char* text;
    } cases[] = {
        {"11 12 01 24", "05 01", "NAK: undefined command"},
        {"11 12 04 27", "05 04", "NAK: checksum error"},
        {"11 12 10 33", "05 10", "NAK: parity error"},
        {"11 12 20 43", "05 20", "NAK: buffer overrun"},
        {"11 12 40 63", "05 40", "NAK: framing error"},
        {"11 12 80 A3", "05 80", "NAK: time-out"},
        {"11 12 81 A4", "05 81", "NAK: undefined command, time-out"},
        {"11 12 02 25", "05 02", "NAK: error byte 02"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> expected{"|", std::string("2 ms|") + c.text};
        EXPECT_EQ(Analyse(ProtocolMode::kSony, Reads({{'C', 0, "20 01 21"}, {'D', 2, c.sony}})),
                  expected);
        EXPECT_EQ(
            Analyse(ProtocolMode::kVdcp, Reads({{'C', 0, "02 02 10 01 EF"}, {'D', 2, c.vdcp}})),
            expected);
    }
}

// Traffic with every kind of trouble: replies late, missing or doubled, noise, lost messages.
std::vector<std::string> RoughStream(ProtocolMode mode, std::uint32_t seed) {
    const std::vector<std::pair<char, const char*>> sony = {
        {'C', "61 0C 03 70"},
        {'D', "74 04 00 00 10 01 89"},
        {'C', "20 01 21"},
        {'D', "10 01 11"},
        {'D', "11 12 04 27"},
        {'C', "50 01 00"},
        {'D', "74 04 00 00 10 01 00"},
    };
    const std::vector<std::pair<char, const char*>> vdcp = {
        {'C', "02 02 30 08 C8"}, {'D', "04"},       {'D', "05 01"},
        {'C', "02 02 10 01 EE"}, {'D', "04 33 44"}, {'C', "02 03 30 06 01 C9"},
    };
    const auto& packets = mode == ProtocolMode::kVdcp ? vdcp : sony;
    std::uint32_t state = seed;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::vector<Sent> sent;
    std::int64_t ms = 0;
    for (int i = 0; i < 3000; ++i) {
        const auto& packet = packets[next() % packets.size()];
        ms += next() % 8 == 0 ? 60 + next() % 80 : next() % 12;
        sent.push_back({packet.first, ms, packet.second, static_cast<int>(next() % 2),
                        next() % 50 == 0 ? 2 : 0});
    }
    return Reads(sent);
}

TEST(PacketAnalysis, VerdictsGivenWhileTheCaptureGrowsAreFinal) {
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        SCOPED_TRACE(ProtocolNumber(mode));
        const std::vector<std::string> reads = RoughStream(mode, 11);
        const std::vector<std::string> whole = Analyse(mode, reads);
        ContinuousCapture capture(mode, Trace{});
        PacketAnalysis analysis(capture);
        std::vector<std::string> grown;
        const auto take = [&] {
            analysis.Update();
            for (std::size_t p = grown.size(); p < analysis.AnalyzedCount(); ++p) {
                grown.push_back(analysis.LatencyText(p) + "|" + analysis.VerdictText(p));
            }
        };
        for (const std::string& read : reads) {
            capture.OnRead(read);
            take();
        }
        capture.Finish();
        take();
        EXPECT_EQ(grown, whole);

        // The problems are in packet order, and stepping through them visits each.
        std::vector<std::size_t> withVerdict, stepped;
        for (std::size_t p = 0; p < whole.size(); ++p) {
            if (whole[p].back() != '|') withVerdict.push_back(p);
        }
        for (auto p = analysis.NextProblem(0); p; p = analysis.NextProblem(*p))
            stepped.push_back(*p);
        if (!withVerdict.empty() && withVerdict.front() == 0) stepped.insert(stepped.begin(), 0);
        EXPECT_EQ(stepped, withVerdict);
        ASSERT_EQ(analysis.Problems().size(), withVerdict.size());
        EXPECT_EQ(analysis.PreviousProblem(whole.size()), withVerdict.back());
    }
}

TEST(PacketAnalysis, ProtocolFitNamesTheProtocolThatReadsBetter) {
    const std::vector<std::string> sony = RoughStream(ProtocolMode::kSony, 3);
    const std::vector<std::string> vdcp = RoughStream(ProtocolMode::kVdcp, 3);
    const struct {
        const std::vector<std::string>& reads;
        ProtocolMode mode;
        bool otherFitsBetter;
    } cases[] = {
        {sony, ProtocolMode::kSony, false}, {sony, ProtocolMode::kOdetics, false},
        {sony, ProtocolMode::kVdcp, true},  {vdcp, ProtocolMode::kVdcp, false},
        {vdcp, ProtocolMode::kSony, true},
    };
    for (const auto& c : cases) {
        ContinuousCapture capture(c.mode, Trace{});
        for (const std::string& read : c.reads) capture.OnRead(read);
        capture.Finish();
        EXPECT_EQ(CheckProtocolFit(capture).otherFitsBetter, c.otherFitsBetter)
            << ProtocolNumber(c.mode);
    }
}

}  // namespace
}  // namespace orvane::testing
