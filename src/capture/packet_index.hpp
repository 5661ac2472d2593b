// Packets of a continuous capture as an index over its stored bytes, built as the bytes arrive.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "capture/chunked_array.hpp"
#include "capture/packet_numbering.hpp"
#include "views/packet_filter.hpp"

namespace orvane {

// One packet: the bytes of its side from its first to its last byte (bytes of the other side in
// between belong to other packets), in order of the first byte, as the bounded capture's packet
// list holds them. A packet ends at the first later byte of its side with another packet number.
struct PacketEntry {
    std::uint32_t firstByte = 0;
    std::uint32_t lastByte = 0;
    std::int32_t number = 0;  // the packet number the grouping gave its bytes
    std::uint8_t flags = 0;   // kPacketFromDevice, kPacketSetsStatusSense, kPacketCutOff
    FilterClass packetViewClass;
    FilterClass byteViewClass;

    bool fromDevice() const { return (flags & kFromDevice) != 0; }
    std::int32_t direction() const { return fromDevice() ? kSideDevice : kSideController; }
    bool setsStatusSense() const { return (flags & kSetsStatusSense) != 0; }
    bool cutOff() const { return (flags & kCutOff) != 0; }

    static constexpr std::uint8_t kFromDevice = 0x01;
    // A Sony Status Sense request (6x 20): the status replies after it are read against it.
    static constexpr std::uint8_t kSetsStatusSense = 0x02;
    // The capture's first packet in VDCP mode does not hold a whole message: the capture began
    // inside one. The Packet View leaves such a packet out.
    static constexpr std::uint8_t kCutOff = 0x04;
};

// Bytes of one side before its first numbered packet (VDCP only: bytes before the first STX,
// ACK or NAK). They are in no packet, but the Byte View shows them as one.
struct LeadingRun {
    bool present = false;
    bool complete = false;
    std::uint32_t firstByte = 0;
    std::uint32_t lastByte = 0;
    FilterClass byteViewClass;
};

class PacketIndex {
  public:
    explicit PacketIndex(ProtocolMode protocolMode);

    // The next stored byte; `index` is its place in the byte store (bytes come in order).
    void AddByte(std::uint32_t index, std::uint8_t value, std::int32_t direction);

    // The capture has ended: the packets still open are complete.
    void Finish();

    ProtocolMode protocolMode() const { return protocolMode_; }
    std::size_t size() const { return packets_.size(); }
    const PacketEntry& operator[](std::size_t index) const { return packets_[index]; }

    // Packets before this one are complete (their bytes and classes are final); packets from it
    // on may still grow.
    std::size_t CompleteCount() const;

    // The packets of one side in order, as indices into this index.
    const ChunkedArray<std::uint32_t>& SidePackets(bool device) const {
        return sidePackets_[device ? 1 : 0];
    }
    const LeadingRun& Leading(bool device) const { return leading_[device ? 1 : 0]; }

    // The packet of `side` holding byte `index`, or -1 when the byte is in none.
    std::int64_t PacketOfByte(std::uint32_t index, bool device) const;

    std::size_t MemoryBytes() const;

    // The first byte and the first packet still needed to form the rows of the bytes from
    // `frontier` on: a packet reaching that far may have begun before it.
    std::uint32_t FirstByteNeeded(std::uint32_t frontier) const;
    std::size_t FirstPacketNeeded(std::uint32_t frontier) const;

    // Frees the packets below `packet` (and their places in the side lists) as far as whole
    // chunks allow; they must not be read again.
    void ReleaseBefore(std::size_t packet);

  private:
    struct Side {
        std::int32_t lastStarted = 0;  // number of the side's last packet
        std::int64_t open = -1;        // index of its packet still growing, or -1
        std::array<std::uint8_t, kFilterKeyBytes> key{};  // the open packet's first bytes
        std::size_t keyCount = 0;
        std::size_t length = 0;  // bytes so far, for the first packet's VDCP check
    };

    void Close(Side& side, bool device);
    // The two views' filter classes of a packet from its first bytes. A line carries the same
    // few kinds of packet over and over, so the last answers are kept by their key.
    std::pair<FilterClass, FilterClass> Classes(std::span<const std::uint8_t> key, bool device);
    // The first of the side's packets, from those not released, that ends at or after `byte`.
    std::size_t FirstOrdinalEndingFrom(bool device, std::uint32_t byte) const;
    void CloseLeading(bool device);

    ProtocolMode protocolMode_;
    PacketNumbering numbering_;
    ChunkedArray<PacketEntry> packets_;
    std::array<ChunkedArray<std::uint32_t>, 2> sidePackets_;
    std::array<Side, 2> sides_;
    std::array<LeadingRun, 2> leading_;
    std::array<Side, 2> leadingSides_;           // first bytes of each side's leading run
    std::array<std::size_t, 2> sideReleased_{};  // side-list places freed at the front
    struct ClassMemo {
        std::uint64_t key = ~std::uint64_t{0};
        std::uint8_t packetView = 0;
        std::uint8_t byteView = 0;
    };
    std::array<ClassMemo, 64> classMemo_{};
};

}  // namespace orvane
