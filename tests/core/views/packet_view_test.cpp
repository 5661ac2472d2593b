// Tests of the Packet View fill: cells, numbering, filtering and the first-packet check.
#include "views/packet_view.hpp"

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

struct Filled {
    ListModel list;
    std::vector<std::string> traceLines;
};

Filled Fill(CaptureModel& model, std::int32_t protocol, const FilterFlags& flags,
            bool debugTrace = false) {
    Filled filled;
    filled.list = ListViews().packetList;
    Trace trace;
    trace.debugTrace = debugTrace;
    trace.output = [&](std::string_view line) { filled.traceLines.emplace_back(line); };
    Decoder decoder(protocol);
    FillPacketView(model, decoder, flags, trace, filled.list);
    return filled;
}

std::vector<std::string> Column(const ListModel& list, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < list.GetItemCount(); ++row)
        cells.push_back(list.GetItemText(row, column));
    return cells;
}

TEST(PacketView, ShowsEveryPacketWithItsSixCells) {
    CaptureBuilder capture;
    const std::string command = capture.AddPacket(kCtrl, 12345, {0x20, 0x01, 0x21}, 0x1A2B);
    const std::string reply = capture.AddPacket(kDeck, 12350, {0x10, 0x01, 0x11}, 0x1A2C);
    const std::string status = capture.AddPacket(kCtrl, 1500, {0x61, 0x20, 0x0F, 0x90}, 0);

    const Filled filled = Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll());
    const ListModel& list = filled.list;
    ASSERT_EQ(list.GetItemCount(), 3);
    Decoder expected(kProtocolSony);
    const std::vector<std::vector<std::string>> rows = {
        {"00001", "0012.345", "Ctrl", "20 01 21 ", expected.DecodePacket(command), "1A2B"},
        {"00002", "0012.350", "VTR", "10 01 11 ", expected.DecodePacket(reply), "1A2C"},
        {"00003", "0001.500", "Ctrl", "61 20 0F 90 ", expected.DecodePacket(status), "0"},
    };
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(list.GetItemText(row, column), rows[row][column]) << row << "," << column;
        }
    }
}

TEST(PacketView, PacketNumberIsTheBlockOfThePacketsFirstByte) {
    CaptureBuilder capture;
    capture.AddByte(kCtrl, 1, 0x20, 1, 0x10);
    capture.AddByte(kCtrl, 2, 0x00, 1, 0x11);  // the packet runs on into the next block
    capture.AddByte(kCtrl, 3, 0x20, 1, 0x11);
    capture.AddLine(kCtrl, 1, "20 00 20 ", 1);
    capture.AddByte(kDeck, 4, 0x10, 2, 0xFFFFFF);
    capture.AddLine(kDeck, 4, "10 ", 4);
    const Filled filled = Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll());
    EXPECT_EQ(Column(filled.list, 5), (std::vector<std::string>{"10", "FFFFFF"}));
}

TEST(PacketView, HiddenEmptyAndSidelessEntriesTakeNoNumber) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x61, 0x0C, 0x03, 0x70});
    capture.AddPacket(kDeck, 20, {0x74, 0x04, 0x00, 0x00, 0x00, 0x00, 0x78});
    capture.AddLine(kCtrl, 25, "");
    capture.model().packetLines.back().text.clear();
    capture.AddLine(0x00, 30, "20 01 21 ");
    capture.AddPacket(kCtrl, 40, {0x20, 0x01, 0x21});
    capture.AddPacket(kDeck, 50, {0x10, 0x01, 0x11});

    FilterFlags flags = FilterFlags::ShowAll();
    flags.timeSense = false;
    flags.displayAcks = false;
    const Filled filled = Fill(capture.model(), kProtocolSony, flags);
    EXPECT_EQ(Column(filled.list, 0), (std::vector<std::string>{"00001", "00002"}));
    EXPECT_EQ(Column(filled.list, 3),
              (std::vector<std::string>{"74 04 00 00 00 00 78 ", "20 01 21 "}));
}

TEST(PacketView, ControllerAcknowledgeIsFilteredInThePacketView) {
    CaptureBuilder capture;
    capture.AddPacket(kCtrl, 10, {0x10, 0x01, 0x11});
    capture.AddPacket(kDeck, 20, {0x10, 0x01, 0x11});
    FilterFlags flags = FilterFlags::ShowAll();
    flags.displayAcks = false;
    EXPECT_EQ(Fill(capture.model(), kProtocolSony, flags).list.GetItemCount(), 0);
}

TEST(PacketView, EmptyCaptureAddsNoRows) {
    CaptureBuilder capture;
    EXPECT_EQ(Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll()).list.GetItemCount(), 0);
    // A packet list longer than lastPacketIndex says is read only up to lastPacketIndex.
    capture.AddPacket(kCtrl, 10, {0x20, 0x01, 0x21});
    capture.model().lastPacketIndex = -1;
    EXPECT_EQ(Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll()).list.GetItemCount(), 0);
}

// The VDCP first-packet check: whether the capture's first packet is kept.
struct FirstPacketCase {
    std::string data;
    bool kept;
};

TEST(PacketView, VdcpFirstPacketCutOffAtTheStartIsDropped) {
    const std::vector<FirstPacketCase> cases = {
        {"02 02 10 01 ED ", true},                          // 2 + 3 bytes
        {"02 0A 00 01 02 03 04 05 06 07 08 09 D3 ", true},  // count read as hexadecimal
        {"04 ", true},                                      // lone acknowledge
        {"05 ", true},                                      // lone not-acknowledge
        {"05 03 ", true},                                   // not-acknowledge and error byte
        {"10 01 ED ", false},                               // capture began inside a message
        {"02 02 10 01 ", false},                            // one byte short
        {"02 02 10 01 ED 00 ", false},                      // one byte over
        {"02 ", false},                                     // no byte count
        {"05 03 04 ", false},
        {"04 04 ", false},
        {"02 0A 00 01 02 03 04 05 06 07 08 09 0A 0B 0C ", false},  // "0A" read as ten
    };
    for (const FirstPacketCase& c : cases) {
        SCOPED_TRACE(c.data);
        CaptureBuilder capture;
        capture.AddLine(kDeck, 5, c.data, 0);
        capture.AddLine(kCtrl, 10, "02 02 30 06 C8 ", 0);
        const Filled filled = Fill(capture.model(), kProtocolVdcp, FilterFlags::ShowAll(), true);
        EXPECT_EQ(filled.list.GetItemCount(), c.kept ? 2 : 1);
        EXPECT_EQ(filled.list.GetItemText(0, 0), "00001");
        EXPECT_EQ(filled.list.GetItemText(0, 3), c.kept ? c.data : "02 02 30 06 C8 ");
        if (c.kept) {
            EXPECT_TRUE(filled.traceLines.empty());
        } else {
            EXPECT_TRUE(capture.model().packetLines[0].text.empty());
            std::string stripped = c.data.substr(0, c.data.size() - 1);
            EXPECT_EQ(filled.traceLines, std::vector<std::string>{"Bad Packet: " + stripped + " "});
        }
    }
}

TEST(PacketView, BadFirstPacketTracesOnlyUnderDebugAndStaysBlank) {
    CaptureBuilder capture;
    capture.AddLine(kCtrl, 5, "10 01 ED ", 0);
    capture.AddLine(kCtrl, 10, "02 02 30 06 C8 ", 0);
    Filled filled = Fill(capture.model(), kProtocolVdcp, FilterFlags::ShowAll(), false);
    EXPECT_TRUE(filled.traceLines.empty());
    EXPECT_EQ(filled.list.GetItemCount(), 1);
    // The blank entry stays blank for later fills, under any protocol.
    filled = Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll(), true);
    EXPECT_EQ(filled.list.GetItemCount(), 1);
    EXPECT_TRUE(filled.traceLines.empty());
}

TEST(PacketView, FirstPacketCheckIsVdcpOnlyAndSkipsBlankText) {
    CaptureBuilder capture;
    capture.AddLine(kCtrl, 5, "10 01 ED ", 0);
    EXPECT_EQ(
        Fill(capture.model(), kProtocolSony, FilterFlags::ShowAll(), true).list.GetItemCount(), 1);
    EXPECT_EQ(
        Fill(capture.model(), kProtocolOdetics, FilterFlags::ShowAll(), true).list.GetItemCount(),
        1);
    CaptureBuilder spaces;
    spaces.AddLine(kCtrl, 5, "   ", 0);
    const Filled filled = Fill(spaces.model(), kProtocolVdcp, FilterFlags::ShowAll(), true);
    EXPECT_TRUE(filled.traceLines.empty());
    EXPECT_EQ(spaces.model().packetLines[0].text.size(), 13u);
}

TEST(PacketView, StopsWhenCancelledKeepingRowsSoFar) {
    CaptureBuilder capture;
    for (int i = 0; i < 10; ++i) capture.AddPacket(kCtrl, 10 * i, {0x20, 0x01, 0x21});
    ListModel list = ListViews().packetList;
    Decoder decoder(kProtocolSony);
    int checks = 0;
    FillPacketView(capture.model(), decoder, FilterFlags::ShowAll(), Trace{}, list,
                   [&] { return ++checks > 4; });
    EXPECT_EQ(list.GetItemCount(), 4);
}

}  // namespace
}  // namespace orvane
