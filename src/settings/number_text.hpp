// Numbers in the settings file: the lenient prefix parse used for every stored number and the
// Setup dialog's port text, and the number text every stored number is written as.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// Parses the number at the start of `text`, the way a hand-edited settings file is read:
// - leading spaces, tabs and line feeds are skipped;
// - the longest decimal prefix is taken: optional sign, digits, optional point and fraction,
//   optional exponent ("e"/"E", optional sign, digits); "12abc" is 12, "1e3" is 1000;
// - "&" introduces an unsigned integer in another base: "&H"/"&h" hexadecimal, "&B"/"&b" binary,
//   "&O"/"&o"/"&Q"/"&q" or "&" alone octal ("&H1F" 31, "&17" 15);
// - text that does not start with a number, and empty text, give 0;
// - the value is rounded to the nearest integer, halves to the even neighbour (2.5 -> 2,
//   3.5 -> 4, -2.5 -> -2), exactly, from the decimal digits.
// Values outside the signed 32-bit range are clamped to its nearest end (1e20 -> 2147483647,
// -1e20 -> -2147483648, "&HFFFFFFFF" -> 2147483647), so a wild stored value never wraps
// into a small or negative one.
std::int32_t ParseNumberPrefix(std::string_view text);

// The text every number is stored as: a leading space for 0 and above, "-" below (" 23", " 0",
// "-5"); nothing else.
std::string SettingsNumberText(std::int32_t value);

}  // namespace orvane
