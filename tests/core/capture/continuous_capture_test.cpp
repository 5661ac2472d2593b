// The continuous capture: times that count every wrap of the unit's tick, sequence gaps
// counted rather than merged, and a change of protocol that groups the same bytes again.
#include "capture/continuous_capture.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_test_support.hpp"
#include "settings/connection_settings.hpp"

namespace orvane::testing {
namespace {

struct TimedMessage {
    std::int64_t receiptUs;  // ContinuousCapture::kNoReceiptTime: a raw stream file
    std::vector<int> ticks;  // one controller byte per tick
};

struct TimeCase {
    const char* name;
    std::vector<TimedMessage> messages;
    std::vector<std::int64_t> timesMs;
};

constexpr std::int64_t kNone = ContinuousCapture::kNoReceiptTime;
constexpr std::int64_t kT0 = 1'765'000'000'000'000;

TEST(ContinuousCapture, TimesCountEveryWrapOfTheTick) {
    const TimeCase cases[] = {
        {"rising ticks are the times", {{kNone, {5, 7, 4000}}}, {5, 7, 4000}},
        // The bounded capture gives 4000, 4090, 4100, 4110: it restarts from the last time.
        {"a wrap is a whole cycle", {{kNone, {4000, 4090, 10, 20}}}, {4000, 4090, 4106, 4116}},
        {"equal ticks", {{kNone, {9, 9, 9}}}, {9, 9, 9}},
        // 10.05 s of quiet: the ticks alone see 1.858 s, the reads say two more cycles passed.
        {"a quiet line counted by the reads",
         {{kT0, {100}}, {kT0 + 10'050'000, {1958}}},
         {100, 10150}},
        {"without receipt times the ticks decide", {{kNone, {100}}, {kNone, {1958}}}, {100, 1958}},
        // Reads that arrive late by a fraction of a cycle change nothing.
        {"jitter under half a cycle", {{kT0, {0}}, {kT0 + 5'200'000, {3400}}}, {0, 3400}},
        {"a short pause is the ticks' own", {{kT0, {4000}}, {kT0 + 500'000, {400}}}, {4000, 4496}},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        ContinuousCapture capture(ProtocolMode::kSony, Trace{});
        std::uint32_t sequence = 40;
        for (const TimedMessage& m : c.messages) {
            std::string message = Header(sequence++);
            for (const int tick : m.ticks) AppendEntry(message, {0x80, tick, 0x20});
            capture.OnRead(message, m.receiptUs);
        }
        capture.Finish();
        ASSERT_EQ(capture.bytes().size(), c.timesMs.size());
        for (std::size_t i = 0; i < c.timesMs.size(); ++i) {
            EXPECT_EQ(capture.bytes().TimeMs(i), c.timesMs[i]) << "byte " << i;
        }
    }
}

TEST(ContinuousCapture, SequenceGapsAreCountedAndTheMessageBeforeOneGivesNoBytes) {
    struct GapCase {
        std::vector<std::uint32_t> sequences;
        std::vector<std::uint32_t> byteSequences;  // the message of each stored byte
        std::uint64_t lost, gaps, breaks, skipped;
    };
    const GapCase cases[] = {
        {{7, 8, 9}, {7, 8, 9}, 0, 0, 0, 0},
        // 9 lost: 8 may carry the start of 9 and gives nothing, as in the bounded capture.
        {{7, 8, 10}, {7, 10}, 1, 1, 0, 1},
        {{7, 8, 20, 21, 30}, {7, 20, 30}, 19, 2, 0, 2},
        // The unit started again.
        {{7, 8, 3, 4}, {7, 3, 4}, 0, 0, 1, 1},
    };
    for (const GapCase& c : cases) {
        ContinuousCapture capture(ProtocolMode::kSony, Trace{});
        for (const std::uint32_t sequence : c.sequences) {
            std::string message = Header(sequence);
            AppendEntry(message, {0xC0, 1, 0x10});
            capture.OnRead(message);
        }
        capture.Finish();
        const CaptureCounters& counters = capture.counters();
        EXPECT_EQ(counters.messages, c.sequences.size());
        EXPECT_EQ(counters.lostMessages, c.lost);
        EXPECT_EQ(counters.sequenceGaps, c.gaps);
        EXPECT_EQ(counters.sequenceBreaks, c.breaks);
        EXPECT_EQ(counters.skippedMessages, c.skipped);
        ASSERT_EQ(capture.bytes().size(), c.byteSequences.size());
        for (std::size_t i = 0; i < c.byteSequences.size(); ++i) {
            EXPECT_EQ(capture.SequenceOfByte(static_cast<std::uint32_t>(i)), c.byteSequences[i]);
        }
    }
}

TEST(ContinuousCapture, RegroupGivesThePacketsOfACaptureUnderTheNewProtocol) {
    std::string stream;
    std::uint32_t sequence = 1;
    const std::vector<Entry> entries = {
        {0x80, 1, 0x02},  {0x80, 2, 0x02},  {0x80, 3, 0x30},  {0x80, 4, 0x06}, {0x80, 5, 0xC8},
        {0xC0, 6, 0x04},  {0x80, 7, 0x20},  {0x80, 8, 0x01},  {0x80, 9, 0x21}, {0xC0, 10, 0x10},
        {0xC0, 11, 0x01}, {0xC0, 12, 0x11}, {0xC0, 13, 0x05}, {0xC0, 14, 0x01}};
    for (std::size_t i = 0; i < entries.size(); i += 4) {
        std::string message = Header(sequence++);
        for (std::size_t k = i; k < i + 4 && k < entries.size(); ++k)
            AppendEntry(message, entries[k]);
        stream += message;
    }
    ContinuousCapture regrouped(ProtocolMode::kSony, Trace{});
    regrouped.OnRead(stream);
    regrouped.Finish();
    regrouped.Regroup(ProtocolMode::kVdcp);
    ContinuousCapture fresh(ProtocolMode::kVdcp, Trace{});
    fresh.OnRead(stream);
    fresh.Finish();
    ASSERT_EQ(regrouped.packets().size(), fresh.packets().size());
    for (std::size_t p = 0; p < fresh.packets().size(); ++p) {
        EXPECT_EQ(regrouped.packets()[p].firstByte, fresh.packets()[p].firstByte);
        EXPECT_EQ(regrouped.packets()[p].lastByte, fresh.packets()[p].lastByte);
        EXPECT_EQ(regrouped.packets()[p].number, fresh.packets()[p].number);
    }
}

}  // namespace
}  // namespace orvane::testing
