// The packet filter and the six filter boxes: both tables, both protocols, both views,
// first-match order, short texts.
#include "views/packet_filter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "views/list_views.hpp"
#include "views_test_support.hpp"

namespace orvane {
namespace {

const std::tuple<std::string, int, bool FilterFlags::*> kBoxes[] = {
    {"time-sense", kIdTimeSense, &FilterFlags::timeSense},
    {"time-reply", kIdTimeReply, &FilterFlags::timeReply},
    {"status-sense", kIdStatusSense, &FilterFlags::statusSense},
    {"status-reply", kIdStatusReply, &FilterFlags::statusReply},
    {"acks", kIdDisplayAcks, &FilterFlags::displayAcks},
    {"dev-type", kIdDevTypeFilter, &FilterFlags::dispDevType}};

TEST(PacketFilter, EachPacketIsHiddenExactlyByItsOwnBoxes) {
    // protocol mode, view, direction, packet text, the boxes that hide it
    for (const auto& row : testing::ReadTable("views/packet_filter.tsv")) {
        const std::int32_t protocol = std::stoi(row[0]);
        const int direction = std::stoi(row[2], nullptr, 16);
        const std::string& data = row[3];
        for (ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
            SCOPED_TRACE(row[0] + " " + row[2] + " \"" + data + "\" " +
                         (view == ViewKind::Packet ? "packet" : "byte"));
            const auto hidden = [&](std::string_view text, const FilterFlags& flags) {
                return IsPacketHidden(text, direction, protocol, flags, view);
            };
            // Every beginning of the text is read safely; below five characters only the VDCP
            // deck's one-byte acknowledge fits a key.
            const bool ackFits = protocol == kProtocolVdcp && direction == 0xC0;
            for (std::size_t length = 0; length < data.size(); ++length) {
                const bool cutHidden = hidden(data.substr(0, length), {});
                EXPECT_TRUE(length >= 5 || ackFits || !cutHidden) << length;
            }
            if (row[1] != "both" && (row[1] == "packet") != (view == ViewKind::Packet)) continue;
            EXPECT_FALSE(hidden(data, FilterFlags::ShowAll()));
            EXPECT_EQ(hidden(data, {}), row[4] != "-");
            FilterFlags onlyItsOwn;
            for (const auto& [name, id, box] : kBoxes) {
                const bool own = std::ranges::count(testing::Split(row[4], ','), name) > 0;
                FilterFlags allBut = FilterFlags::ShowAll();
                allBut.*box = false;
                EXPECT_EQ(hidden(data, allBut), own) << name << " unchecked";
                onlyItsOwn.*box = own;
            }
            EXPECT_FALSE(hidden(data, onlyItsOwn));
        }
    }
}

TEST(PacketFilter, EachBoxIsReadIntoItsOwnFlag) {
    struct OneBoxChecked : CheckStates {
        explicit OneBoxChecked(int checkedId) : id(checkedId) {}
        int GetCheckState(int checkId) const override { return checkId == id ? 1 : 0; }
        void SetCheckState(int, int) override {}
        int id;
    };
    for (const auto& [name, id, box] : kBoxes) {
        FilterFlags expected;
        expected.*box = true;
        EXPECT_EQ(ReadFilterFlags(OneBoxChecked(id)), expected) << name;
    }
}

}  // namespace
}  // namespace orvane
