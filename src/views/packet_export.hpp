// One exported packet of the Packet View, and its JSON Lines form for scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// A shown packet as the exports write it.
struct ExportedPacket {
    std::uint64_t number = 0;      // its row number in the Packet View, from 1
    std::string_view timeText;     // the "Time" cell: seconds since the capture began
    std::int64_t timeUs = 0;       // absolute time, microseconds since 1970 UTC
    std::int32_t direction = 0;    // 0x80 controller, 0xC0 deck
    std::string_view bytes;        // the serial bytes
    std::string_view description;  // Windows-1252
};

// {"number":1,"time":"0001.500","time_us":...,"side":"controller","bytes":"20 01 21",
//  "description":"Play"} and a line feed. Text is UTF-8; the description's leading and trailing
// spaces are kept as the decoder gave them.
std::string JsonlPacketLine(const ExportedPacket& packet);
void AppendJsonlPacketLine(std::string& out, const ExportedPacket& packet);

// A JSON string literal of Windows-1252 text, quotes included.
std::string JsonString(std::string_view windows1252);
void AppendJsonString(std::string& out, std::string_view windows1252);

}  // namespace orvane
