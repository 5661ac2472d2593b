// Packet assembly: stored blocks -> time-stamped byte list -> packet numbers -> packet lines.
#include "capture/packet_assembly.hpp"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "capture/hex_dump.hpp"
#include "capture/message_layout.hpp"
#include "capture/packet_numbering.hpp"
#include "capture/time_text.hpp"

namespace orvane {
namespace {

constexpr std::int32_t kCodeIgnore = 0x40;

int Byte(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

std::string_view BlockAt(const CaptureModel& model, int k) {
    if (k < 0 || static_cast<std::size_t>(k) >= model.receivedBlocks.size()) return {};
    return model.receivedBlocks[static_cast<std::size_t>(k)];
}

// The block's bytes as messages of the capture unit. The last block may end with the first
// bytes of a next header that the capture stopped before completing: they are no entries.
std::string_view MessageAt(const CaptureModel& model, int k) {
    const std::string_view block = BlockAt(model, k);
    if (k != model.blockCount) return block;
    return block.substr(0, FindPendingHeader(block));
}

// byteCount limited to the entries that exist, so a hand-made model cannot lead out of range.
int UsableByteCount(const CaptureModel& model) {
    const int last = static_cast<int>(model.capturedBytes.size()) - 1;
    return std::clamp(model.byteCount, 0, std::max(last, 0));
}

bool IsBlockUsable(const CaptureModel& model, int k) {
    const std::string_view block = MessageAt(model, k);
    if (block.empty()) return false;
    // A block starts with the marker, five 0x00 bytes.
    if (block.size() < kMarkerSize ||
        block.substr(0, kMarkerSize).find_first_not_of('\0') != std::string_view::npos) {
        return false;
    }
    // A second marker means two messages ran together in one block: its entries cannot be trusted.
    if (HasZeroRun(block, 6)) return false;
    // A sequence gap after the block means a lost message whose continuation may have been
    // appended here; the last block has no successor to judge it by.
    if (k < model.blockCount && SequenceOf(BlockAt(model, k + 1)) != SequenceOf(block) + 1) {
        return false;
    }
    return block.size() >= kHeaderSize + kEntrySize;
}

}  // namespace

void BuildCapturedBytes(CaptureModel& model) {
    if (model.blockCount <= 0) return;
    // The list grows with the bytes taken; the storage of an earlier capture is kept.
    auto& bytes = model.capturedBytes;
    bytes.assign(1, CapturedByte{});
    model.byteCount = 0;
    std::int32_t timeBase = 0;
    for (int k = 1; k <= model.blockCount && model.byteCount < kMaxBytes; ++k) {
        if (!IsBlockUsable(model, k)) continue;
        const std::string_view block = MessageAt(model, k);
        const auto sequence = static_cast<std::int32_t>(SequenceOf(block));
        for (std::size_t at = kHeaderSize; at + kEntrySize <= block.size(); at += kEntrySize) {
            if (model.byteCount >= kMaxBytes) break;
            const int first = Byte(block, at);
            const std::int32_t code = first & 0xC0;
            if (code == kCodeIgnore) continue;
            const std::int32_t tick = ((first & 0x0F) << 8) | Byte(block, at + 1);
            const std::int32_t previousMs = bytes.back().timeMs;
            // The unit's tick wraps every 4096 ms; a fall below the previous time restarts the
            // count from that time, which keeps times from ever going back.
            if (timeBase + tick < previousMs) timeBase = previousMs;
            CapturedByte& byte = bytes.emplace_back();
            byte.blockSeq = sequence;
            byte.timeMs = timeBase + tick;
            byte.direction = code;
            byte.value = Byte(block, at + 2);
            byte.packetNo = 0;
            ++model.byteCount;
        }
    }
}

void AssignPacketNumbers(CaptureModel& model, ProtocolMode protocolMode) {
    const int byteCount = UsableByteCount(model);
    // The same byte-by-byte grouping as a continuous capture's packet index.
    PacketNumbering numbering(protocolMode == ProtocolMode::kVdcp);
    for (int i = 1; i <= byteCount; ++i) {
        CapturedByte& byte = model.capturedBytes[static_cast<std::size_t>(i)];
        byte.packetNo = numbering.Take(byte.value, byte.direction);
    }
}

void BuildPacketLines(CaptureModel& model, const Trace& trace) {
    const int byteCount = UsableByteCount(model);
    const auto& bytes = model.capturedBytes;
    // Lines already in the list keep their storage: refilling them costs no allocation.
    auto& lines = model.packetLines;
    int lastIndex = -1;

    struct Side {
        std::int32_t lastStarted = 0;  // number of the last packet started
        int lastTaken = 0;             // index of the last byte taken into a packet
    };
    Side controller;
    Side device;

    // Entry 0 is the all-zero slot, never a byte of the line; every real byte may start a packet.
    for (int i = 1; i <= byteCount; ++i) {
        if (lastIndex >= kMaxPacketIndex) break;
        const CapturedByte& start = bytes[static_cast<std::size_t>(i)];
        Side* side = start.direction == kDirectionController ? &controller
                     : start.direction == kDirectionDevice   ? &device
                                                             : nullptr;
        if (side == nullptr || side->lastTaken >= i || start.packetNo == side->lastStarted) {
            continue;
        }
        side->lastStarted = start.packetNo;

        ++lastIndex;
        if (static_cast<std::size_t>(lastIndex) == lines.size()) lines.emplace_back();
        PacketLine& line = lines[static_cast<std::size_t>(lastIndex)];
        line.firstByteIndex = i;
        std::string& text = line.text;
        text.clear();
        text.push_back(static_cast<char>(start.direction));
        AppendTimeText(text, start.timeMs);
        text.push_back('\t');
        // The packet ends at the first later byte of its direction with another number; bytes of
        // the other direction in between are passed over.
        for (int j = i; j <= byteCount; ++j) {
            const CapturedByte& byte = bytes[static_cast<std::size_t>(j)];
            if (byte.direction != start.direction) continue;
            if (byte.packetNo != start.packetNo) break;
            AppendHexPair(text, byte.value);
            text.push_back(' ');
            side->lastTaken = j;
        }
        if (trace.debugTrace && trace.output) {
            std::string traced = text;
            traced.push_back(' ');
            trace.Debug(traced);
        }
    }
    lines.resize(static_cast<std::size_t>(lastIndex + 1));
    model.lastPacketIndex = lastIndex;
}

void AssembleCapture(CaptureModel& model, ProtocolMode protocolMode, const Trace& trace) {
    BuildCapturedBytes(model);
    AssignPacketNumbers(model, protocolMode);
    BuildPacketLines(model, trace);
}

void ClearCapturedBytes(CaptureModel& model) {
    model.capturedBytes.assign(1, CapturedByte{});
    model.byteCount = 0;
}

}  // namespace orvane
