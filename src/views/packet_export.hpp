// One exported packet of the Packet View, and its JSON Lines form for scripts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "capture/capture_model.hpp"
#include "views/packet_filter.hpp"

namespace orvane {

// A shown packet as the exports write it.
struct ExportedPacket {
    std::uint64_t number = 0;                // its row number in the Packet View, from 1
    std::string_view timeText;               // the "Time" cell: seconds since the capture began
    std::int64_t timeUs = 0;                 // absolute time, microseconds since 1970 UTC
    std::int32_t direction = 0;              // 0x80 controller, 0xC0 deck
    std::string_view bytes;                  // the serial bytes
    std::string_view description;            // Windows-1252
    std::optional<std::uint32_t> latencyMs;  // a reply's latency
    std::string_view verdict;                // its problems, empty when all is well
};

// {"number":1,"time":"0001.500","time_us":...,"side":"controller","bytes":"20 01 21",
//  "description":"Play","latency_ms":null,"verdict":""} and a line feed. Text is UTF-8; the
// description's leading and trailing spaces are kept as the decoder gave them. latency_ms is a
// reply's latency or null, verdict the packet's problems ("" when all is well).
std::string JsonlPacketLine(const ExportedPacket& packet);
void AppendJsonlPacketLine(std::string& out, const ExportedPacket& packet);

// Called for each exported packet in order; returning false stops the walk.
using ExportVisitor = std::function<bool(const ExportedPacket& packet)>;

// The Packet View's packets of a bounded capture, in its order: the list filled under `flags`
// and decoded under `protocolMode`, each row handed on with its bytes and its absolute time
// (startTimeUs at the capture's first byte). False when `visit` stopped the walk.
bool ForEachBoundedPacket(CaptureModel& model, ProtocolMode protocolMode, const FilterFlags& flags,
                          std::int64_t startTimeUs, const ExportVisitor& visit);

// A JSON string literal of Windows-1252 text, quotes included.
std::string JsonString(std::string_view windows1252);
void AppendJsonString(std::string& out, std::string_view windows1252);

}  // namespace orvane
