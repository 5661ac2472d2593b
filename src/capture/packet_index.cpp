// Packets of a continuous capture as an index over its stored bytes, built as the bytes arrive.
#include "capture/packet_index.hpp"

#include <algorithm>
#include <tuple>

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

}  // namespace

PacketIndex::PacketIndex(ProtocolMode protocolMode)
    : protocolMode_(protocolMode), numbering_(protocolMode == ProtocolMode::kVdcp) {}

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
        packets_[static_cast<std::size_t>(side.open)].lastByte = index;
    } else {
        Close(side, device);
        CloseLeading(device);
        PacketEntry entry;
        entry.firstByte = index;
        entry.lastByte = index;
        entry.number = number;
        entry.flags = device ? PacketEntry::kFromDevice : 0;
        side.open = static_cast<std::int64_t>(packets_.size());
        side.lastStarted = number;
        side.keyCount = 0;
        side.length = 0;
        sidePackets_[device ? 1 : 0].push_back(static_cast<std::uint32_t>(packets_.size()));
        packets_.push_back(entry);
    }
    if (side.keyCount < kFilterKeyBytes) side.key[side.keyCount++] = value;
    ++side.length;
}

void PacketIndex::Close(Side& side, bool device) {
    if (side.open < 0) return;
    const auto at = static_cast<std::size_t>(side.open);
    PacketEntry& entry = packets_[at];
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
}

std::size_t PacketIndex::CompleteCount() const {
    std::size_t count = packets_.size();
    for (const Side& side : sides_) {
        if (side.open >= 0) count = std::min(count, static_cast<std::size_t>(side.open));
    }
    return count;
}

std::int64_t PacketIndex::PacketOfByte(std::uint32_t index, bool device) const {
    const std::size_t released = sideReleased_[device ? 1 : 0];
    const ChunkedArray<std::uint32_t>& list = sidePackets_[device ? 1 : 0];
    // The last packet of the side that starts at or before the byte.
    std::size_t low = released;
    std::size_t high = list.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (packets_[list[middle]].firstByte <= index) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low == released) return -1;
    const std::uint32_t packet = list[low - 1];
    return packets_[packet].lastByte >= index ? static_cast<std::int64_t>(packet) : -1;
}

std::size_t PacketIndex::FirstOrdinalEndingFrom(bool device, std::uint32_t byte) const {
    const ChunkedArray<std::uint32_t>& list = sidePackets_[device ? 1 : 0];
    std::size_t low = sideReleased_[device ? 1 : 0];
    std::size_t high = list.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (packets_[list[middle]].lastByte < byte) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::uint32_t PacketIndex::FirstByteNeeded(std::uint32_t frontier) const {
    std::uint32_t first = frontier;
    for (const bool device : {false, true}) {
        const std::size_t ordinal = FirstOrdinalEndingFrom(device, frontier);
        const ChunkedArray<std::uint32_t>& list = sidePackets_[device ? 1 : 0];
        if (ordinal < list.size()) first = std::min(first, packets_[list[ordinal]].firstByte);
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
        const std::size_t ordinal = FirstOrdinalEndingFrom(device, frontier);
        const ChunkedArray<std::uint32_t>& list = sidePackets_[device ? 1 : 0];
        if (ordinal < list.size()) first = std::min<std::size_t>(first, list[ordinal]);
    }
    return first;
}

void PacketIndex::ReleaseBefore(std::size_t packet) {
    // Packets go in whole chunks; the side lists then forget the places of the packets gone,
    // so that their searches never read a freed packet.
    const std::size_t freed = packet & ~(ChunkedArray<PacketEntry>::kChunkSize - 1);
    packets_.ReleaseBefore(freed);
    for (const bool device : {false, true}) {
        ChunkedArray<std::uint32_t>& list = sidePackets_[device ? 1 : 0];
        std::size_t& released = sideReleased_[device ? 1 : 0];
        std::size_t high = list.size();
        while (released < high) {
            const std::size_t middle = released + (high - released) / 2;
            if (list[middle] < freed) {
                released = middle + 1;
            } else {
                high = middle;
            }
        }
        list.ReleaseBefore(released);
    }
}

std::size_t PacketIndex::MemoryBytes() const {
    return packets_.capacityBytes() + sidePackets_[0].capacityBytes() +
           sidePackets_[1].capacityBytes();
}

}  // namespace orvane
