// The packet filter and the six filter boxes: both tables, both protocols, both views,
// first-match order, short texts.
#include "views/packet_filter.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "views/row_text.hpp"
#include "views_test_support.hpp"

namespace orvane {
namespace {

const std::pair<std::string, bool FilterFlags::*> kBoxes[] = {
    {"time-sense", &FilterFlags::timeSense},     {"time-reply", &FilterFlags::timeReply},
    {"status-sense", &FilterFlags::statusSense}, {"status-reply", &FilterFlags::statusReply},
    {"acks", &FilterFlags::displayAcks},         {"dev-type", &FilterFlags::dispDevType}};

TEST(PacketFilter, EachPacketIsHiddenExactlyByItsOwnBoxes) {
    // protocol mode, view, direction, packet text, the boxes that hide it
    for (const auto& row : testing::ReadTable("views/packet_filter.tsv")) {
        const ProtocolMode protocol = ProtocolModeFromNumber(std::stoi(row[0]));
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
            const bool ackFits = protocol == ProtocolMode::kVdcp && direction == 0xC0;
            for (std::size_t length = 0; length < data.size(); ++length) {
                const bool cutHidden = hidden(data.substr(0, length), {});
                EXPECT_TRUE(length >= 5 || ackFits || !cutHidden) << length;
            }
            if (row[1] != "both" && (row[1] == "packet") != (view == ViewKind::Packet)) continue;
            EXPECT_FALSE(hidden(data, FilterFlags::ShowAll()));
            EXPECT_EQ(hidden(data, {}), row[4] != "-");
            FilterFlags onlyItsOwn;
            for (const auto& [name, box] : kBoxes) {
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

TEST(PacketFilter, ClassWorkedOutFromBytesHidesAsTheText) {
    // Every one-byte packet, two-byte packets whose first byte a key names (or any status reply
    // 7x), and five-byte packets over the bytes the keys name, in both protocols, views and
    // directions, under all 64 choices of the boxes.
    const int keyBytes[] = {0x00, 0x02, 0x04, 0x05, 0x06, 0x08, 0x0C, 0x10, 0x11, 0x12, 0x14,
                            0x20, 0x30, 0x31, 0x3F, 0x61, 0x74, 0x7F, 0x85, 0x86, 0x88};
    std::vector<std::string> packets;
    for (int a = 0; a < 256; ++a) {
        packets.push_back(std::string(1, static_cast<char>(a)));
        if ((a >> 4) != 7 && std::ranges::count(keyBytes, a) == 0) continue;
        for (int b = 0; b < 256; ++b)
            packets.push_back({static_cast<char>(a), static_cast<char>(b)});
    }
    for (const int a : keyBytes) {
        for (const int c : keyBytes) {
            for (const int d : keyBytes) {
                packets.push_back(
                    {static_cast<char>(a), 0x02, static_cast<char>(c), static_cast<char>(d), 0x55});
            }
        }
    }
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        for (const int direction : {0x80, 0xC0}) {
            for (const ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
                for (const std::string& packet : packets) {
                    std::string text;
                    for (const char byte : packet)
                        AppendHexByte(text, static_cast<unsigned char>(byte));
                    const auto* bytes = reinterpret_cast<const std::uint8_t*>(packet.data());
                    const FilterClass cls =
                        FilterClass::Of({bytes, packet.size()}, direction, mode, view);
                    for (unsigned choice = 0; choice < 64; ++choice) {
                        FilterFlags flags;
                        for (unsigned box = 0; box < 6; ++box) {
                            flags.*kBoxes[box].second = ((choice >> box) & 1) != 0;
                        }
                        ASSERT_EQ(cls.IsHidden(flags),
                                  IsPacketHidden(text, direction, mode, flags, view))
                            << text << " mode " << ProtocolNumber(mode) << " direction "
                            << direction << " choice " << choice;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace orvane
