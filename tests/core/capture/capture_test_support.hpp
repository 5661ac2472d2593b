// Shared by the core tests: capture-unit messages, bytes written in hexadecimal, and
// the TAB-separated tables under tests/data.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "capture/message_layout.hpp"

namespace orvane::testing {

struct Entry {
    int code;   // 0x80 controller, 0xC0 device, 0x40 ignore, 0x00 neither
    int tick;   // 0..4095
    int value;  // the serial byte
};

inline void AppendEntry(std::string& message, const Entry& entry) {
    AppendMessageEntry(message, entry.code, entry.tick, entry.value);
}

// The marker of five 0x00 bytes and the 24-bit sequence number.
inline std::string Header(std::uint32_t sequence) {
    std::string header;
    AppendMessageHeader(header, sequence);
    return header;
}

// The fields of `text` between `separator`s, empty ones included.
inline std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> fields;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        fields.emplace_back(text.substr(from, at - from));
        if (at == std::string_view::npos) return fields;
        from = at + 1;
    }
}

// Bytes written as hexadecimal pairs between blanks: "00 1A ff".
inline std::string HexBytes(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::string bytes;
    for (unsigned value = 0; in >> std::hex >> value;) bytes.push_back(static_cast<char>(value));
    return bytes;
}

// Byte strings written as hexadecimal with '|' between them; "-" is the empty list.
inline std::vector<std::string> HexList(std::string_view text) {
    std::vector<std::string> list;
    for (const std::string& item : Split(text, '|')) list.push_back(HexBytes(item));
    return text == "-" ? std::vector<std::string>{} : list;
}

// The rows of a TAB-separated table under tests/data; empty lines and '#' comments are skipped.
inline std::vector<std::vector<std::string>> ReadTable(std::string_view name) {
    std::ifstream in(ORVANE_TEST_DATA_DIR "/" + std::string(name), std::ios::binary);
    EXPECT_TRUE(in.is_open()) << name;
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') rows.push_back(Split(line, '\t'));
    }
    return rows;
}

}  // namespace orvane::testing
