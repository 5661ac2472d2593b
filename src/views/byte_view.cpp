// The Byte View fill: one row per shown byte, both sides interleaved in arrival order.
#include "views/byte_view.hpp"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string>

#include "views/row_text.hpp"

namespace orvane {

namespace {

// What the fill remembers of one side (controller or deck) while it walks the bytes.
struct SideState {
    int currentPacket = -1;  // packetNo of the side's packet gathered last
    std::string pending;     // hexadecimal text of that packet, until its last row is added
    int lastByteIndex = 0;   // index of that packet's last byte
    int hideLimit = 0;       // the side's bytes at or below this index belong to hidden packets
};

// Collects the packet that starts at `first` from the bytes of its side up to the first byte of
// that side with another packet number; bytes of the other side in between are passed over.
void GatherPacket(const CaptureModel& model, int first, int last, ProtocolMode protocolMode,
                  const FilterFlags& flags, SideState& side) {
    const CapturedByte& start = model.capturedBytes[static_cast<std::size_t>(first)];
    side.currentPacket = start.packetNo;
    for (int j = first; j <= last; ++j) {
        const CapturedByte& byte = model.capturedBytes[static_cast<std::size_t>(j)];
        if (byte.direction != start.direction) continue;
        if (byte.packetNo != start.packetNo) break;
        AppendHexByte(side.pending, byte.value);
        side.lastByteIndex = j;
    }
    if (IsPacketHidden(side.pending, start.direction, protocolMode, flags, ViewKind::Byte)) {
        side.hideLimit = side.lastByteIndex;
    }
}

// " 12 ": the packet number in decimal between two spaces.
std::string PacketNumberCell(std::int32_t packetNo) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, packetNo);
    std::string text(1, ' ');
    text.append(digits, result.ptr);
    text.push_back(' ');
    return text;
}

}  // namespace

void FillByteView(const CaptureModel& model, Decoder& decoder, const FilterFlags& flags,
                  ListModel& list, const CancelCheck& isCancelled) {
    const ProtocolMode protocolMode = decoder.protocolMode();
    const int last =
        std::min({model.byteCount, kMaxBytes, static_cast<int>(model.capturedBytes.size()) - 1});
    list.Reserve(last);
    SideState controller;
    SideState deck;
    int rowCount = 0;
    std::string cell;
    // Entry 0 is the byte list's empty slot; every real byte counts, one whose time is 0 too.
    for (int index = 1; index <= last; ++index) {
        if (isCancelled && isCancelled()) return;
        const CapturedByte& byte = model.capturedBytes[static_cast<std::size_t>(index)];
        int byteColumn = 0;
        SideState* side = nullptr;
        if (byte.direction == kDirectionController) {
            side = &controller;
            byteColumn = 2;
        } else if (byte.direction == kDirectionDevice) {
            side = &deck;
            byteColumn = 3;
        } else {
            continue;
        }
        if (byte.packetNo != side->currentPacket) {
            GatherPacket(model, index, last, protocolMode, flags, *side);
        }
        if (side->hideLimit >= index) {
            side->pending.clear();
            continue;
        }

        ++rowCount;
        const int row = list.InsertItem(rowCount - 1, EventText(rowCount));
        list.SetItemText(row, 5, PacketNumberCell(byte.packetNo));
        cell = TimeText(byte.timeMs);
        cell.push_back(' ');
        list.SetItemText(row, 1, cell);
        cell.clear();
        AppendHexByte(cell, byte.value);
        list.SetItemText(row, byteColumn, cell);
        if (index == side->lastByteIndex) {
            cell = decoder.DecodePacket(side->pending);
            cell.push_back(' ');
            list.SetItemText(row, 4, cell);
            side->pending.clear();
        }
    }
}

}  // namespace orvane
