// Tests of the Byte View fill: one row per byte, sides interleaved, descriptions on last bytes.
#include "views/byte_view.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_builder.hpp"
#include "views/list_views.hpp"

namespace orvane {
namespace {

using testing::CaptureBuilder;
using testing::kCtrl;
using testing::kDeck;

using Rows = std::vector<std::vector<std::string>>;

// Every row's six cells.
Rows FillRows(const CaptureModel& model, std::int32_t protocol, const FilterFlags& flags) {
    ListModel list = ListViews().byteList;
    Decoder decoder(protocol);
    FillByteView(model, decoder, flags, list);
    Rows rows;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < 6; ++column)
            rows.back().push_back(list.GetItemText(row, column));
    }
    return rows;
}

std::string Describe(std::int32_t protocol, const std::string& data) {
    return Decoder(protocol).DecodePacket(data) + " ";
}

TEST(ByteView, CommandAndReplyGiveOneRowPerByteWithDescriptionsOnLastBytes) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x20, 0x01, 0x21});
    capture.AddPacket(kDeck, 1234, {0x10, 0x01, 0x11});
    const Rows rows = FillRows(capture.model(), kProtocolSony, FilterFlags::ShowAll());
    Decoder decoder(kProtocolSony);
    const std::string command = decoder.DecodePacket("20 01 21 ") + " ";
    const std::string reply = decoder.DecodePacket("10 01 11 ") + " ";
    const Rows expected = {
        {"00001", "0000.010 ", "20 ", "", "", " 1 "},
        {"00002", "0000.011 ", "01 ", "", "", " 1 "},
        {"00003", "0000.012 ", "21 ", "", command, " 1 "},
        {"00004", "0001.234 ", "", "10 ", "", " 2 "},
        {"00005", "0001.235 ", "", "01 ", "", " 2 "},
        {"00006", "0001.236 ", "", "11 ", reply, " 2 "},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ByteView, InterleavedSidesKeepArrivalOrder) {
    // A VDCP command whose frame is crossed by the deck's acknowledge of an earlier command.
    CaptureBuilder capture;
    capture.AddByte(kCtrl, 1, 0x02, 7);
    capture.AddByte(kCtrl, 2, 0x02, 7);
    capture.AddByte(kDeck, 3, 0x04, 4);
    capture.AddByte(kCtrl, 4, 0x30, 7);
    capture.AddByte(kCtrl, 5, 0x01, 7);
    capture.AddByte(kCtrl, 6, 0xCF, 7);
    capture.AddByte(kDeck, 7, 0x04, 5);
    const Rows rows = FillRows(capture.model(), kProtocolVdcp, FilterFlags::ShowAll());
    ASSERT_EQ(rows.size(), 7u);
    const std::vector<std::string> ctrl = {"02 ", "02 ", "", "30 ", "01 ", "CF ", ""};
    const std::vector<std::string> deck = {"", "", "04 ", "", "", "", "04 "};
    const std::string ack = Describe(kProtocolVdcp, "04 ");
    const std::vector<std::string> described = {
        "", "", ack, "", "", Describe(kProtocolVdcp, "02 02 30 01 CF "), ack};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row][2], ctrl[row]) << row;
        EXPECT_EQ(rows[row][3], deck[row]) << row;
        EXPECT_EQ(rows[row][4], described[row]) << row;
    }
    EXPECT_EQ(rows[5][5], " 7 ");
    EXPECT_EQ(rows[6][5], " 5 ");
}

TEST(ByteView, HiddenPacketLosesAllItsBytesAndNumbersRunOn) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x20, 0x01, 0x21});
    capture.AddPacket(kCtrl, 20, {0x61, 0x0C, 0x03, 0x70});
    capture.AddPacket(kCtrl, 30, {0x20, 0x00, 0x20});
    FilterFlags flags = FilterFlags::ShowAll();
    flags.timeSense = false;
    const Rows rows = FillRows(capture.model(), kProtocolSony, flags);
    ASSERT_EQ(rows.size(), 6u);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        EXPECT_EQ(rows[row][0], EventText(static_cast<int>(row) + 1));
    }
    EXPECT_EQ(rows[3][2], "20 ");
    EXPECT_EQ(rows[3][1], "0000.030 ");
    // The hidden packet's text never reaches the next description.
    EXPECT_EQ(rows[5][4], Describe(kProtocolSony, "20 00 20 "));
}

TEST(ByteView, ControllerAcknowledgeIsNotFilteredInTheByteView) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x10, 0x01, 0x11});
    capture.AddPacket(kDeck, 20, {0x10, 0x01, 0x11});
    FilterFlags flags = FilterFlags::ShowAll();
    flags.displayAcks = false;
    const Rows rows = FillRows(capture.model(), kProtocolSony, flags);
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows) EXPECT_EQ(row[3], "");
    EXPECT_EQ(rows[2][4], Describe(kProtocolSony, "10 01 11 "));
}

TEST(ByteView, BytesOfNeitherSideGiveNoRows) {
    CaptureBuilder capture;
    capture.AddByte(0x00, 10, 0x20, 0);
    capture.AddByte(0x40, 11, 0x01, 0);
    capture.AddByte(0x00, 12, 0x21, 0);
    EXPECT_TRUE(FillRows(capture.model(), kProtocolSony, FilterFlags::ShowAll()).empty());
    CaptureBuilder empty;
    EXPECT_TRUE(FillRows(empty.model(), kProtocolSony, FilterFlags::ShowAll()).empty());
}

TEST(ByteView, FirstByteAtTimeZeroIsShown) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 0, {0x20, 0x01, 0x21});
    const Rows rows = FillRows(capture.model(), kProtocolSony, FilterFlags::ShowAll());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], "0000.000 ");
    EXPECT_EQ(rows[0][2], "20 ");
    EXPECT_EQ(rows[2][4], Describe(kProtocolSony, "20 01 21 "));
}

TEST(ByteView, BytesBeforeTheFirstFrameFormTheirOwnPacket) {
    // VDCP bytes before the first STX keep packet number 0 and are shown as one packet.
    CaptureBuilder capture;
    capture.AddByte(kDeck, 1, 0x30, 0);
    capture.AddByte(kDeck, 2, 0xCF, 0);
    capture.AddByte(kDeck, 3, 0x04, 1);
    const Rows rows = FillRows(capture.model(), kProtocolVdcp, FilterFlags::ShowAll());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][5], " 0 ");
    EXPECT_EQ(rows[1][4], Describe(kProtocolVdcp, "30 CF "));
    EXPECT_EQ(rows[2][4], Describe(kProtocolVdcp, "04 "));
}

TEST(ByteView, StopsWhenCancelledLeavingThePacketUndescribed) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x20, 0x01, 0x21});
    ListModel list = ListViews().byteList;
    Decoder decoder(kProtocolSony);
    int checks = 0;
    FillByteView(capture.model(), decoder, FilterFlags::ShowAll(), list,
                 [&] { return ++checks > 2; });
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(1, 4), "");
}

}  // namespace
}  // namespace orvane
