// Packets of a continuous capture as an index over its stored bytes, built as the bytes arrive.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "capture/block_codec.hpp"
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

// Packets are kept in blocks of 4,096. A block whose packets are all complete is coded
// (block_codec.hpp) from byte planes of its entries' differences, which a line's repeating
// traffic shrinks to a byte or two a packet; a read decodes its block into a small cache. Each
// block also remembers where it starts and the last packet of each side so far, so a byte's
// packet is found without a list per side. Reads fill the cache, so one index must not be read
// from two threads at once.
class PacketIndex {
  public:
    // Readers of the newest packets (the list, the analysis, the statistics) each come a little
    // behind the capture: the cache holds the last quarter of a million packets for them.
    static constexpr std::size_t kCacheBlocks = 64;

    // `cacheBlocks` decoded blocks are kept (tests take fewer, to reach the decoding).
    explicit PacketIndex(ProtocolMode protocolMode, std::size_t cacheBlocks = kCacheBlocks);
    PacketIndex(PacketIndex&&) noexcept;
    PacketIndex& operator=(PacketIndex&&) noexcept;
    ~PacketIndex();

    // The next stored byte; `index` is its place in the byte store (bytes come in order).
    void AddByte(std::uint32_t index, std::uint8_t value, std::int32_t direction);

    // The capture has ended: the packets still open are complete.
    void Finish();

    ProtocolMode protocolMode() const { return protocolMode_; }
    std::size_t size() const { return size_; }
    PacketEntry operator[](std::size_t index) const {
        // A packet still open is read from its side: its block may be coded already.
        for (const Side& side : sides_) {
            if (side.open == static_cast<std::int64_t>(index)) return side.entry;
        }
        return PlainOf(index >> kBlockBits).entries[Place(index)];
    }

    // Packets before this one are complete (their bytes and classes are final); packets from it
    // on may still grow.
    std::size_t CompleteCount() const;

    // The first packet of one side from `from` on, or size() when there is none yet.
    std::size_t NextOfSide(std::size_t from, bool device) const;
    const LeadingRun& Leading(bool device) const { return leading_[device ? 1 : 0]; }

    // The packet of `side` holding byte `index`, or -1 when the byte is in none.
    std::int64_t PacketOfByte(std::uint32_t index, bool device) const;

    std::size_t MemoryBytes() const;
    // Blocks coded so far: every full one, unless a packet open since then holds them back.
    std::size_t codedBlocks() const { return coded_; }

    // The first byte and the first packet still needed to form the rows of the bytes from
    // `frontier` on: a packet reaching that far may have begun before it.
    std::uint32_t FirstByteNeeded(std::uint32_t frontier) const;
    std::size_t FirstPacketNeeded(std::uint32_t frontier) const;

    // Frees the packets below `packet` as far as whole coded blocks allow; they must not be read
    // again.
    void ReleaseBefore(std::size_t packet);

  private:
    static constexpr unsigned kBlockBits = 12;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    struct Side {
        std::int32_t lastStarted = 0;  // number of the side's last packet
        std::int64_t open = -1;        // index of its packet still growing, or -1
        PacketEntry entry;             // that packet as it stands
        std::array<std::uint8_t, kFilterKeyBytes> key{};  // the open packet's first bytes
        std::size_t keyCount = 0;
        std::size_t length = 0;  // bytes so far, for the first packet's VDCP check
    };
    struct Plain {
        std::size_t block = SIZE_MAX;  // which block this holds
        std::array<PacketEntry, kBlockSize> entries;
    };
    struct Block {
        std::uint32_t firstByte = 0;  // of its first packet
        // The last packet of each side in this block or before it, or -1.
        std::array<std::int64_t, 2> lastOfSide{-1, -1};
        std::unique_ptr<Plain> plain;  // until all its packets are complete
        CodedBlock coded;
    };

    static std::size_t Place(std::size_t index) { return index & (kBlockSize - 1); }
    const Plain& PlainOf(std::size_t block) const {
        const Block& held = blocks_[block];
        if (held.plain) return *held.plain;
        const Plain* cached = cache_[block % cache_.size()].get();
        return cached != nullptr && cached->block == block ? *cached : Decode(block);
    }
    const Plain& Decode(std::size_t block) const;
    void Append(const PacketEntry& entry);
    void CodeFullBlocks();
    void Code(const Plain& plain, Block& block);
    // Writes a closed packet's final entry into its block, coding the block again if need be.
    void Store(std::size_t index, const PacketEntry& entry);
    // The last packet, of either side, whose first byte is at or before `index`, or -1.
    std::int64_t LastStartingBy(std::uint32_t index) const;
    // The last packet of one side at or before `packet`, or -1.
    std::int64_t PreviousOfSide(std::size_t packet, bool device) const;
    // The first packet of one side ending at or after `byte`, or size().
    std::size_t FirstOfSideEndingFrom(bool device, std::uint32_t byte) const;
    std::size_t FirstKept() const { return released_ << kBlockBits; }

    void Close(Side& side, bool device);
    // The two views' filter classes of a packet from its first bytes. A line carries the same
    // few kinds of packet over and over, so the last answers are kept by their key.
    std::pair<FilterClass, FilterClass> Classes(std::span<const std::uint8_t> key, bool device);
    void CloseLeading(bool device);

    ProtocolMode protocolMode_;
    PacketNumbering numbering_;
    std::vector<Block> blocks_;
    std::size_t size_ = 0;
    std::size_t coded_ = 0;     // blocks coded: all before this one
    std::size_t released_ = 0;  // blocks freed at the front
    mutable std::vector<std::unique_ptr<Plain>> cache_;
    std::unique_ptr<Plain> spare_;
    std::vector<std::uint8_t> planes_;  // scratch for coding and decoding
    mutable std::vector<std::uint8_t> decodePlanes_;
    std::array<Side, 2> sides_;
    std::array<LeadingRun, 2> leading_;
    std::array<Side, 2> leadingSides_;  // first bytes of each side's leading run
    struct ClassMemo {
        std::uint64_t key = ~std::uint64_t{0};
        std::uint8_t packetView = 0;
        std::uint8_t byteView = 0;
    };
    std::array<ClassMemo, 64> classMemo_{};
};

}  // namespace orvane
