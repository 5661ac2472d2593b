// The line statistics of a capture made for the purpose: counts, shares and latencies per name,
// verdicts, NAK reasons, lost messages and polls per second; and the names of packet kinds.
#include "views/line_statistics.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "../capture/capture_test_support.hpp"
#include "settings/connection_settings.hpp"
#include "views/line_statistics_output.hpp"

namespace orvane::testing {
namespace {

struct Exchange {
    int commandMs;
    const char* command;  // every byte of a packet at one tick
    int replyMs;
    const char* reply;
};

// Latencies of the Time Sense replies: 2, 3, 3, 4, 10 (late: the deck must be done in 9 ms) and
// 3 after the lost message.
const Exchange kSession[] = {
    {0, "61 0C 01 6E", 2, "74 04 00 00 10 01 89"},
    {20, "61 0C 01 6E", 23, "74 04 00 00 10 01 89"},
    {40, "61 0C 01 6E", 43, "74 04 00 00 10 01 89"},
    {60, "61 0C 01 6E", 64, "74 04 00 00 10 01 89"},
    {80, "61 0C 01 6E", 90, "74 04 00 00 10 01 89"},
    {100, "61 20 21 A2", 101, "71 20 80 11"},
    {120, "20 01 21", 127, "10 01 11"},
    {140, "20 01 21", 142, "11 12 05 28"},  // NAK: undefined command, checksum error
    {160, "20 00 20", 163, "10 01 12"},     // an Ack with a wrong checksum
    {180, "61 0C 01 6E", 183, "74 04 00 00 10 01 89"},
};
constexpr std::size_t kBeforeLoss = 9;  // one message lost before the last exchange

std::string ExchangeMessage(std::uint32_t sequence, const Exchange& e) {
    std::string message = Header(sequence);
    for (const char c : HexBytes(e.command)) AppendEntry(message, {0x80, e.commandMs, c & 0xFF});
    for (const char c : HexBytes(e.reply)) AppendEntry(message, {0xC0, e.replyMs, c & 0xFF});
    return message;
}

// The session's messages, from `first` to before `end`, into the capture.
void Feed(ContinuousCapture& capture, int first, int end) {
    for (auto i = static_cast<std::size_t>(first); i < static_cast<std::size_t>(end); ++i) {
        // A message that gives no bytes (one ignore entry) goes before the gap: the message
        // before a gap is not trusted.
        if (i == kBeforeLoss) {
            std::string spare = Header(kBeforeLoss + 1);
            AppendEntry(spare, {0x40, 170, 0});
            capture.OnRead(spare);
        }
        const auto sequence = static_cast<std::uint32_t>(i < kBeforeLoss ? i + 1 : i + 3);
        capture.OnRead(ExchangeMessage(sequence, kSession[i]));
    }
}

TEST(LineStatistics, FiguresOfAKnownSession) {
    ContinuousCapture capture(ProtocolMode::kSony, Trace{});
    Feed(capture, 0, static_cast<int>(std::size(kSession)));
    capture.Finish();
    PacketAnalysis analysis(capture);
    analysis.Update();
    const LineStatistics statistics(capture, analysis);

    // 7 polls (6 Time Sense, 1 Status Sense) over 183 ms. A command carries its replies'
    // latencies; the median is the lower middle, the 95th percentile the nearest rank.
    const std::vector<std::string> expected = {
        "kind,name,side,count,share,latency_min_ms,latency_median_ms,latency_p95_ms,"
        "latency_max_ms",
        "summary,packets,,20,,,,,",
        "summary,duration ms,,183,,,,,",
        "summary,polls,,7,,,,,",
        "summary,polls per second,,38.251,,,,,",
        "summary,lost messages,,1,,,,,",
        "packet,Current Time Sense,controller,6,0.3000,2,3,10,10",
        "packet,Play,controller,2,0.1000,2,2,7,7",
        "packet,Status Sense,controller,1,0.0500,1,1,1,1",
        "packet,Stop,controller,1,0.0500,3,3,3,3",
        "packet,LTC Time Data,deck,6,0.3000,2,3,10,10",
        "packet,Ack,deck,2,0.1000,3,3,7,7",
        "packet,Nak,deck,1,0.0500,2,2,2,2",
        "packet,Status Data,deck,1,0.0500,1,1,1,1",
        "replies,all replies,deck,10,,1,3,10,10",
        "verdict,checksum wrong,,1,,,,,",
        "verdict,short packet,,0,,,,,",
        "verdict,long packet,,0,,,,,",
        "verdict,stray bytes,,0,,,,,",
        "verdict,NAK,,1,,,,,",
        "verdict,late reply,,1,,,,,",
        "verdict,no reply,,0,,,,,",
        "verdict,reply to nothing,,0,,,,,",
        "verdict,unknown code,,0,,,,,",
        "verdict,lost messages,,1,,,,,",
        "nak,undefined command,,1,,,,,",
        "nak,checksum error,,1,,,,,",
        "nak,parity error,,0,,,,,",
        "nak,buffer overrun,,0,,,,,",
        "nak,framing error,,0,,,,,",
        "nak,time-out,,0,,,,,",
        "",
    };
    const std::vector<std::string> csv = Split(LineStatisticsCsv(statistics), '\n');
    for (std::size_t i = 0; i < std::max(csv.size(), expected.size()); ++i) {
        EXPECT_EQ(i < csv.size() ? csv[i] : "(none)", i < expected.size() ? expected[i] : "(none)")
            << "line " << i + 1;
    }

    // The same figures taken in as the capture grows.
    ContinuousCapture growing(ProtocolMode::kSony, Trace{});
    PacketAnalysis growingAnalysis(growing);
    LineStatistics growingStatistics(growing, growingAnalysis);
    for (const auto& [first, end] : {std::pair{0, 3}, {3, 8}, {8, 10}}) {
        Feed(growing, first, end);
        if (end == 10) growing.Finish();
        growingAnalysis.Update();
        growingStatistics.Update();
    }
    EXPECT_EQ(LineStatisticsCsv(growingStatistics), LineStatisticsCsv(statistics));
}

TEST(LineStatistics, KindsAreNamedWithoutTheirData) {
    const struct {
        ProtocolMode protocol;
        const char* bytes;
        const char* name;
    } cases[] = {
        {ProtocolMode::kSony, "74 04 01 02 03 04 82", "LTC Time Data"},
        {ProtocolMode::kSony, "61 20 21 A2", "Status Sense"},
        {ProtocolMode::kSony, "61 0C 03 70", "Current Time Sense"},
        {ProtocolMode::kSony, "21 38 11 6A", "Program Play +"},
        {ProtocolMode::kSony, "21 11 40 72", "Jog Forward"},
        {ProtocolMode::kSony, "20 14 34", "Step Forward"},  // no data: the decoder reads 00
        {ProtocolMode::kSony, "71 20 80 11", "Status Data"},
        {ProtocolMode::kSony, "20 EE 0E", "unknown 20 EE"},
        {ProtocolMode::kSony, "7F", "unknown 7F"},
        {ProtocolMode::kVdcp, "02 02 1F 01 E0", "Play"},  // the low nibble of CMD-1 is no part
        {ProtocolMode::kVdcp, "04", "Ack"},
        {ProtocolMode::kVdcp, "05 01", "Nak"},
        {ProtocolMode::kVdcp, "02 02 3F EE 00", "unknown 30 EE"},
    };
    for (const auto& c : cases) {
        const std::string bytes = HexBytes(c.bytes);
        const std::vector<std::uint8_t> packet(bytes.begin(), bytes.end());
        EXPECT_EQ(PacketKindName(c.protocol, packet), c.name) << c.bytes;
    }
}

TEST(LatencyTimeline, KeepsAFewHundredPointsOfAWholeDay) {
    LatencyTimeline timeline;
    // One reply a second for 2000 s, latency 1 to 4 in turn.
    for (std::int64_t s = 0; s < 2000; ++s) timeline.Add(s * 1000, 1 + s % 4);
    EXPECT_EQ(timeline.bucketMs(), 4000);
    const std::vector<LatencyPoint> points = timeline.Points();
    ASSERT_EQ(points.size(), 500u);
    for (const LatencyPoint& point : points) {
        EXPECT_EQ(point.count, 4u);
        EXPECT_EQ(point.min, 1u);
        EXPECT_EQ(point.median, 2u);
        EXPECT_EQ(point.max, 4u);
    }
}

TEST(LatencyHistogram, OverflowKeepsExactValues) {
    LatencyHistogram histogram;
    for (const std::uint32_t ms : {5u, 1200u, 999u, 1000u, 70000u}) histogram.Add(ms);
    EXPECT_EQ(histogram.min(), 5u);
    EXPECT_EQ(histogram.Percentile(50), 1000u);
    EXPECT_EQ(histogram.Percentile(80), 1200u);
    EXPECT_EQ(histogram.Percentile(95), 70000u);
    EXPECT_EQ(histogram.max(), 70000u);
}

}  // namespace
}  // namespace orvane::testing
