// A short line with known faults for the analysis tests: Sony 9-pin exchanges written as a raw
// capture-unit stream, one message a packet.
#pragma once

#include <string>
#include <vector>

#include "capture/message_layout.hpp"
#include "ui/analysis_look.hpp"

namespace orvane::test {

struct LinePacket {
    bool deck;
    int atMs;  // the first byte's time
    std::vector<int> bytes;
};

// A 9-pin packet with its checksum: the low byte of the sum.
inline std::vector<int> Sony(std::vector<int> bytes) {
    int sum = 0;
    for (const int byte : bytes) sum += byte;
    bytes.push_back(sum & 0xFF);
    return bytes;
}

// Play acknowledged; Stop with a wrong checksum answered by a NAK (checksum error); Current
// Time Sense answered 17 ms late; Stop without a reply; an Ack answering nothing; Play
// acknowledged.
inline std::vector<LinePacket> FaultyLine() {
    return {
        {false, 0, Sony({0x20, 0x01})},
        {true, 6, Sony({0x10, 0x01})},
        {false, 30, {0x20, 0x00, 0x25}},
        {true, 36, Sony({0x11, 0x12, 0x04})},
        {false, 60, Sony({0x61, 0x0C, 0x03})},
        {true, 80, Sony({0x74, 0x04, 0x10, 0x20, 0x30, 0x01})},
        {false, 120, Sony({0x20, 0x00})},
        {true, 250, Sony({0x10, 0x01})},
        {false, 400, Sony({0x20, 0x01})},
        {true, 405, Sony({0x10, 0x01})},
    };
}

// The severity of each packet of FaultyLine, in order.
inline const Severity kFaultyLineSeverities[] = {
    Severity::kNone,    Severity::kNone,  Severity::kError,   Severity::kError, Severity::kNone,
    Severity::kWarning, Severity::kError, Severity::kWarning, Severity::kNone,  Severity::kNone,
};

// The packets as the capture unit streams them, one message a packet, `bytesPerMs` bytes of a
// packet each millisecond.
inline std::string RawStream(const std::vector<LinePacket>& packets, int bytesPerMs = 1) {
    std::string stream;
    std::uint32_t sequence = 1;
    for (const LinePacket& packet : packets) {
        AppendMessageHeader(stream, sequence++);
        for (std::size_t i = 0; i < packet.bytes.size(); ++i) {
            const int at = packet.atMs + static_cast<int>(i) / bytesPerMs;
            AppendMessageEntry(stream, packet.deck ? 0xC0 : 0x80, at % 4096, packet.bytes[i]);
        }
    }
    return stream;
}

}  // namespace orvane::test
