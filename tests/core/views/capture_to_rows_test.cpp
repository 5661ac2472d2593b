// From the capture unit's blocks to list rows: assembly and both fills together.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/packet_assembly.hpp"
#include "views/list_views.hpp"

namespace orvane {
namespace {

struct Entry {
    int direction;
    int tick;
    int value;
};

std::string Block(int sequence, const std::vector<Entry>& entries) {
    std::string block(5, '\0');
    block += static_cast<char>(sequence >> 16);
    block += static_cast<char>((sequence >> 8) & 0xFF);
    block += static_cast<char>(sequence & 0xFF);
    for (const Entry& e : entries) {
        block += static_cast<char>(e.direction | (e.tick >> 8));
        block += static_cast<char>(e.tick & 0xFF);
        block += static_cast<char>(e.value);
    }
    return block;
}

class AllShown : public ViewState {
  public:
    bool byteView = false;
    bool IsByteViewSelected() const override { return byteView; }
    bool IsPacketViewSelected() const override { return !byteView; }
    FilterFlags GetFilterFlags() const override { return FilterFlags::ShowAll(); }
    void SetStatusText(std::string_view) override {}
    void ShowList(ViewKind) override {}
};

TEST(CaptureToRows, SonyExchangeAcrossTwoBlocks) {
    CaptureModel model;
    model.receivedBlocks.push_back(Block(
        0x2A0,
        {{0x80, 0, 0x20}, {0x80, 1, 0x01}, {0x80, 2, 0x21}, {0xC0, 5, 0x10}, {0xC0, 6, 0x01}}));
    model.receivedBlocks.push_back(
        Block(0x2A1, {{0xC0, 7, 0x11}, {0x80, 20, 0x20}, {0x80, 21, 0x00}, {0x80, 22, 0x20}}));
    model.blockCount = 2;
    AssembleCapture(model, kProtocolSony, Trace{});

    ListViews views;
    AllShown state;
    Decoder decoder(kProtocolSony);
    views.RefreshList(model, decoder, state, Trace{});
    const ListModel& packets = views.packetList;
    ASSERT_EQ(packets.GetItemCount(), 3);
    // The first packet starts with a byte of time 0; the reply runs on into the second block.
    const std::vector<std::vector<std::string>> expected = {
        {"00001", "0000.000", "Ctrl", "20 01 21 ", "2A0"},
        {"00002", "0000.005", "VTR", "10 01 11 ", "2A0"},
        {"00003", "0000.020", "Ctrl", "20 00 20 ", "2A1"},
    };
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(packets.GetItemText(row, 0), expected[row][0]);
        EXPECT_EQ(packets.GetItemText(row, 1), expected[row][1]);
        EXPECT_EQ(packets.GetItemText(row, 2), expected[row][2]);
        EXPECT_EQ(packets.GetItemText(row, 3), expected[row][3]);
        EXPECT_EQ(packets.GetItemText(row, 5), expected[row][4]);
    }

    state.byteView = true;
    views.RefreshList(model, decoder, state, Trace{});
    const ListModel& bytes = views.byteList;
    ASSERT_EQ(bytes.GetItemCount(), 9);
    EXPECT_EQ(bytes.GetItemText(0, 1), "0000.000 ");
    EXPECT_EQ(bytes.GetItemText(5, 3), "11 ");
    EXPECT_EQ(bytes.GetItemText(5, 4), Decoder(kProtocolSony).DecodePacket("10 01 11 ") + " ");
    EXPECT_EQ(bytes.GetItemText(0, 5), bytes.GetItemText(2, 5));
    EXPECT_NE(bytes.GetItemText(2, 5), bytes.GetItemText(3, 5));
}

}  // namespace
}  // namespace orvane
