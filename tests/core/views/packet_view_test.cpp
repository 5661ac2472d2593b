// The Packet View's check of a VDCP capture's first packet.
#include "views/packet_view.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "views/capture_lists.hpp"
#include "views/row_text.hpp"
#include "views_test_support.hpp"

namespace orvane {
namespace {

using Texts = std::vector<std::string>;

TEST(PacketView, VdcpFirstPacketCutOffAtTheStartIsBlankedForGood) {
    const std::string next = "02 02 30 06 C8 ";
    for (const auto& row : testing::ReadTable("views/vdcp_first_packet.tsv")) {  // text, kept
        for (bool debugTrace : {false, true}) {
            SCOPED_TRACE(row[0] + (debugTrace ? " with debug" : ""));
            CaptureModel model;
            model.packetLines = {{std::string(1, '\xC0') + "0000.005\t" + row[0]},
                                 {std::string(1, '\x80') + "0000.010\t" + next}};
            model.lastPacketIndex = 1;
            Texts traced;
            const Trace trace{debugTrace,
                              [&](std::string_view line) { traced.emplace_back(line); }};
            // The "Packet Data" cells of a fill under `protocol`; rows are numbered from 00001.
            const auto fill = [&](ProtocolMode protocol) {
                ListModel list = CaptureLists().packetList;
                Decoder decoder(protocol);
                FillPacketView(model, decoder, FilterFlags::ShowAll(), trace, list);
                Texts data;
                for (int r = 0; r < list.GetItemCount(); ++r) {
                    EXPECT_EQ(list.GetItemText(r, 0), EventText(r + 1));
                    data.push_back(list.GetItemText(r, 3));
                }
                return data;
            };
            EXPECT_EQ(fill(ProtocolMode::kOdetics).size(), 2u);  // the check is VDCP's alone
            const Texts shown = fill(ProtocolMode::kVdcp);
            const bool kept = row[1] == "kept";
            EXPECT_EQ(shown, (kept ? Texts{row[0], next} : Texts{next}));
            const std::string bad = "Bad Packet: " + row[0].substr(0, row[0].size() - 1) + " ";
            EXPECT_EQ(traced, kept || !debugTrace ? Texts{} : Texts{bad});
            EXPECT_EQ(fill(ProtocolMode::kSony), shown);  // a blanked line stays blank
        }
    }
}

}  // namespace
}  // namespace orvane
