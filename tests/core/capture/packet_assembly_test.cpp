// Packet assembly: byte list from blocks, time base, Sony and VDCP grouping, packet lines.
#include "capture/packet_assembly.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_stream_builder.hpp"

namespace orvane {
namespace {

using testing::Bytes;
using testing::Entry;
using testing::Header;
using testing::Message;

constexpr int C = kDirectionController;
constexpr int D = kDirectionDevice;

CaptureModel ModelOf(const std::vector<std::string>& blocks) {
    CaptureModel model;
    model.receivedBlocks.insert(model.receivedBlocks.end(), blocks.begin(), blocks.end());
    model.blockCount = static_cast<int>(blocks.size());
    return model;
}

// One serial byte for a byte list built directly: direction, value, time.
struct LineByte {
    int direction;
    int value;
    int timeMs = 100;
};

CaptureModel ByteList(const std::vector<LineByte>& bytes) {
    CaptureModel model;
    for (const LineByte& byte : bytes) {
        CapturedByte& entry = model.capturedBytes[static_cast<std::size_t>(++model.byteCount)];
        entry.direction = byte.direction;
        entry.value = byte.value;
        entry.timeMs = byte.timeMs;
    }
    return model;
}

std::vector<int> PacketNumbers(const CaptureModel& model) {
    std::vector<int> numbers;
    for (int i = 1; i <= model.byteCount; ++i) numbers.push_back(model.capturedBytes[i].packetNo);
    return numbers;
}

// The part of each line after the TAB: the packet's bytes.
std::vector<std::string> PacketTexts(const CaptureModel& model) {
    std::vector<std::string> texts;
    for (int i = 0; i <= model.lastPacketIndex; ++i) {
        const std::string& text = model.packetLines[i].text;
        texts.push_back(text.substr(text.find('\t') + 1));
    }
    return texts;
}

std::vector<int> Values(const CaptureModel& model) {
    std::vector<int> values;
    for (int i = 1; i <= model.byteCount; ++i) values.push_back(model.capturedBytes[i].value);
    return values;
}

TEST(BuildCapturedBytes, SkipsMalformedBlocks) {
    struct Case {
        const char* name;
        std::vector<std::string> blocks;
        std::vector<int> values;
    };
    const std::string good = Message(5, {{C, 10, 0x20}});
    const Case cases[] = {
        {"header and two further bytes", {Header(5) + Bytes({0x81, 0x01})}, {}},
        {"marker not at the start", {Bytes({0, 0, 0, 1, 0, 0, 0, 5, 0x81, 1, 0x20})}, {}},
        {"second marker inside", {good + Bytes({0, 0, 0, 0, 0, 0x81})}, {}},
        {"second marker from the 7th byte", {Header(0) + Bytes({0, 0, 0, 0x81, 1, 0x20})}, {}},
        {"empty block before a good one", {"", Message(6, {{C, 1, 0x33}})}, {0x33}},
        {"short block", {Bytes({0, 0, 0})}, {}},
        {"trailing partial entry ignored", {good + Bytes({0xC1, 0x05})}, {0x20}},
        {"ignored entries dropped", {Message(5, {{0x40, 1, 0x11}, {D, 2, 0x22}})}, {0x22}},
        {"neither direction kept", {Message(5, {{0x00, 1, 0x11}})}, {0x11}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureModel model = ModelOf(c.blocks);
        BuildCapturedBytes(model);
        EXPECT_EQ(Values(model), c.values);
    }
}

TEST(BuildCapturedBytes, SequenceGapSkipsTheBlockBeforeItButNeverTheLast) {
    CaptureModel model = ModelOf(
        {Message(7, {{C, 1, 0x07}}), Message(8, {{C, 2, 0x08}}), Message(10, {{C, 3, 0x0A}})});
    BuildCapturedBytes(model);
    ASSERT_EQ(Values(model), (std::vector<int>{0x07, 0x0A}));
    EXPECT_EQ(model.capturedBytes[1].blockSeq, 7);
    EXPECT_EQ(model.capturedBytes[2].blockSeq, 10);
}

TEST(BuildCapturedBytes, CaptureStoppedInsideTheNextHeaderKeepsTheLastBlock) {
    // The capture ended after the first 6 or 3 bytes of message 7's header had arrived.
    for (std::size_t kept : {6u, 3u}) {
        SCOPED_TRACE(kept);
        CaptureModel model = ModelOf(
            {Message(5, {{C, 1, 0x20}}), Message(6, {{D, 2, 0x10}}) + Header(7).substr(0, kept)});
        BuildCapturedBytes(model);
        EXPECT_EQ(Values(model), (std::vector<int>{0x20, 0x10}));
    }
}

TEST(BuildCapturedBytes, FieldsOfAByte) {
    CaptureModel model = ModelOf({Header(0x010203) + Bytes({0xC1, 0x25, 0x10})});
    BuildCapturedBytes(model);
    ASSERT_EQ(model.byteCount, 1);
    const CapturedByte& byte = model.capturedBytes[1];
    EXPECT_EQ(byte.blockSeq, 0x010203);
    EXPECT_EQ(byte.timeMs, 0x125);
    EXPECT_EQ(byte.direction, 0xC0);
    EXPECT_EQ(byte.value, 0x10);
    EXPECT_EQ(byte.packetNo, 0);
}

TEST(BuildCapturedBytes, TimesNeverGoBackWhenTheTickWraps) {
    CaptureModel model = ModelOf({Message(1, {{C, 4000, 1}, {C, 4090, 2}}),
                                  Message(2, {{C, 10, 3}, {C, 20, 4}, {D, 5, 5}})});
    BuildCapturedBytes(model);
    std::vector<int> times;
    for (int i = 1; i <= model.byteCount; ++i) times.push_back(model.capturedBytes[i].timeMs);
    EXPECT_EQ(times, (std::vector<int>{4000, 4090, 4100, 4110, 4115}));
}

TEST(BuildCapturedBytes, NoStoredBlockKeepsThePreviousByteList) {
    CaptureModel model = ModelOf({Message(1, {{C, 1, 0x20}, {C, 2, 0x21}})});
    BuildCapturedBytes(model);
    model.blockCount = 0;
    model.receivedBlocks.resize(1);
    BuildCapturedBytes(model);
    EXPECT_EQ(Values(model), (std::vector<int>{0x20, 0x21}));
}

TEST(BuildCapturedBytes, ByteListHoldsAtMost100000Bytes) {
    std::vector<std::string> blocks;
    for (std::uint32_t seq = 1; seq <= 1000; ++seq) {
        std::string block = Header(seq);
        for (int e = 0; e < 101; ++e) testing::AppendEntry(block, {D, e, 0x11});
        blocks.push_back(block);
    }
    CaptureModel model = ModelOf(blocks);
    BuildCapturedBytes(model);
    EXPECT_EQ(model.byteCount, kMaxBytes);
    EXPECT_EQ(model.capturedBytes.size(), static_cast<std::size_t>(kMaxBytes) + 1);
    EXPECT_EQ(model.capturedBytes[kMaxBytes].blockSeq, 991);  // 990 blocks give 99990 bytes
    EXPECT_EQ(model.capturedBytes[0].timeMs, 0);
    EXPECT_EQ(model.capturedBytes[0].direction, 0);
}

struct GroupingCase {
    const char* name;
    std::int32_t protocolMode;
    std::vector<LineByte> bytes;
    std::vector<int> packetNumbers;
    std::vector<std::string> packets;  // in the order of the packet list
};

class Grouping : public ::testing::TestWithParam<GroupingCase> {};

TEST_P(Grouping, NumbersBytesAndBuildsPacketLines) {
    const GroupingCase& c = GetParam();
    CaptureModel model = ByteList(c.bytes);
    AssignPacketNumbers(model, c.protocolMode);
    EXPECT_EQ(PacketNumbers(model), c.packetNumbers);
    BuildPacketLines(model, Trace{});
    EXPECT_EQ(PacketTexts(model), c.packets);
}

INSTANTIATE_TEST_SUITE_P(
    Sony, Grouping,
    ::testing::Values(GroupingCase{"CommandReplyCommandReply",
                                   0,
                                   {{C, 0x20},
                                    {C, 0x01},
                                    {C, 0x21},
                                    {D, 0x10},
                                    {D, 0x01},
                                    {D, 0x11},
                                    {C, 0x20},
                                    {C, 0x00},
                                    {C, 0x20},
                                    {D, 0x10},
                                    {D, 0x01},
                                    {D, 0x11}},
                                   {2, 2, 2, 3, 3, 3, 5, 5, 5, 6, 6, 6},
                                   {"20 01 21 ", "10 01 11 ", "20 00 20 ", "10 01 11 "}},
                      GroupingCase{"CommandsCutByAnnouncedLength",
                                   0,
                                   {{C, 0x61},
                                    {C, 0x20},
                                    {C, 0x0F},
                                    {C, 0x90},
                                    {C, 0x61},
                                    {C, 0x20},
                                    {C, 0x0F},
                                    {C, 0x90},
                                    {C, 0x20},
                                    {C, 0x00},
                                    {C, 0x20}},
                                   {2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4},
                                   {"61 20 0F 90 ", "61 20 0F 90 ", "20 00 20 "}},
                      GroupingCase{"ReplyCutsAnnouncedCommand",
                                   1,  // Odetics groups as Sony
                                   {{C, 0x61}, {C, 0x20}, {D, 0x10}, {C, 0x0F}, {C, 0x90}},
                                   {2, 2, 3, 5, 5},
                                   {"61 20 ", "10 ", "0F 90 "}},
                      GroupingCase{"NeitherDirectionInsideAPacketIsPassedOver",
                                   0,
                                   {{C, 0x20}, {0, 0x55}, {C, 0x01}, {C, 0x21}},
                                   {2, 0, 2, 2},
                                   {"20 01 21 "}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Vdcp, Grouping,
    ::testing::Values(
        GroupingCase{"AcknowledgesAreOneBytePackets",
                     2,
                     {{D, 0x04}, {D, 0x04}, {D, 0x05}},
                     {1, 2, 3},
                     {"04 ", "04 ", "05 "}},
        GroupingCase{"TypeZeroCommandIsOneFrame",
                     2,
                     {{C, 0x02},
                      {C, 0x02},
                      {C, 0x00},
                      {C, 0x0C},
                      {C, 0xF4},
                      {C, 0x02},
                      {C, 0x02},
                      {C, 0x10},
                      {C, 0x01},
                      {C, 0xEF}},
                     {1, 1, 1, 1, 1, 2, 2, 2, 2, 2},
                     {"02 02 00 0C F4 ", "02 02 10 01 EF "}},
        GroupingCase{"DataByteEqualToRunningChecksumDoesNotEndTheFrame",
                     2,
                     // After 30 05 the running sum is 0x35; the data byte CB equals its
                     // complement but the byte count says two more bytes follow.
                     {{D, 0x02},
                      {D, 0x04},
                      {D, 0x30},
                      {D, 0x05},
                      {D, 0xCB},
                      {D, 0x11},
                      {D, 0xEF},
                      {D, 0x04}},
                     {1, 1, 1, 1, 1, 1, 1, 2},
                     {"02 04 30 05 CB 11 EF ", "04 "}},
        GroupingCase{"ZeroByteCountFrameEndsAtItsChecksum",
                     2,
                     {{C, 0x02}, {C, 0x00}, {C, 0x00}, {C, 0x02}, {C, 0x01}, {C, 0x01}, {C, 0xFF}},
                     {1, 1, 1, 2, 2, 2, 2},
                     {"02 00 00 ", "02 01 01 FF "}},
        GroupingCase{"NakCarriesItsErrorByte",
                     2,
                     {{D, 0x05}, {D, 0x04}, {D, 0x04}, {D, 0x05}, {D, 0x02}, {D, 0x05}, {D, 0x01}},
                     {1, 1, 2, 3, 3, 4, 4},
                     {"05 04 ", "04 ", "05 02 ", "05 01 "}},
        GroupingCase{"BytesBeforeTheFirstFrameBelongToNoPacket",
                     2,
                     {{D, 0x33},
                      {C, 0x44},
                      {C, 0x01},
                      {C, 0x10},
                      {C, 0xEF},
                      {D, 0x04},
                      {C, 0x02},
                      {C, 0x01},
                      {C, 0x10},
                      {C, 0xEF}},
                     {0, 0, 0, 0, 0, 1, 1, 1, 1, 1},
                     {"04 ", "02 01 10 EF "}},
        GroupingCase{"IdleControllerByteStartsAFrameWithoutNewNumber",
                     2,
                     {{C, 0x02}, {C, 0x00}, {C, 0x00}, {C, 0x99}, {C, 0x01}, {C, 0x10}, {C, 0xEF}},
                     {1, 1, 1, 1, 1, 1, 1},
                     {"02 00 00 99 01 10 EF "}},
        GroupingCase{"StrayIdleDeviceBytesJoinTheLastReply",
                     2,
                     {{D, 0x04}, {D, 0x77}, {D, 0x04}},
                     {1, 1, 2},
                     {"04 77 ", "04 "}},
        GroupingCase{"DirectionsAreFramedIndependently",
                     2,
                     {{C, 0x02}, {C, 0x02}, {D, 0x04}, {C, 0x10}, {C, 0x01}, {D, 0x04}, {C, 0xEF}},
                     {1, 1, 1, 1, 1, 2, 1},
                     {"02 02 10 01 EF ", "04 ", "04 "}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(BuildPacketLines, LineHoldsDirectionTimeTabAndBytes) {
    CaptureModel model = ByteList({{C, 0x20, 1500}, {C, 0x00, 1501}, {C, 0x20, 1502}});
    AssignPacketNumbers(model, 0);
    BuildPacketLines(model, Trace{});
    ASSERT_EQ(model.lastPacketIndex, 0);
    EXPECT_EQ(model.packetLines[0].text,
              "\x80"
              "0001.500\t20 00 20 ");
    EXPECT_EQ(model.packetLines[0].text.size(), 1u + 8 + 1 + 9);
    EXPECT_EQ(model.packetLines[0].firstByteIndex, 1);
}

TEST(BuildPacketLines, TimeHasAtLeastFourDigitsBeforeThePoint) {
    const std::pair<int, const char*> cases[] = {
        {0, "0000.000"},       {7, "0000.007"},         {59999, "0059.999"},
        {9999999, "9999.999"}, {12345678, "12345.678"}, {409500000, "409500.000"},
    };
    for (const auto& [timeMs, expected] : cases) {
        CaptureModel model = ByteList({{D, 0x01, timeMs}});
        AssignPacketNumbers(model, 0);
        BuildPacketLines(model, Trace{});
        EXPECT_EQ(model.packetLines[0].text, std::string("\xC0") + expected + "\t01 ");
    }
}

TEST(BuildPacketLines, ByteAtTimeZeroStartsItsPacket) {
    CaptureModel model = ModelOf({Message(
        1, {{C, 0, 0x20}, {C, 0, 0x01}, {C, 3, 0x21}, {D, 9, 0x10}, {D, 9, 0x01}, {D, 9, 0x11}})});
    AssembleCapture(model, 0, Trace{});
    ASSERT_EQ(model.lastPacketIndex, 1);
    EXPECT_EQ(model.packetLines[0].text,
              "\x80"
              "0000.000\t20 01 21 ");
    EXPECT_EQ(model.packetLines[1].text,
              "\xC0"
              "0000.009\t10 01 11 ");
    EXPECT_EQ(model.packetLines[0].firstByteIndex, 1);
    EXPECT_EQ(model.packetLines[1].firstByteIndex, 4);
}

TEST(BuildPacketLines, PacketsAreListedInOrderOfTheirFirstByte) {
    // VDCP: a device reply starts while a controller frame is still arriving.
    CaptureModel model = ByteList({{C, 0x02},
                                   {C, 0x02},
                                   {D, 0x04},
                                   {C, 0x10},
                                   {C, 0x01},
                                   {D, 0x04},
                                   {C, 0xEF},
                                   {C, 0x02},
                                   {C, 0x00},
                                   {C, 0x00}});
    AssignPacketNumbers(model, kProtocolVdcp);
    BuildPacketLines(model, Trace{});
    std::vector<int> firsts;
    for (int i = 0; i <= model.lastPacketIndex; ++i) {
        firsts.push_back(model.packetLines[i].firstByteIndex);
    }
    EXPECT_EQ(firsts, (std::vector<int>{1, 3, 6, 8}));
}

TEST(BuildPacketLines, TracesEveryLineWithOneMoreSpaceOnlyWhenDebugging) {
    std::vector<std::string> lines;
    Trace trace;
    trace.output = [&lines](std::string_view line) { lines.emplace_back(line); };
    CaptureModel model = ByteList(
        {{C, 0x20, 1}, {C, 0x00, 1}, {C, 0x20, 1}, {D, 0x10, 2}, {D, 0x01, 2}, {D, 0x11, 2}});
    AssignPacketNumbers(model, 0);
    BuildPacketLines(model, trace);
    EXPECT_TRUE(lines.empty());
    trace.debugTrace = true;
    BuildPacketLines(model, trace);
    EXPECT_EQ(lines, (std::vector<std::string>{"\x80"
                                               "0000.001\t20 00 20  ",
                                               "\xC0"
                                               "0000.002\t10 01 11  "}));
}

TEST(ClearCapturedBytes, EmptiesTheByteListButNotThePacketList) {
    CaptureModel model = ModelOf({Message(1, {{C, 1, 0x20}, {C, 2, 0x01}, {C, 3, 0x21}})});
    AssembleCapture(model, 0, Trace{});
    ClearCapturedBytes(model);
    EXPECT_EQ(model.byteCount, 0);
    EXPECT_EQ(model.capturedBytes.size(), static_cast<std::size_t>(kMaxBytes) + 1);
    EXPECT_EQ(model.capturedBytes[1].value, 0);
    EXPECT_EQ(model.capturedBytes[1].timeMs, 0);
    EXPECT_EQ(model.lastPacketIndex, 0);
    EXPECT_EQ(PacketTexts(model), std::vector<std::string>{"20 01 21 "});

    AssignPacketNumbers(model, 0);  // regrouping the emptied list leaves no packet
    BuildPacketLines(model, Trace{});
    EXPECT_EQ(model.lastPacketIndex, -1);
}

TEST(AssembleCapture, EmptyCaptureRegroupsThePreviousBytesUnderTheCurrentMode) {
    CaptureModel model = ModelOf(
        {Message(1, {{C, 1, 0x02}, {C, 2, 0x02}, {C, 3, 0x00}, {C, 4, 0x0C}, {C, 5, 0xF4}})});
    AssembleCapture(model, 0, Trace{});
    EXPECT_EQ(PacketTexts(model), (std::vector<std::string>{"02 02 00 0C F4 "}));
    model.receivedBlocks.resize(1);
    model.blockCount = 0;
    AssembleCapture(model, kProtocolVdcp, Trace{});
    EXPECT_EQ(PacketTexts(model), (std::vector<std::string>{"02 02 00 0C F4 "}));
    EXPECT_EQ(PacketNumbers(model), (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST(AssembleCapture, CaptureOfOneCommandAndItsReply) {
    CaptureModel model =
        ModelOf({Message(300, {{C, 100, 0x61}, {C, 101, 0x0A}}),
                 Message(301, {{C, 102, 0x01}, {C, 103, 0x6C}}),
                 Message(302, {{D, 110, 0x71}, {D, 111, 0x0A}, {D, 112, 0x20}, {D, 113, 0x9B}})});
    AssembleCapture(model, 0, Trace{});
    ASSERT_EQ(model.lastPacketIndex, 1);
    EXPECT_EQ(model.packetLines[0].text,
              "\x80"
              "0000.100\t61 0A 01 6C ");
    EXPECT_EQ(model.packetLines[1].text,
              "\xC0"
              "0000.110\t71 0A 20 9B ");
    EXPECT_EQ(model.capturedBytes[model.packetLines[1].firstByteIndex].blockSeq, 302);
}

}  // namespace
}  // namespace orvane
