// Packet assembly: byte list from blocks, time base, Sony and VDCP grouping, packet lines.
#include "capture/packet_assembly.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "capture_test_support.hpp"

namespace orvane {
namespace {

using testing::AppendEntry;
using testing::HexBytes;
using Texts = std::vector<std::string>;
constexpr int C = kDirectionController;
constexpr int D = kDirectionDevice;

CaptureModel ModelOf(const Texts& blocks) {
    CaptureModel model;
    model.receivedBlocks.insert(model.receivedBlocks.end(), blocks.begin(), blocks.end());
    model.blockCount = static_cast<int>(blocks.size());
    return model;
}

// Each byte as side (C, D or N), value, "@" time in ms, "#" block sequence number; "-" for none.
std::string ByteListText(const CaptureModel& model) {
    std::string text;
    for (int i = 1; i <= model.byteCount; ++i) {
        const CapturedByte& byte = model.capturedBytes[i];
        const char side = byte.direction == C ? 'C' : byte.direction == D ? 'D' : 'N';
        char token[40];
        std::snprintf(token, sizeof token, " %c%02X@%d#%X", side, byte.value, byte.timeMs,
                      byte.blockSeq);
        text += token;
    }
    return text.empty() ? "-" : text.substr(1);
}

// The text after the TAB of every packet line, '|' between lines. Each line's first byte index
// must name a byte of its side holding its first value.
std::string PacketTexts(const CaptureModel& model) {
    std::string texts;
    for (int i = 0; i <= model.lastPacketIndex; ++i) {
        const std::string& line = model.packetLines[i].text;
        const CapturedByte& first = model.capturedBytes[model.packetLines[i].firstByteIndex];
        EXPECT_EQ(static_cast<char>(first.direction), line[0]) << line;
        EXPECT_EQ(first.value, std::stoi(line.substr(line.find('\t') + 1, 2), nullptr, 16));
        texts += (i > 0 ? "|" : "") + line.substr(line.find('\t') + 1);
    }
    return texts;
}

TEST(BuildCapturedBytes, TakesTheEntriesOfWellFormedBlocks) {
    for (const auto& row : testing::ReadTable("capture/byte_list.tsv")) {  // case, blocks, bytes
        SCOPED_TRACE(row[0]);
        CaptureModel model = ModelOf(testing::HexList(row[1]));
        BuildCapturedBytes(model);
        EXPECT_EQ(ByteListText(model), row[2]);
        EXPECT_EQ(model.capturedBytes.size(), model.byteCount + 1u);  // entry 0 and the bytes
    }
}

TEST(BuildCapturedBytes, ByteListHoldsAtMost100000Bytes) {
    Texts blocks;
    for (std::uint32_t seq = 1; seq <= 1000; ++seq) {
        blocks.push_back(testing::Header(seq));
        for (int e = 0; e < 101; ++e) AppendEntry(blocks.back(), {D, e, 0x11});
    }
    CaptureModel model = ModelOf(blocks);
    BuildCapturedBytes(model);
    EXPECT_EQ(model.byteCount, kMaxBytes);
    EXPECT_EQ(model.capturedBytes.size(), kMaxBytes + 1u);
    EXPECT_EQ(model.capturedBytes[kMaxBytes].blockSeq, 991);  // 990 blocks give 99990 bytes
    EXPECT_EQ(model.capturedBytes[0].direction, 0);
}

TEST(AssignPacketNumbers, GroupsBytesIntoPacketsByProtocol) {
    // case, protocol, bytes, packets, packet numbers
    for (const auto& row : testing::ReadTable("capture/grouping.tsv")) {
        SCOPED_TRACE(row[0]);
        CaptureModel model;
        for (const std::string& token : testing::Split(row[2], ' ')) {
            CapturedByte& byte = model.capturedBytes.emplace_back();
            ++model.byteCount;
            byte.direction = token[0] == 'C' ? C : token[0] == 'D' ? D : 0;
            byte.value = std::stoi(token.substr(1), nullptr, 16);
        }
        AssignPacketNumbers(model, ProtocolModeFromNumber(std::stoi(row[1])));
        std::string numbers;
        for (int i = 1; i <= model.byteCount; ++i) {
            numbers += (i > 1 ? " " : "") + std::to_string(model.capturedBytes[i].packetNo);
        }
        EXPECT_EQ(numbers, row[4]);
        BuildPacketLines(model, Trace{});
        EXPECT_EQ(PacketTexts(model), row[3]);
    }
}

TEST(AssembleCapture, LinesHoldSideTimeTabAndBytesAndAreTracedUnderDebug) {
    // The capture's first bytes come at tick 0; the command runs on into the next block. An entry
    // is the side with the tick's high bits, the tick's low byte, the serial byte.
    CaptureModel model = ModelOf({HexBytes("00 00 00 00 00 00 03 00  80 00 61  80 00 0A"),
                                  HexBytes("00 00 00 00 00 00 03 01  80 03 01  80 03 6C  C5 DC 71"
                                           "  C5 DD 0A  C5 DE 20  C5 DF 9B")});
    Texts traced;
    Trace trace{true, [&traced](std::string_view line) { traced.emplace_back(line); }};
    AssembleCapture(model, ProtocolMode::kSony, trace);
    const std::string ctrl(1, '\x80'), command = ctrl + "0000.000\t61 0A 01 6C ";
    const std::string reply = std::string(1, '\xC0') + "0001.500\t71 0A 20 9B ";
    ASSERT_EQ(model.lastPacketIndex, 1);
    EXPECT_EQ(model.packetLines[0].text, command);
    EXPECT_EQ(model.packetLines[1].text, reply);
    EXPECT_EQ(model.capturedBytes[model.packetLines[1].firstByteIndex].blockSeq, 0x301);
    EXPECT_EQ(traced, (Texts{command + " ", reply + " "}));  // one more space

    trace.debugTrace = false;
    const std::pair<int, std::string> kTimes[] = {
        {7, "0000.007"}, {59999, "0059.999"}, {12345678, "12345.678"}};
    for (const auto& [timeMs, time] : kTimes) {
        model.capturedBytes[1].timeMs = timeMs;
        BuildPacketLines(model, trace);
        EXPECT_EQ(model.packetLines[0].text, ctrl + time + "\t61 0A 01 6C ");
    }
    EXPECT_EQ(traced.size(), 2u);
}

TEST(AssembleCapture, EmptyCaptureRegroupsTheKeptBytesUntilTheyAreCleared) {
    // 02 02 00 0C F4: one packet by either rule, numbered 2 by Sony's, 1 by VDCP's.
    CaptureModel model = ModelOf(
        {HexBytes("00 00 00 00 00 00 00 01  80 01 02  80 02 02  80 03 00  80 04 0C  80 05 F4")});
    AssembleCapture(model, ProtocolMode::kSony, Trace{});
    model.receivedBlocks.resize(1);
    model.blockCount = 0;  // the next capture stores nothing
    AssembleCapture(model, ProtocolMode::kVdcp, Trace{});
    EXPECT_EQ(ByteListText(model), "C02@1#1 C02@2#1 C00@3#1 C0C@4#1 CF4@5#1");
    EXPECT_EQ(model.capturedBytes[5].packetNo, 1);
    ClearCapturedBytes(model);
    EXPECT_EQ(ByteListText(model), "-");
    EXPECT_EQ(model.capturedBytes.size(), 1u);  // only the all-zero entry 0 is left
    EXPECT_EQ(model.packetLines[0].text.substr(10), "02 02 00 0C F4 ");  // the packet list stays
    AssembleCapture(model, ProtocolMode::kSony, Trace{});
    EXPECT_EQ(model.lastPacketIndex, -1);
}

}  // namespace
}  // namespace orvane
