// Hexadecimal text of bytes: two upper-case digits and a space per byte.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// The program's one table of upper-case hexadecimal digits.
inline constexpr char kUpperHexDigits[] = "0123456789ABCDEF";

// Appends the value's low 8 bits as two upper-case hexadecimal digits.
inline void AppendHexPair(std::string& text, int value) {
    text.push_back(kUpperHexDigits[(value >> 4) & 0x0F]);
    text.push_back(kUpperHexDigits[value & 0x0F]);
}

// Every byte as two upper-case hexadecimal digits followed by one space ("00 1A FF ").
std::string HexDump(std::string_view bytes);

}  // namespace orvane
