// The capture model: the blocks one capture stored, the byte list built from them, the packet list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orvane {

inline constexpr int kMaxBlocks = 1000;         // block store: blocks 1..1000
inline constexpr int kMaxBytes = 100000;        // byte list: bytes 1..100000
inline constexpr int kMaxPacketIndex = 100000;  // packet list: packets 0..100000
inline constexpr int kReadLimit = 102400;       // one socket read takes at most this much

inline constexpr std::int32_t kDirectionController = 0x80;  // shown "Ctrl"
inline constexpr std::int32_t kDirectionDevice = 0xC0;      // shown "Deck" or "VTR"

// One byte seen on the serial line.
struct CapturedByte {
    std::int32_t blockSeq = 0;   // sequence number of the capture-unit message that carried it
    std::int32_t timeMs = 0;     // milliseconds since the capture began, never decreasing
    std::int32_t direction = 0;  // 0x80 controller, 0xC0 device, 0x00 neither
    std::int32_t value = 0;      // the serial byte, 0..255
    std::int32_t packetNo = 0;   // 0 = no packet; same direction and number = same packet
};

// One packet as text: a character whose code is the direction, the time "0000.000", a TAB,
// then each byte as two upper-case hexadecimal digits and a space. Text is Windows-1252.
struct PacketLine {
    std::string text;
    int firstByteIndex = 0;  // index in capturedBytes of the packet's first byte
};

struct CaptureModel {
    // Block store of one capture; index 0 is never used, blocks live at 1..blockCount.
    std::vector<std::string> receivedBlocks = std::vector<std::string>(1);
    int blockCount = 0;

    // Byte list; entry 0 stays all-zero, real bytes live at 1..byteCount. The list holds
    // byteCount + 1 entries (at most kMaxBytes + 1), so its cost follows the bytes captured.
    std::vector<CapturedByte> capturedBytes = std::vector<CapturedByte>(1);
    int byteCount = 0;

    // Packet list, packets at 0..lastPacketIndex (-1 when there are none).
    std::vector<PacketLine> packetLines;
    int lastPacketIndex = -1;
};

}  // namespace orvane
