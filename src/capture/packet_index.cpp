// Packets of a continuous capture as an index over its stored bytes, built as the bytes arrive.
#include "capture/packet_index.hpp"

#include <algorithm>
#include <tuple>

#include "capture/block_codec.hpp"
#include "settings/connection_settings.hpp"

namespace orvane {
namespace {

// Whether a VDCP packet holds a whole message: an STX frame as long as its byte count says
// (STX, count, body, checksum), a lone ACK or NAK, or a NAK with its error byte.
bool IsWholeVdcpMessage(std::span<const std::uint8_t> key, std::size_t length) {
    if (key.empty()) return true;
    if (length == 1 && (key[0] == kVdcpAck || key[0] == kVdcpNak)) return true;
    if (length == 2 && key[0] == kVdcpNak) return true;
    return key[0] == kVdcpStx && length >= 2 && length == 3 + std::size_t{key[1]};
}

// Coded blocks hold byte planes of their entries: the first byte's and the number's
// differences from the entry before, the span to the last byte, and the flags and classes.
constexpr std::size_t kFirstBytePlane = 0;
constexpr std::size_t kSpanPlane = 4;
constexpr std::size_t kNumberPlane = 8;
constexpr std::size_t kFlagsPlane = 12;
constexpr std::size_t kPacketViewPlane = 13;
constexpr std::size_t kByteViewPlane = 14;
constexpr std::size_t kPlanes = 15;

}  // namespace

PacketIndex::PacketIndex(ProtocolMode protocolMode, std::size_t cacheBlocks)
    : protocolMode_(protocolMode),
      numbering_(protocolMode == ProtocolMode::kVdcp),
      cache_(std::max<std::size_t>(1, cacheBlocks)) {}
PacketIndex::PacketIndex(PacketIndex&&) noexcept = default;
PacketIndex& PacketIndex::operator=(PacketIndex&&) noexcept = default;
PacketIndex::~PacketIndex() = default;

void PacketIndex::AddByte(std::uint32_t index, std::uint8_t value, std::int32_t direction) {
    const std::int32_t number = numbering_.Take(value, direction);
    if (direction != kSideController && direction != kSideDevice) return;
    const bool device = direction == kSideDevice;
    Side& side = sides_[device ? 1 : 0];

    if (number == side.lastStarted && side.open < 0) {
        // Bytes before the side's first packet: no packet, but one run in the Byte View.
        LeadingRun& run = leading_[device ? 1 : 0];
        Side& runKey = leadingSides_[device ? 1 : 0];
        if (!run.present) {
            run.present = true;
            run.firstByte = index;
        }
        run.lastByte = index;
        if (runKey.keyCount < kFilterKeyBytes) runKey.key[runKey.keyCount++] = value;
        ++runKey.length;
        return;
    }
    if (number == side.lastStarted) {
        side.entry.lastByte = index;
    } else {
        Close(side, device);
        CloseLeading(device);
        PacketEntry entry;
        entry.firstByte = index;
        entry.lastByte = index;
        entry.number = number;
        entry.flags = device ? PacketEntry::kFromDevice : 0;
        side.open = static_cast<std::int64_t>(size_);
        side.entry = entry;
        side.lastStarted = number;
        side.keyCount = 0;
        side.length = 0;
        Append(entry);
        CodeFullBlocks();
    }
    if (side.keyCount < kFilterKeyBytes) side.key[side.keyCount++] = value;
    ++side.length;
}

void PacketIndex::Append(const PacketEntry& entry) {
    if (Place(size_) == 0) {
        Block block;
        block.firstByte = entry.firstByte;
        if (!blocks_.empty()) block.lastOfSide = blocks_.back().lastOfSide;
        block.plain = spare_ ? std::move(spare_) : std::make_unique<Plain>();
        block.plain->block = blocks_.size();
        blocks_.push_back(std::move(block));
    }
    Block& block = blocks_.back();
    block.plain->entries[Place(size_)] = entry;
    block.lastOfSide[entry.fromDevice() ? 1 : 0] = static_cast<std::int64_t>(size_);
    ++size_;
}

void PacketIndex::CodeFullBlocks() {
    // A block is coded once its packets are complete, or, where one side has gone quiet with a
    // packet still open, once the next block is full too: that packet's entry is read from its
    // side until it closes, and its block coded again then.
    const std::size_t complete = CompleteCount();
    while (coded_ < blocks_.size() && (coded_ + 1) * kBlockSize <= size_ &&
           ((coded_ + 1) * kBlockSize <= complete || (coded_ + 2) * kBlockSize <= size_)) {
        Block& block = blocks_[coded_];
        Code(*block.plain, block);
        // The block just coded is read next (its rows are the newest): it goes into the cache
        // as it stands, and the block it displaces is reused for the next one.
        std::unique_ptr<Plain>& slot = cache_[coded_ % cache_.size()];
        spare_ = std::move(slot);
        slot = std::move(block.plain);
        ++coded_;
    }
}

void PacketIndex::Code(const Plain& plain, Block& block) {
    planes_.assign(kPlanes * kBlockSize, 0);
    std::uint8_t* planes = planes_.data();
    std::uint32_t firstByte = 0;
    std::uint32_t number = 0;
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        const PacketEntry& entry = plain.entries[k];
        PutWordPlanes(planes + kFirstBytePlane * kBlockSize, kBlockSize, k,
                      entry.firstByte - firstByte);
        PutWordPlanes(planes + kSpanPlane * kBlockSize, kBlockSize, k,
                      entry.lastByte - entry.firstByte);
        PutWordPlanes(planes + kNumberPlane * kBlockSize, kBlockSize, k,
                      static_cast<std::uint32_t>(entry.number) - number);
        planes[kFlagsPlane * kBlockSize + k] = entry.flags;
        planes[kPacketViewPlane * kBlockSize + k] = entry.packetViewClass.bits();
        planes[kByteViewPlane * kBlockSize + k] = entry.byteViewClass.bits();
        firstByte = entry.firstByte;
        number = static_cast<std::uint32_t>(entry.number);
    }
    block.coded = CodedBlock(planes_);
}

void PacketIndex::Store(std::size_t index, const PacketEntry& entry) {
    Block& block = blocks_[index >> kBlockBits];
    if (block.plain) {
        block.plain->entries[Place(index)] = entry;
        return;
    }
    const Plain& decoded = PlainOf(index >> kBlockBits);
    cache_[(index >> kBlockBits) % cache_.size()]->entries[Place(index)] = entry;
    Code(decoded, block);
}

const PacketIndex::Plain& PacketIndex::Decode(std::size_t block) const {
    const Block& held = blocks_[block];
    std::unique_ptr<Plain>& slot = cache_[block % cache_.size()];
    if (!slot) slot = std::make_unique<Plain>();
    decodePlanes_.resize(kPlanes * kBlockSize);
    held.coded.DecodeInto(decodePlanes_);
    // Local pointers: the entries written are bytes too, and would otherwise make the compiler
    // read the planes' place again for every byte.
    const std::uint8_t* planes = decodePlanes_.data();
    const auto get32 = [planes](std::size_t plane, std::size_t k) {
        return WordFromPlanes(planes + plane * kBlockSize, kBlockSize, k);
    };
    PacketEntry* entries = slot->entries.data();
    std::uint32_t firstByte = 0;
    std::uint32_t number = 0;
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        PacketEntry& entry = entries[k];
        firstByte += get32(kFirstBytePlane, k);
        number += get32(kNumberPlane, k);
        entry.firstByte = firstByte;
        entry.lastByte = firstByte + get32(kSpanPlane, k);
        entry.number = static_cast<std::int32_t>(number);
        entry.flags = planes[kFlagsPlane * kBlockSize + k];
        entry.packetViewClass = FilterClass::FromBits(planes[kPacketViewPlane * kBlockSize + k]);
        entry.byteViewClass = FilterClass::FromBits(planes[kByteViewPlane * kBlockSize + k]);
    }
    slot->block = block;
    return *slot;
}

void PacketIndex::Close(Side& side, bool device) {
    if (side.open < 0) return;
    const auto at = static_cast<std::size_t>(side.open);
    PacketEntry& entry = side.entry;
    const std::span<const std::uint8_t> key(side.key.data(), side.keyCount);
    std::tie(entry.packetViewClass, entry.byteViewClass) = Classes(key, device);
    const bool vdcp = protocolMode_ == ProtocolMode::kVdcp;
    // The Sony decoder reads a status reply against the last Status Sense request (6x 20).
    if (!vdcp && key.size() >= 2 && (key[0] & 0xF0) == 0x60 && key[1] == 0x20) {
        entry.flags |= PacketEntry::kSetsStatusSense;
    }
    if (vdcp && at == 0 && !IsWholeVdcpMessage(key, side.length)) {
        entry.flags |= PacketEntry::kCutOff;
    }
    side.open = -1;
    Store(at, entry);
}

std::pair<FilterClass, FilterClass> PacketIndex::Classes(std::span<const std::uint8_t> key,
                                                         bool device) {
    std::uint64_t packed = (std::uint64_t{key.size()} << 33) | (std::uint64_t{device} << 32);
    for (std::size_t i = 0; i < key.size(); ++i) packed |= std::uint64_t{key[i]} << (8 * i);
    ClassMemo& memo = classMemo_[(packed * 0x9E3779B97F4A7C15u) >> 58];
    if (memo.key != packed) {
        const std::int32_t direction = device ? kSideDevice : kSideController;
        memo.key = packed;
        memo.packetView = FilterClass::Of(key, direction, protocolMode_, ViewKind::Packet).bits();
        memo.byteView = FilterClass::Of(key, direction, protocolMode_, ViewKind::Byte).bits();
    }
    return {FilterClass::FromBits(memo.packetView), FilterClass::FromBits(memo.byteView)};
}

void PacketIndex::CloseLeading(bool device) {
    LeadingRun& run = leading_[device ? 1 : 0];
    if (!run.present || run.complete) return;
    const Side& runKey = leadingSides_[device ? 1 : 0];
    run.byteViewClass =
        FilterClass::Of(std::span<const std::uint8_t>(runKey.key.data(), runKey.keyCount),
                        device ? kSideDevice : kSideController, protocolMode_, ViewKind::Byte);
    run.complete = true;
}

void PacketIndex::Finish() {
    for (bool device : {false, true}) {
        Close(sides_[device ? 1 : 0], device);
        CloseLeading(device);
    }
    CodeFullBlocks();
}

std::size_t PacketIndex::CompleteCount() const {
    std::size_t count = size_;
    for (const Side& side : sides_) {
        if (side.open >= 0) count = std::min(count, static_cast<std::size_t>(side.open));
    }
    return count;
}

std::int64_t PacketIndex::LastStartingBy(std::uint32_t index) const {
    // The last block starting at or before the byte, then the last packet in it that does.
    std::size_t low = released_;
    std::size_t high = blocks_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (blocks_[middle].firstByte <= index) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == released_) return -1;
    const std::size_t block = low - 1;
    const Plain& plain = PlainOf(block);
    const std::size_t count = std::min(kBlockSize, size_ - (block << kBlockBits));
    const auto end = plain.entries.begin() + static_cast<std::ptrdiff_t>(count);
    const auto after = std::upper_bound(
        plain.entries.begin(), end, index,
        [](std::uint32_t at, const PacketEntry& entry) { return at < entry.firstByte; });
    return static_cast<std::int64_t>((block << kBlockBits) +
                                     static_cast<std::size_t>(after - plain.entries.begin())) -
           1;
}

std::int64_t PacketIndex::PreviousOfSide(std::size_t packet, bool device) const {
    const std::size_t block = packet >> kBlockBits;
    const Plain& plain = PlainOf(block);
    for (std::size_t k = Place(packet) + 1; k-- > 0;) {
        if (plain.entries[k].fromDevice() == device) {
            return static_cast<std::int64_t>((block << kBlockBits) + k);
        }
    }
    return block == 0 ? -1 : blocks_[block - 1].lastOfSide[device ? 1 : 0];
}

std::size_t PacketIndex::NextOfSide(std::size_t from, bool device) const {
    std::size_t packet = std::max(from, FirstKept());
    while (packet < size_) {
        const std::size_t block = packet >> kBlockBits;
        // No packet of the side from here to the block's end: on to the next block.
        if (blocks_[block].lastOfSide[device ? 1 : 0] < static_cast<std::int64_t>(packet)) {
            packet = (block + 1) << kBlockBits;
            continue;
        }
        if (PlainOf(block).entries[Place(packet)].fromDevice() == device) return packet;
        ++packet;
    }
    return size_;
}

std::int64_t PacketIndex::PacketOfByte(std::uint32_t index, bool device) const {
    const std::int64_t last = LastStartingBy(index);
    if (last < 0) return -1;
    const std::int64_t packet = PreviousOfSide(static_cast<std::size_t>(last), device);
    if (packet < static_cast<std::int64_t>(FirstKept())) return -1;
    return (*this)[static_cast<std::size_t>(packet)].lastByte >= index ? packet : -1;
}

std::size_t PacketIndex::FirstOfSideEndingFrom(bool device, std::uint32_t byte) const {
    // A side's packets do not overlap: the one holding the byte, if any, is the first to end at
    // or after it; otherwise that is the first to start after it.
    const std::int64_t holding = PacketOfByte(byte, device);
    if (holding >= 0) return static_cast<std::size_t>(holding);
    const std::int64_t last = LastStartingBy(byte);
    return NextOfSide(last < 0 ? FirstKept() : static_cast<std::size_t>(last) + 1, device);
}

std::uint32_t PacketIndex::FirstByteNeeded(std::uint32_t frontier) const {
    std::uint32_t first = frontier;
    for (const bool device : {false, true}) {
        const std::size_t packet = FirstOfSideEndingFrom(device, frontier);
        if (packet < size_) first = std::min(first, (*this)[packet].firstByte);
        const LeadingRun& run = leading_[device ? 1 : 0];
        if (run.present && (!run.complete || run.lastByte >= frontier)) {
            first = std::min(first, run.firstByte);
        }
    }
    return first;
}

std::size_t PacketIndex::FirstPacketNeeded(std::uint32_t frontier) const {
    std::size_t first = CompleteCount();
    for (const bool device : {false, true}) {
        first = std::min(first, FirstOfSideEndingFrom(device, frontier));
    }
    return first;
}

void PacketIndex::ReleaseBefore(std::size_t packet) {
    // Only coded blocks go: a block still plain may hold a packet that grows.
    const std::size_t blocks = std::min(packet >> kBlockBits, coded_);
    for (std::size_t b = released_; b < blocks; ++b) {
        blocks_[b].coded.Release();
    }
    released_ = std::max(released_, blocks);
}

std::size_t PacketIndex::MemoryBytes() const {
    std::size_t total = blocks_.capacity() * sizeof(Block) + planes_.capacity() +
                        decodePlanes_.capacity() + (spare_ ? sizeof(Plain) : 0);
    for (std::size_t b = released_; b < blocks_.size(); ++b) {
        total += blocks_[b].coded.size() + (blocks_[b].plain ? sizeof(Plain) : 0);
    }
    for (const auto& plain : cache_) total += plain ? sizeof(Plain) : 0;
    return total;
}

}  // namespace orvane
