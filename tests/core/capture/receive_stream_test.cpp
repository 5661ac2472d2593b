// Receive stream: block store, the first marker, counter and status texts, dropped reads, full
// store, TCP cuts.
#include "capture/receive_stream.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "capture/hex_dump.hpp"
#include "capture_test_support.hpp"

namespace orvane {
namespace {

using testing::AppendEntry;
using testing::HexBytes;
using Texts = std::vector<std::string>;

// A message of `entryCount` controller entries whose bytes hold no 0x00.
std::string Plain(std::uint32_t sequence, int entryCount = 2) {
    std::string message = testing::Header(sequence);
    for (int i = 0; i < entryCount; ++i) AppendEntry(message, {0x80, 0x101 + i, 0x20 + i});
    return message;
}

// The stream's windows are this fixture: it records the counter, status bar and trace.
class ReceiveStreamTest : public ::testing::Test, public ReceiveEvents {
  protected:
    ReceiveStreamTest() {
        trace.output = [this](std::string_view line) { traceLines.emplace_back(line); };
    }
    void SetCounterText(const std::string& text) override { counterTexts.push_back(text); }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void EndCapture() override { ++endRequests; }

    // A new capture fed `reads`; returns the stored blocks.
    Texts Feed(const Texts& reads) {
        counterTexts = statusTexts = traceLines = {};
        endRequests = 0;
        stream.StartCapture();
        for (const std::string& read : reads) stream.OnReceive(read);
        return {model.receivedBlocks.begin() + 1,
                model.receivedBlocks.begin() + 1 + model.blockCount};
    }

    CaptureModel model;
    Trace trace;
    Texts counterTexts, statusTexts, traceLines;
    int endRequests = 0;
    ReceiveStream stream{model, trace, *this};
};

TEST_F(ReceiveStreamTest, StoresAMessageAndAppendsAContinuationWithoutCounting) {
    trace.debugTrace = true;
    const std::string message = HexBytes("00 00 00 00 00 00 01 02 81 23 20 C1 25 10");
    const std::string hex = "00 00 00 00 00 00 01 02 81 23 20 C1 25 10 ";
    EXPECT_EQ(Feed({message, HexBytes("C1 26 11")}), Texts{message + HexBytes("C1 26 11")});
    EXPECT_EQ(counterTexts, Texts{"1"});
    EXPECT_EQ(statusTexts, Texts{hex});
    EXPECT_EQ(stream.messageText(), "C1 26 11 ");
    EXPECT_EQ(traceLines, (Texts{hex, "C1 26 11 "}));  // only under the debug switch
}

TEST_F(ReceiveStreamTest, CutsReadsIntoMessagesAndDropsFaultyOnes) {
    for (const auto& row : testing::ReadTable("capture/reads.tsv")) {
        SCOPED_TRACE(row[0]);
        const Texts blocks = testing::HexList(row[2]);
        EXPECT_EQ(Feed(testing::HexList(row[1])), blocks);
        EXPECT_EQ(counterTexts.size(), blocks.size());
        Texts dropped;  // reported even without the debug switch
        for (const std::string& bytes : testing::HexList(row[3])) {
            dropped.push_back("Dropped: " + HexDump(bytes) + " ");
        }
        EXPECT_EQ(traceLines, dropped);
    }
}

// The first marker cut anywhere by the network, with or without bytes before it; bytes that start
// no marker stay discarded.
TEST_F(ReceiveStreamTest, FirstMarkerSplitAcrossReadsIsKeptWithAnyGarbageBeforeIt) {
    const std::string message = HexBytes("00 00 00 00 00 01 02 03 81 23 20 C1 25 10");
    for (const std::string garbage : {"", "\x41\x42"}) {
        for (std::size_t cut = 1; cut < 8; ++cut) {
            EXPECT_EQ(Feed({garbage + message.substr(0, cut), message.substr(cut)}), Texts{message})
                << "cut " << cut << " garbage " << garbage.size();
        }
    }
    EXPECT_EQ(Feed({HexBytes("00 00"), HexBytes("81 23 20"), HexBytes("00 00")}), Texts{});
}

TEST_F(ReceiveStreamTest, MessageFindingTheStoreFullEndsTheCapture) {
    Texts reads;
    for (std::uint32_t seq = 1; seq <= 1000; ++seq) reads.push_back(Plain(seq));
    EXPECT_EQ(Feed(reads).size(), 1000u);
    EXPECT_EQ(endRequests, 0);
    // The next message ends the capture, whether it comes alone or with the 1000th in one read;
    // nothing later is stored or appended, such as the lost message's tail.
    const std::string next = Plain(1001) + Plain(1002), tail = HexBytes("81 23 20");
    for (const Texts& last : {Texts{Plain(1000), next}, Texts{Plain(1000) + next}}) {
        reads.resize(999);
        reads.insert(reads.end(), last.begin(), last.end());
        reads.insert(reads.end(), {tail, Plain(1003)});
        const Texts blocks = Feed(reads);
        EXPECT_EQ(blocks.size(), 1000u);
        EXPECT_EQ(blocks.back(), Plain(1000));
        EXPECT_EQ(counterTexts.back(), "1000");
        EXPECT_EQ(endRequests, 1);
        EXPECT_TRUE(stream.storeFull());
    }
    EXPECT_EQ(Feed({Plain(7)}), Texts{Plain(7)});  // a new capture starts empty
    EXPECT_FALSE(stream.storeFull());
}

// Sequence numbers whose high bytes are 0x00 make split headers look like message starts.
TEST_F(ReceiveStreamTest, SameBlocksHoweverTheStreamIsCutIntoReads) {
    for (std::uint32_t first : {0u, 230u, 65500u, 0x123456u}) {
        SCOPED_TRACE(first);
        std::mt19937 random(first);
        auto pick = [&random](int below) { return static_cast<int>(random() % below); };
        Texts messages;
        std::string bytes;
        while (messages.size() < 40) {
            // Many 0x00 bytes in ticks and values, but no run of five inside a message nor one
            // starting at the last byte of its sequence number.
            std::string message = testing::Header(first + messages.size());
            for (int e = 1 + pick(12); e > 0; --e) {
                AppendEntry(message,
                            {pick(4) * 0x40, pick(3) ? pick(4096) : 0, pick(3) ? pick(256) : 0});
            }
            if (message.find(std::string(5, '\0'), 7) != std::string::npos) continue;
            messages.push_back(message);
            bytes += message;
        }
        auto feed = [&](std::vector<std::size_t> cuts) {  // reads ending at `cuts`, then the rest
            Texts reads;
            cuts.push_back(bytes.size());
            for (std::size_t from = 0; std::size_t cut : cuts) {
                reads.push_back(bytes.substr(from, cut - from));
                from = cut;
            }
            return Feed(reads);
        };
        EXPECT_EQ(feed({}), messages);
        std::vector<std::size_t> everyByte;
        for (std::size_t cut = 8; cut < bytes.size(); ++cut) {
            ASSERT_EQ(feed({cut}), messages) << "two reads cut at " << cut;
            everyByte.push_back(cut);
        }
        EXPECT_EQ(feed(everyByte), messages) << "the first 8 bytes, then one byte per read";
        EXPECT_EQ(counterTexts.back(), "40");
        EXPECT_TRUE(traceLines.empty());  // nothing dropped
    }
}

}  // namespace
}  // namespace orvane
