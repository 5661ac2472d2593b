// Tests of the packet filter: both tables, both protocols, both views, first-match order.
#include "views/packet_filter.hpp"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>

namespace orvane {
namespace {

constexpr int kCtrl = 0x80;
constexpr int kDeck = 0xC0;
constexpr std::int32_t kSony = 0;
constexpr std::int32_t kOdetics = 1;
constexpr std::int32_t kVdcp = 2;

using Flag = bool FilterFlags::*;

// A packet, and the filter box that decides it in each view (nullptr: no box hides it).
struct FilterCase {
    std::int32_t protocol;
    int direction;
    std::string_view data;
    Flag packetViewFlag;
    Flag byteViewFlag;
};

constexpr Flag kNone = nullptr;
constexpr Flag kTimeSense = &FilterFlags::timeSense;
constexpr Flag kTimeReply = &FilterFlags::timeReply;
constexpr Flag kStatusSense = &FilterFlags::statusSense;
constexpr Flag kStatusReply = &FilterFlags::statusReply;
constexpr Flag kAcks = &FilterFlags::displayAcks;
constexpr Flag kDevType = &FilterFlags::dispDevType;

constexpr auto kCases = std::to_array<FilterCase>({
    // Sony controller.
    {kSony, kCtrl, "61 0C 03 70 ", kTimeSense, kTimeSense},
    {kSony, kCtrl, "61 20 0F 90 ", kStatusSense, kStatusSense},
    {kSony, kCtrl, "10 01 11 ", kAcks, kNone},  // the Byte View has no controller ACK row
    {kSony, kCtrl, "00 11 11 ", kDevType, kDevType},
    {kSony, kCtrl, "20 01 21 ", kNone, kNone},
    {kSony, kCtrl, "61 0A 6B ", kNone, kNone},
    {kSony, kCtrl, "74 04 00 00 00 00 78 ", kNone, kNone},  // a deck key sent by the controller
    {kSony, kCtrl, "02 02 30 06 C8 ", kNone, kNone},        // a VDCP key under Sony
    // Sony deck: the ten time-data keys, then the rest.
    {kSony, kDeck, "74 06 00 00 00 00 7A ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 07 00 00 00 00 7B ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 14 00 00 00 00 88 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 15 00 00 00 00 89 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 16 00 00 00 00 8A ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 17 00 00 00 00 8B ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 00 00 00 00 00 74 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 01 00 00 00 00 75 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 04 00 00 00 00 78 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 05 00 00 00 00 79 ", kTimeReply, kTimeReply},
    {kSony, kDeck, "74 08 00 00 00 00 7C ", kNone, kNone},
    {kSony, kDeck, "10 01 11 ", kAcks, kAcks},
    {kSony, kDeck, "12 11 20 60 03 ", kDevType, kDevType},
    {kSony, kDeck, "74 20 00 00 00 00 94 ", kStatusReply, kStatusReply},
    {kSony, kDeck, "7F 20 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 9F ", kStatusReply,
     kStatusReply},
    {kSony, kDeck, "72 20 00 00 92 ", kStatusReply, kStatusReply},
    {kSony, kDeck, "74 21 00 00 00 00 95 ", kNone, kNone},
    {kSony, kDeck, "61 0C 03 70 ", kNone, kNone},  // a controller key sent by the deck
    {kSony, kDeck, "04 ", kNone, kNone},
    // Odetics is grouped and filtered by the Sony rules.
    {kOdetics, kCtrl, "61 0C 03 70 ", kTimeSense, kTimeSense},
    {kOdetics, kCtrl, "10 01 11 ", kAcks, kNone},
    {kOdetics, kDeck, "74 04 00 00 00 00 78 ", kTimeReply, kTimeReply},
    {kOdetics, kDeck, "02 02 30 86 ", kNone, kNone},
    // VDCP controller: the type byte's low nibble is ignored.
    {kVdcp, kCtrl, "02 02 30 06 C8 ", kTimeSense, kTimeSense},
    {kVdcp, kCtrl, "02 02 31 06 C7 ", kTimeSense, kTimeSense},
    {kVdcp, kCtrl, "02 02 3F 06 B9 ", kTimeSense, kTimeSense},
    {kVdcp, kCtrl, "02 02 30 05 C9 ", kStatusSense, kStatusSense},
    {kVdcp, kCtrl, "02 03 31 05 01 C8 ", kStatusSense, kStatusSense},
    {kVdcp, kCtrl, "02 02 30 08 C6 ", kDevType, kDevType},
    {kVdcp, kCtrl, "02 02 20 06 D8 ", kNone, kNone},  // high nibble counts
    {kVdcp, kCtrl, "02 02 30 86 48 ", kNone, kNone},  // a reply key sent by the controller
    {kVdcp, kCtrl, "10 01 11 ", kNone, kNone},        // Sony rows do not apply
    {kVdcp, kCtrl, "61 0C 03 70 ", kNone, kNone},
    {kVdcp, kCtrl, "04 ", kNone, kNone},
    // VDCP deck.
    {kVdcp, kDeck, "04 ", kAcks, kAcks},
    {kVdcp, kDeck, "05 ", kAcks, kAcks},
    {kVdcp, kDeck, "05 01 ", kAcks, kAcks},
    {kVdcp, kDeck, "02 06 30 88 00 01 02 03 ", kDevType, kDevType},
    {kVdcp, kDeck, "02 05 30 86 00 00 00 00 ", kTimeReply, kTimeReply},
    {kVdcp, kDeck, "02 05 3A 86 00 00 00 00 ", kTimeReply, kTimeReply},
    {kVdcp, kDeck, "02 03 30 85 00 4B ", kStatusReply, kStatusReply},
    {kVdcp, kDeck, "02 02 30 06 C8 ", kNone, kNone},
    {kVdcp, kDeck, "74 04 00 00 00 00 78 ", kNone, kNone},
    {kVdcp, kDeck, "10 01 11 ", kNone, kNone},
    // Neither side: never hidden.
    {kSony, 0x00, "61 0C 03 70 ", kNone, kNone},
    {kVdcp, 0x40, "04 ", kNone, kNone},
});

constexpr std::array<Flag, 6> kAllFlags = {kTimeSense,   kTimeReply, kStatusSense,
                                           kStatusReply, kAcks,      kDevType};

FilterFlags AllBut(Flag unchecked) {
    FilterFlags flags = FilterFlags::ShowAll();
    if (unchecked != nullptr) flags.*unchecked = false;
    return flags;
}

FilterFlags OnlyChecked(Flag checked) {
    FilterFlags flags;
    if (checked != nullptr) flags.*checked = true;
    return flags;
}

TEST(PacketFilter, EachPacketIsHiddenExactlyByItsOwnBox) {
    for (const FilterCase& c : kCases) {
        for (ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
            const Flag decider = view == ViewKind::Packet ? c.packetViewFlag : c.byteViewFlag;
            SCOPED_TRACE(::testing::Message()
                         << "protocol " << c.protocol << " direction " << c.direction << " \""
                         << c.data << "\" " << (view == ViewKind::Packet ? "Packet" : "Byte"));
            EXPECT_FALSE(
                IsPacketHidden(c.data, c.direction, c.protocol, FilterFlags::ShowAll(), view));
            // Unchecking only the deciding box hides it; unchecking any other box does not.
            for (Flag flag : kAllFlags) {
                EXPECT_EQ(IsPacketHidden(c.data, c.direction, c.protocol, AllBut(flag), view),
                          flag == decider);
            }
            // With every box unchecked it is hidden exactly when some box names it; checking the
            // deciding box alone shows it again.
            EXPECT_EQ(IsPacketHidden(c.data, c.direction, c.protocol, FilterFlags{}, view),
                      decider != nullptr);
            EXPECT_FALSE(
                IsPacketHidden(c.data, c.direction, c.protocol, OnlyChecked(decider), view));
        }
    }
}

TEST(PacketFilter, ShownVdcpAcknowledgeStillMeetsTheLaterRows) {
    // The acknowledge row decides only when it hides; a shown acknowledge goes on down the table.
    constexpr std::string_view kData = "04 02 30 86 ";
    for (ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
        EXPECT_TRUE(IsPacketHidden(kData, kDeck, kVdcp, AllBut(kAcks), view));
        EXPECT_TRUE(IsPacketHidden(kData, kDeck, kVdcp, AllBut(kTimeReply), view));
        EXPECT_FALSE(IsPacketHidden(kData, kDeck, kVdcp, FilterFlags::ShowAll(), view));
    }
}

TEST(PacketFilter, KeysAreReadWithOrWithoutTheTrailingSpace) {
    const FilterFlags none;
    EXPECT_TRUE(IsPacketHidden("61 0C", kCtrl, kSony, none, ViewKind::Packet));
    EXPECT_TRUE(IsPacketHidden("74 20", kDeck, kSony, none, ViewKind::Packet));
    EXPECT_TRUE(IsPacketHidden("02 02 30 06", kCtrl, kVdcp, none, ViewKind::Packet));
    EXPECT_TRUE(IsPacketHidden("04", kDeck, kVdcp, none, ViewKind::Packet));
}

TEST(PacketFilter, ShortAndOddTextsNeverMatchAFullKey) {
    // Every prefix of packets that some row names: no read past the text, and a key that does
    // not fit is no match.
    const FilterFlags none;
    for (std::string_view full :
         {"61 0C 03 70 ", "74 20 00 ", "02 02 30 06 C8 ", "02 06 30 88 00 ", "10 01 11 "}) {
        for (std::size_t length = 0; length < full.size(); ++length) {
            const std::string text(full.substr(0, length));
            for (std::int32_t protocol : {kSony, kVdcp}) {
                for (int direction : {kCtrl, kDeck}) {
                    for (ViewKind view : {ViewKind::Packet, ViewKind::Byte}) {
                        const bool hidden = IsPacketHidden(text, direction, protocol, none, view);
                        // Only the one-byte VDCP acknowledge fits in two characters.
                        if (length < 5 && !(protocol == kVdcp && direction == kDeck)) {
                            EXPECT_FALSE(hidden) << '"' << text << '"';
                        }
                    }
                }
            }
        }
    }
    EXPECT_FALSE(IsPacketHidden("02 02 30 0", kCtrl, kVdcp, none, ViewKind::Packet));
    EXPECT_FALSE(IsPacketHidden("7", kDeck, kSony, none, ViewKind::Packet));
    EXPECT_FALSE(IsPacketHidden("74 2", kDeck, kSony, none, ViewKind::Packet));
}

}  // namespace
}  // namespace orvane
