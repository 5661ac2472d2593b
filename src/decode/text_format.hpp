// Text forms shared by the decoders: checksum, time code, hexadecimal, number and speed texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

struct Checksums {
    int received = 0;  // the packet's last byte, low 8 bits
    int computed = 0;  // low 8 bits of the sum of every byte before it
};

// Checksum of a packet text ("20 01 21"); an empty text gives 0 and 0. Trailing spaces are
// ignored, so the text as the list holds it ("20 01 21 ") gives the same result.
Checksums ComputeChecksum(std::string_view packetText);

// "HH:MM:SS:FF" from the four time-data bytes, flag bits masked off; 11 characters.
std::string FormatTimeCode(int hours, int minutes, int seconds, int frames);

// Two upper-case hexadecimal digits, zero-padded; of a longer form only the last two digits.
std::string TwoDigitHex(std::int64_t value);

// The upper-case hexadecimal digit of a value 0..15.
std::string OneDigitHex(int value);

// The decoder's number text: " 3", " 10", " .5", " 1.5", "-2"; up to 15 significant digits.
std::string NumberText(double value);

// The speed mask "####0.0##", applied after the value is rounded to single precision: the
// float's exact value is rounded to three decimals, halves away from zero ("1.0", "2.943").
std::string SpeedText(double value);

// A field of a packet text read as an unsigned hexadecimal number; an empty field reads as 0.
// Reading stops at the first character that is not a hexadecimal digit ("1G" reads as 1, "G1"
// as 0); of a longer run only the last 15 digits count, so the result lies in 0..2^60-1.
std::int64_t ReadHexField(std::string_view field);

// The fields of a text split at every single space, in order; empty fields are kept
// ("20  01" has three fields, the middle one empty). An empty text has no fields.
std::vector<std::string_view> SplitFields(std::string_view text);

}  // namespace orvane
