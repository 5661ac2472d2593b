// Receive stream: block store, counter and status texts, dropped reads, full store, TCP cuts.
#include "capture/receive_stream.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "capture/hex_dump.hpp"
#include "capture_stream_builder.hpp"

namespace orvane {
namespace {

using testing::Bytes;
using testing::Header;
using testing::Message;

class FakeEvents : public ReceiveEvents {
  public:
    void SetCounterText(const std::string& text) override { counterTexts.push_back(text); }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void EndCapture() override { ++endRequests; }

    std::vector<std::string> counterTexts;
    std::vector<std::string> statusTexts;
    int endRequests = 0;
};

class ReceiveStreamTest : public ::testing::Test {
  protected:
    ReceiveStreamTest() {
        trace.output = [this](std::string_view line) { traceLines.emplace_back(line); };
        stream.StartCapture();
    }

    std::vector<std::string> Blocks() const {
        return {model.receivedBlocks.begin() + 1,
                model.receivedBlocks.begin() + 1 + model.blockCount};
    }

    // A message of `entryCount` controller entries whose bytes hold no 0x00.
    static std::string PlainMessage(std::uint32_t sequence, int entryCount = 2) {
        std::string message = Header(sequence);
        for (int i = 0; i < entryCount; ++i) {
            testing::AppendEntry(message, {0x80, 0x101 + i, 0x20 + i});
        }
        return message;
    }

    CaptureModel model;
    Trace trace;
    std::vector<std::string> traceLines;
    FakeEvents events;
    ReceiveStream stream{model, trace, events};
};

TEST(HexDump, GivesTwoUpperCaseDigitsAndASpacePerByte) {
    EXPECT_EQ(HexDump(""), "");
    EXPECT_EQ(HexDump(Bytes({0x00, 0x1A, 0xFF})), "00 1A FF ");
}

TEST_F(ReceiveStreamTest, StoresAMessageAndShowsCountAndBytes) {
    trace.debugTrace = true;
    const std::string message =
        Bytes({0, 0, 0, 0, 0, 0x00, 0x01, 0x02, 0x81, 0x23, 0x20, 0xC1, 0x25, 0x10});
    stream.OnReceive(message);

    const std::string hex = "00 00 00 00 00 00 01 02 81 23 20 C1 25 10 ";
    EXPECT_EQ(Blocks(), std::vector<std::string>{message});
    EXPECT_EQ(events.counterTexts, std::vector<std::string>{"1"});
    EXPECT_EQ(events.statusTexts, std::vector<std::string>{hex});
    EXPECT_EQ(stream.messageText(), hex);
    EXPECT_EQ(traceLines, std::vector<std::string>{hex});
}

TEST_F(ReceiveStreamTest, CounterCountsStoredMessagesInDecimal) {
    for (std::uint32_t seq = 1; seq <= 12; ++seq) stream.OnReceive(PlainMessage(seq));
    EXPECT_EQ(events.counterTexts.back(), "12");
    EXPECT_TRUE(traceLines.empty());  // stored blocks are traced only with the debug switch
}

TEST_F(ReceiveStreamTest, ContinuationBeforeAnyBlockIsDiscarded) {
    stream.OnReceive(Bytes({0x81, 0x23, 0x20}));
    stream.OnReceive("");
    EXPECT_EQ(model.blockCount, 0);
    EXPECT_TRUE(events.counterTexts.empty());
    EXPECT_TRUE(events.statusTexts.empty());
    EXPECT_EQ(stream.messageText(), "");
}

TEST_F(ReceiveStreamTest, ContinuationIsAppendedToTheLastBlockWithoutCounting) {
    for (std::uint32_t seq = 1; seq <= 3; ++seq) stream.OnReceive(PlainMessage(seq));
    const std::string statusOfBlock3 = events.statusTexts.back();
    trace.debugTrace = true;

    stream.OnReceive(Bytes({0xC1, 0x25, 0x10}));

    EXPECT_EQ(model.blockCount, 3);
    EXPECT_EQ(model.receivedBlocks[3], PlainMessage(3) + Bytes({0xC1, 0x25, 0x10}));
    EXPECT_EQ(events.counterTexts.size(), 3u);
    EXPECT_EQ(events.statusTexts.back(), statusOfBlock3);
    EXPECT_EQ(stream.messageText(), "C1 25 10 ");
    EXPECT_EQ(traceLines, std::vector<std::string>{"C1 25 10 "});
}

// Reads holding a run of five 0x00 bytes that is not the next message's header are dropped.
TEST_F(ReceiveStreamTest, ReadWithAStraySecondMarkerIsDropped) {
    struct Case {
        const char* name;
        std::string read;
    };
    // 17 bytes of message, two bytes of an entry, then five 0x00 from the 20th byte on.
    const std::string at20th =
        PlainMessage(4, 3) + Bytes({0x81, 0x30}) + std::string(5, '\0') + Bytes({0x81, 0x22});
    const Case cases[] = {
        {"marker at the 20th byte", at20th},
        {"aligned header with a sequence gap", PlainMessage(4) + PlainMessage(6)},
        {"aligned header repeating the sequence", PlainMessage(4) + PlainMessage(4)},
        {"zero sequence end, zero entry, zero entry start",
         Header(0x000100) + Bytes({0, 0, 0, 0x00, 0x12, 0x34})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.read.compare(0, 5, std::string(5, '\0')), 0);
        traceLines.clear();
        stream.StartCapture();
        stream.OnReceive(c.read);
        EXPECT_EQ(model.blockCount, 0);
        EXPECT_TRUE(events.counterTexts.empty());
        ASSERT_EQ(traceLines.size(), 1u);  // written even without the debug switch
        EXPECT_EQ(traceLines[0], "Dropped: " + HexDump(c.read) + " ");
        EXPECT_EQ(traceLines[0].substr(traceLines[0].size() - 2), "  ");
    }
}

TEST_F(ReceiveStreamTest, FullStoreEndsTheCaptureAndKeepsLaterBytesOut) {
    for (std::uint32_t seq = 1; seq <= 1000; ++seq) stream.OnReceive(PlainMessage(seq));
    EXPECT_FALSE(stream.storeFull());
    EXPECT_EQ(events.endRequests, 0);
    const std::string block1000 = model.receivedBlocks[1000];

    stream.OnReceive(PlainMessage(1001));
    EXPECT_TRUE(stream.storeFull());
    EXPECT_EQ(events.endRequests, 1);

    stream.OnReceive(Bytes({0x81, 0x23, 0x20}));  // the lost message's tail
    stream.OnReceive(PlainMessage(1002));
    EXPECT_EQ(model.blockCount, 1000);
    EXPECT_EQ(model.receivedBlocks[1000], block1000);
    EXPECT_EQ(events.counterTexts.size(), 1000u);
    EXPECT_EQ(events.counterTexts.back(), "1000");
    EXPECT_EQ(events.endRequests, 1);

    stream.StartCapture();  // a new connection empties the store
    EXPECT_EQ(model.blockCount, 0);
    EXPECT_FALSE(stream.storeFull());
    stream.OnReceive(PlainMessage(7));
    EXPECT_EQ(model.blockCount, 1);
}

TEST_F(ReceiveStreamTest, FullStoreReachedInsideOneRead) {
    for (std::uint32_t seq = 1; seq <= 999; ++seq) stream.OnReceive(PlainMessage(seq));
    stream.OnReceive(PlainMessage(1000) + PlainMessage(1001) + PlainMessage(1002));
    EXPECT_EQ(model.blockCount, 1000);
    EXPECT_EQ(model.receivedBlocks[1000], PlainMessage(1000));
    EXPECT_EQ(events.endRequests, 1);
    EXPECT_TRUE(stream.storeFull());
}

TEST_F(ReceiveStreamTest, CoalescedMessagesBecomeOneBlockEach) {
    trace.debugTrace = true;
    stream.OnReceive(PlainMessage(41, 1) + PlainMessage(42, 3) + PlainMessage(43, 2));
    EXPECT_EQ(Blocks(), (std::vector<std::string>{PlainMessage(41, 1), PlainMessage(42, 3),
                                                  PlainMessage(43, 2)}));
    EXPECT_EQ(events.counterTexts, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(events.statusTexts.back(), HexDump(PlainMessage(43, 2)));
    EXPECT_EQ(stream.messageText(), HexDump(PlainMessage(43, 2)));
    EXPECT_EQ(traceLines,
              (std::vector<std::string>{HexDump(PlainMessage(41, 1)), HexDump(PlainMessage(42, 3)),
                                        HexDump(PlainMessage(43, 2))}));
}

TEST_F(ReceiveStreamTest, OnlyTheFaultyMessageOfACoalescedReadIsDropped) {
    // Message 42 holds a stray run of zeros; 41 and 43 around it are whole.
    const std::string faulty =
        Header(42) + Bytes({0x81, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x11, 0x22});
    stream.OnReceive(PlainMessage(41) + faulty + PlainMessage(43));
    EXPECT_EQ(Blocks(), (std::vector<std::string>{PlainMessage(41), PlainMessage(43)}));
    EXPECT_EQ(traceLines, std::vector<std::string>{"Dropped: " + HexDump(faulty) + " "});
}

TEST_F(ReceiveStreamTest, ContinuationHoldingTheNextMessagesIsCut) {
    const std::string first = PlainMessage(9, 4);
    stream.OnReceive(first.substr(0, 13));
    stream.OnReceive(first.substr(13) + PlainMessage(10) + PlainMessage(11, 1));
    EXPECT_EQ(Blocks(), (std::vector<std::string>{first, PlainMessage(10), PlainMessage(11, 1)}));
    EXPECT_EQ(events.counterTexts, (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(ReceiveStreamTest, HeaderSplitAcrossReadsWaitsForItsEnd) {
    // Sequence numbers below 256 make the rest of a split header start with 0x00 bytes, so the
    // second read may itself look like a message start.
    for (std::size_t kept = 1; kept <= 7; ++kept) {
        SCOPED_TRACE(kept);
        events = FakeEvents();
        stream.StartCapture();
        const std::string next = PlainMessage(0x000006, 2);
        const std::string firstRead = PlainMessage(0x000005, 2) + next.substr(0, kept);
        stream.OnReceive(firstRead);
        EXPECT_EQ(Blocks(), std::vector<std::string>{firstRead});  // kept, not dropped
        EXPECT_TRUE(traceLines.empty());

        stream.OnReceive(next.substr(kept));
        EXPECT_EQ(Blocks(), (std::vector<std::string>{PlainMessage(5, 2), next}));
        EXPECT_EQ(events.counterTexts, (std::vector<std::string>{"1", "2"}));
    }
}

TEST_F(ReceiveStreamTest, ReadFinishingAnEntryOfZerosBeforeTheNextHeaderContinues) {
    const std::string first = Header(3) + Bytes({0x81, 0x10, 0x20, 0xC1, 0x00, 0x00});
    stream.OnReceive(first.substr(0, first.size() - 2));
    stream.OnReceive(first.substr(first.size() - 2) + PlainMessage(4));  // starts with 7 zeros
    EXPECT_EQ(Blocks(), (std::vector<std::string>{first, PlainMessage(4)}));
}

TEST_F(ReceiveStreamTest, FirstHeaderSplitAcrossReadsIsCompleted) {
    const std::string message = Header(0) + Bytes({0x00, 0x00, 0x20, 0x81, 0x22, 0x33});
    stream.OnReceive(message.substr(0, 6));
    stream.OnReceive(message.substr(6));  // starts with five 0x00 bytes too
    EXPECT_EQ(Blocks(), std::vector<std::string>{message});
}

TEST_F(ReceiveStreamTest, NextMessageAfterAnEntryOfZerosIsANewMessage) {
    const std::string first = Header(3) + Bytes({0x81, 0x10, 0x20, 0x00, 0x00, 0x00});
    stream.OnReceive(first);
    stream.OnReceive(PlainMessage(4));
    stream.OnReceive(PlainMessage(9));  // after a gap: still a message of its own
    EXPECT_EQ(Blocks(), (std::vector<std::string>{first, PlainMessage(4), PlainMessage(9)}));
}

// A stream of messages with many 0x00 bytes in ticks and values, but no run of five inside a
// message, nor one starting at the last byte of its sequence number.
std::string RandomStream(std::uint32_t firstSequence, int messageCount, std::uint32_t seed,
                         std::vector<std::string>& messages) {
    std::mt19937 random(seed);
    auto pick = [&random](int below) { return static_cast<int>(random() % below); };
    static constexpr int kCodes[] = {0x80, 0xC0, 0x00, 0x40};
    std::string stream;
    for (int m = 0; m < messageCount; ++m) {
        std::string message;
        do {
            message = Header(firstSequence + static_cast<std::uint32_t>(m));
            const int entries = 1 + pick(12);
            for (int e = 0; e < entries; ++e) {
                const int tick = pick(3) == 0 ? 0 : pick(4096);
                const int value = pick(3) == 0 ? 0 : pick(256);
                testing::AppendEntry(message, {kCodes[pick(4)], tick, value});
            }
        } while (message.find(std::string(5, '\0'), 7) != std::string::npos);
        messages.push_back(message);
        stream += message;
    }
    return stream;
}

class ReceiveStreamSplitTest : public ReceiveStreamTest,
                               public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(ReceiveStreamSplitTest, SameBlocksHoweverTheStreamIsCutIntoReads) {
    std::vector<std::string> messages;
    const std::string bytes = RandomStream(GetParam(), 40, GetParam() + 11, messages);

    // Feeds the stream in reads ending at `cuts`; returns "" when the blocks are the messages,
    // else the first difference in hexadecimal.
    auto feed = [&](const std::vector<std::size_t>& cuts) -> std::string {
        events = FakeEvents();
        stream.StartCapture();
        std::size_t from = 0;
        for (std::size_t cut : cuts) {
            stream.OnReceive(std::string_view(bytes).substr(from, cut - from));
            from = cut;
        }
        stream.OnReceive(std::string_view(bytes).substr(from));
        const std::vector<std::string> blocks = Blocks();
        for (std::size_t i = 0; i < std::max(blocks.size(), messages.size()); ++i) {
            const std::string got = i < blocks.size() ? HexDump(blocks[i]) : "(none)";
            const std::string want = i < messages.size() ? HexDump(messages[i]) : "(none)";
            if (got != want) {
                return "block " + std::to_string(i + 1) + "\n got  " + got + "\n want " + want;
            }
        }
        return "";
    };

    EXPECT_EQ(feed({}), "");
    for (std::size_t cut = 8; cut < bytes.size(); ++cut) {
        ASSERT_EQ(feed({cut}), "") << "two reads cut at " << cut;
    }
    std::vector<std::size_t> everyByte;
    for (std::size_t cut = 8; cut < bytes.size(); ++cut) everyByte.push_back(cut);
    EXPECT_EQ(feed(everyByte), "") << "one byte per read";
    EXPECT_EQ(events.counterTexts.back(), std::to_string(messages.size()));

    std::mt19937 random(GetParam());
    for (int round = 0; round < 50; ++round) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = 8 + random() % 30; at < bytes.size(); at += 1 + random() % 30) {
            cuts.push_back(at);
        }
        std::string where;
        for (std::size_t cut : cuts) where += " " + std::to_string(cut);
        ASSERT_EQ(feed(cuts), "") << "reads cut at" << where;
    }
    EXPECT_TRUE(traceLines.empty());  // nothing dropped
}

// Sequence numbers whose high bytes are 0x00 make split headers look like message starts.
INSTANTIATE_TEST_SUITE_P(SequenceStarts, ReceiveStreamSplitTest,
                         ::testing::Values(0u, 230u, 65500u, 0x123456u));

}  // namespace
}  // namespace orvane
