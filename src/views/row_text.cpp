// Cell texts shared by the Packet View and Byte View: row numbers, times and hexadecimal numbers.
#include "views/row_text.hpp"

#include <charconv>

#include "capture/hex_dump.hpp"
#include "capture/time_text.hpp"

namespace orvane {

std::string EventText(std::int64_t rowNumber) {
    std::string text;
    if (rowNumber < 0) {
        text.push_back('-');
        AppendZeroPadded(text, -rowNumber, 5);
    } else {
        AppendZeroPadded(text, rowNumber, 5);
    }
    return text;
}

std::string UpperHexText(std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, 16);
    for (char* c = digits; c != result.ptr; ++c) {
        if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    }
    return std::string(digits, result.ptr);
}

void AppendHexByte(std::string& out, int value) {
    AppendHexPair(out, value);
    out.push_back(' ');
}

}  // namespace orvane
