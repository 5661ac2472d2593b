// The packet index over many coded blocks: a byte's packet, a side's next packet and the first
// byte still needed agree with a plain walk over the packets, also where one side is silent for
// many blocks and after the oldest blocks are freed.
#include "capture/packet_index.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "capture/packet_numbering.hpp"
#include "settings/connection_settings.hpp"

namespace orvane::testing {
namespace {

struct Byte {
    std::uint8_t value;
    std::int32_t direction;
};

struct Traffic {
    std::vector<Byte> bytes;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> packets;  // first and last byte
};

// Sony traffic: polling with replies, a long stretch where the deck says nothing (its last
// reply stays open for many blocks), bytes of no side, and noise.
Traffic MakeTraffic() {
    std::mt19937 random(5);
    Traffic traffic;
    const auto send = [&](std::int32_t direction, std::vector<std::uint8_t> packet) {
        const auto first = static_cast<std::uint32_t>(traffic.bytes.size());
        for (const std::uint8_t value : packet) traffic.bytes.push_back({value, direction});
        if (direction != 0) {
            traffic.packets.emplace_back(first, first + packet.size() - 1);
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 6000; ++i) {
            send(kSideController, {0x61, 0x0C, 0x03, 0x70});
            send(kSideDevice, {0x74, 0x04, 0x10, 0x20, 0x30, 0x01, 0xDA});
            if (i % 97 == 0) send(0x00, {0x55});
            if (i % 131 == 0) send(kSideDevice, {static_cast<std::uint8_t>(random())});
        }
        for (int i = 0; i < 20000; ++i) send(kSideController, {0x20, 0x01, 0x21});  // no replies
    }
    return traffic;
}

TEST(PacketIndex, FindsPacketsAsAWalkOverThemDoes) {
    const Traffic traffic = MakeTraffic();
    const std::vector<Byte>& bytes = traffic.bytes;
    PacketIndex index(ProtocolMode::kSony, 1);  // one decoded block: most reads decode
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        index.AddByte(static_cast<std::uint32_t>(i), bytes[i].value, bytes[i].direction);
    }
    // The deck has been quiet for some 20,000 packets with its last reply open: the blocks
    // since are coded all the same, all but the newest full one.
    EXPECT_GE(index.codedBlocks() + 1, index.size() / 4096);
    index.Finish();
    EXPECT_EQ(index.codedBlocks(), index.size() / 4096);
    ASSERT_GT(index.size(), 20u * 4096) << "the traffic fills many blocks";
    // Every packet as sent, also the deck's replies that stayed open while later blocks were
    // coded.
    ASSERT_EQ(index.size(), traffic.packets.size());
    for (std::size_t p = 0; p < index.size(); ++p) {
        ASSERT_EQ(index[p].firstByte, traffic.packets[p].first) << "packet " << p;
        ASSERT_EQ(index[p].lastByte, traffic.packets[p].second) << "packet " << p;
    }

    // The walk: every packet once, in order.
    // The packet of each side whose span holds each byte (a side's packets never overlap).
    std::array<std::vector<std::int64_t>, 2> holder;
    holder.fill(std::vector<std::int64_t>(bytes.size(), -1));
    std::vector<PacketEntry> entries;
    for (std::size_t p = 0; p < index.size(); ++p) {
        const PacketEntry entry = index[p];
        entries.push_back(entry);
        for (std::uint32_t b = entry.firstByte; b <= entry.lastByte; ++b) {
            holder[entry.fromDevice()][b] = static_cast<std::int64_t>(p);
        }
    }
    std::array<std::vector<std::size_t>, 2> next;  // next packet of each side from each place
    for (const bool device : {false, true}) {
        next[device].assign(entries.size() + 1, entries.size());
        for (std::size_t p = entries.size(); p-- > 0;) {
            next[device][p] = entries[p].fromDevice() == device ? p : next[device][p + 1];
        }
    }

    std::mt19937 random(9);
    const auto check = [&](std::size_t firstPacket, std::uint32_t firstByte) {
        for (int n = 0; n < 20000; ++n) {
            // Far apart places, so most reads decode a block again.
            const auto b =
                static_cast<std::uint32_t>(firstByte + random() % (bytes.size() - firstByte));
            for (const bool device : {false, true}) {
                const std::int64_t held = holder[device][b];
                ASSERT_EQ(index.PacketOfByte(b, device),
                          held < std::int64_t(firstPacket) ? -1 : held)
                    << "byte " << b;
            }
            const std::size_t p = firstPacket + random() % (entries.size() - firstPacket);
            ASSERT_EQ(index.NextOfSide(p, true), next[true][p]) << "packet " << p;
            ASSERT_EQ(index.NextOfSide(p, false), next[false][p]) << "packet " << p;
            if (n % 100 != 0) continue;
            std::uint32_t needed = b;
            for (const bool device : {false, true}) {
                for (std::size_t q = next[device][firstPacket]; q < entries.size();
                     q = next[device][q + 1]) {
                    if (entries[q].lastByte < b) continue;
                    needed = std::min(needed, entries[q].firstByte);
                    break;
                }
            }
            ASSERT_EQ(index.FirstByteNeeded(b), needed) << "frontier " << b;
        }
    };
    check(0, 0);
    const std::size_t freedTo = 9 * 4096 + 100;
    const std::size_t before = index.MemoryBytes();
    index.ReleaseBefore(freedTo);
    EXPECT_LT(index.MemoryBytes(), before);
    check(9 * 4096, entries[9 * 4096].firstByte);
}

}  // namespace
}  // namespace orvane::testing
