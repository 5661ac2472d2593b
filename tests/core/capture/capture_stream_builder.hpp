// Builds capture-unit messages for the capture tests: marker, sequence number, 3-byte entries.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace orvane::testing {

struct Entry {
    int code;   // 0x80 controller, 0xC0 device, 0x40 ignore, 0x00 neither
    int tick;   // 0..4095
    int value;  // the serial byte
};

inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes.push_back(static_cast<char>(value));
    return bytes;
}

inline void AppendEntry(std::string& message, const Entry& entry) {
    message.push_back(static_cast<char>(entry.code | ((entry.tick >> 8) & 0x0F)));
    message.push_back(static_cast<char>(entry.tick & 0xFF));
    message.push_back(static_cast<char>(entry.value));
}

inline std::string Header(std::uint32_t sequence) {
    std::string header(5, '\0');
    header.push_back(static_cast<char>(sequence >> 16));
    header.push_back(static_cast<char>((sequence >> 8) & 0xFF));
    header.push_back(static_cast<char>(sequence & 0xFF));
    return header;
}

inline std::string Message(std::uint32_t sequence, std::initializer_list<Entry> entries) {
    std::string message = Header(sequence);
    for (const Entry& entry : entries) AppendEntry(message, entry);
    return message;
}

}  // namespace orvane::testing
