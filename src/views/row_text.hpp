// Cell texts shared by the Packet View and Byte View: row numbers, times and hexadecimal numbers.
#pragma once

#include <cstdint>
#include <string>

#include "capture/time_text.hpp"  // TimeText, shared with the packet lines

namespace orvane {

// A row number with the mask "00000": at least five digits, zero-padded ("00001", "100000").
std::string EventText(std::int64_t rowNumber);

// A number in upper-case hexadecimal without leading zeros ("0", "1A2B").
std::string UpperHexText(std::int64_t value);

// Appends a byte as two upper-case hexadecimal digits followed by one space ("0F ").
void AppendHexByte(std::string& out, int value);

}  // namespace orvane
