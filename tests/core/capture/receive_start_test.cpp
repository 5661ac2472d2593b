// The start of a capture: a first marker that the network cuts into several reads.
#include <gtest/gtest.h>

#include <string>

#include "capture/receive_stream.hpp"

namespace orvane {
namespace {

struct NoEvents : ReceiveEvents {
    void SetCounterText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void EndCapture() override {}
};

std::string Message(int seq, std::string entries) {
    std::string m(5, '\0');
    m += static_cast<char>((seq >> 16) & 0xFF);
    m += static_cast<char>((seq >> 8) & 0xFF);
    m += static_cast<char>(seq & 0xFF);
    return m + entries;
}

TEST(ReceiveStart, FirstMarkerSplitAcrossReadsIsKeptWithAnyGarbageBeforeIt) {
    const std::string message = Message(0x10203, "\x81\x23\x20\xC1\x25\x10");
    for (const std::string& garbage : {std::string(), std::string("\x41\x42")}) {
        for (std::size_t cut = 1; cut < 8; ++cut) {
            CaptureModel model;
            Trace trace;
            NoEvents events;
            ReceiveStream stream(model, trace, events);
            stream.StartCapture();
            stream.OnReceive(garbage + message.substr(0, cut));
            stream.OnReceive(message.substr(cut));
            ASSERT_EQ(model.blockCount, 1) << "cut " << cut << " garbage " << garbage.size();
            EXPECT_EQ(model.receivedBlocks[1], message) << "cut " << cut;
        }
    }
}

TEST(ReceiveStart, ReadWithoutAMarkerBeforeAnyBlockIsStillDiscarded) {
    CaptureModel model;
    Trace trace;
    NoEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    stream.OnReceive(std::string("\x00\x00", 2));
    stream.OnReceive("\x81\x23\x20");
    stream.OnReceive(std::string("\x00\x00", 2));
    EXPECT_EQ(model.blockCount, 0);
}

}  // namespace
}  // namespace orvane
