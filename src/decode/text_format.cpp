// Text forms shared by the decoders: checksum, time code, hexadecimal, number and speed texts.
#include "decode/text_format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "capture/hex_dump.hpp"

namespace orvane {

namespace {

// A field keeps at most this many hexadecimal digits (60 bits), so the value always fits.
constexpr int kMaxHexDigits = 15;
constexpr std::uint64_t kHexFieldMask = (std::uint64_t{1} << (4 * kMaxHexDigits)) - 1;

// Value of each character as a hexadecimal digit, -1 for every other character. A table,
// because every field of every decoded packet is read through it.
constexpr std::array<signed char, 256> kHexDigitValues = [] {
    std::array<signed char, 256> values{};
    for (auto& value : values) value = -1;
    for (int c = '0'; c <= '9'; ++c)
        values[static_cast<std::size_t>(c)] = static_cast<signed char>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        values[static_cast<std::size_t>(c)] = static_cast<signed char>(c - 'A' + 10);
    for (int c = 'a'; c <= 'f'; ++c)
        values[static_cast<std::size_t>(c)] = static_cast<signed char>(c - 'a' + 10);
    return values;
}();

int HexDigitValue(char c) { return kHexDigitValues[static_cast<unsigned char>(c)]; }

// Below this a double holds every integer exactly, and it has at most 15 digits.
constexpr double kExactIntegerLimit = 1e15;

// The decimal digits of a whole number 0 <= value < 1e15.
void AppendWholeNumber(std::string& text, double value) {
    char buffer[24];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<long long>(value));
    text.append(buffer, result.ptr);
}

std::string_view TrimTrailingSpaces(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

Checksums ComputeChecksum(std::string_view packetText) {
    Checksums sums;
    // A trailing space would make an empty last field; the checksum is the last real byte.
    const std::vector<std::string_view> fields = SplitFields(TrimTrailingSpaces(packetText));
    if (fields.empty()) return sums;
    // Unsigned arithmetic wraps harmlessly; only the low 8 bits are kept.
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i + 1 < fields.size(); ++i) {
        sum += static_cast<std::uint64_t>(ReadHexField(fields[i]));
    }
    sums.computed = static_cast<int>(sum & 0xFF);
    sums.received = static_cast<int>(ReadHexField(fields.back()) & 0xFF);
    return sums;
}

std::string FormatTimeCode(int hours, int minutes, int seconds, int frames) {
    // The deck's flag bits (drop frame, colour frame, bit 7 of the others) are not part of the
    // time; bit 6 of the hours byte is kept as it stands.
    std::string text;
    text.reserve(11);
    text += TwoDigitHex(hours & 0x7F);
    text += ':';
    text += TwoDigitHex(minutes & 0x7F);
    text += ':';
    text += TwoDigitHex(seconds & 0x7F);
    text += ':';
    text += TwoDigitHex(frames & 0x3F);
    return text;
}

std::string TwoDigitHex(std::int64_t value) {
    // The last two digits of the two's-complement form, so -1 gives "FF".
    const auto bits = static_cast<std::uint64_t>(value);
    return std::string{kUpperHexDigits[(bits >> 4) & 0xF], kUpperHexDigits[bits & 0xF]};
}

std::string OneDigitHex(int value) {
    // A value outside 0..15 shows the digit of its low four bits.
    return std::string(1, kUpperHexDigits[static_cast<unsigned>(value) & 0xF]);
}

std::string NumberText(double value) {
    if (std::isnan(value)) return " NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : " Infinity";
    if (value == 0) return " 0";

    const char sign = value < 0 ? '-' : ' ';
    const double magnitude = std::fabs(value);
    if (magnitude < kExactIntegerLimit && magnitude == std::floor(magnitude)) {
        // Whole numbers (counts, fields, percentages) need no rounding: write their digits.
        std::string whole(1, sign);
        AppendWholeNumber(whole, magnitude);
        return whole;
    }
    // Rounded to 15 significant digits: "d.dddddddddddddde+XX".
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.14e", std::fabs(value));
    std::string digits;
    digits.reserve(15);
    const char* p = scientific;
    for (; *p != 'e'; ++p) {
        if (*p != '.') digits += *p;
    }
    const int exponent = std::atoi(p + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    // Digits before the decimal point; zero or less means the value is below 1.
    const int integerDigits = exponent + 1;
    const int digitCount = static_cast<int>(digits.size());
    std::string text(1, sign);
    if (integerDigits <= 0) {
        text += '.';
        text.append(static_cast<std::size_t>(-integerDigits), '0');
        text += digits;
    } else if (integerDigits >= digitCount) {
        text += digits;
        text.append(static_cast<std::size_t>(integerDigits - digitCount), '0');
    } else {
        text.append(digits, 0, static_cast<std::size_t>(integerDigits));
        text += '.';
        text.append(digits, static_cast<std::size_t>(integerDigits));
    }
    return text;
}

std::string SpeedText(double value) {
    const float single = static_cast<float>(value);
    if (std::isnan(single)) return "NaN";
    if (std::isinf(single)) return single < 0 ? "-Infinity" : "Infinity";

    // A float has 24 significant bits and 1000 needs 10 more, so the product is exact in a
    // double; std::round then rounds the float's exact value, halves away from zero.
    const double thousandths = std::round(static_cast<double>(single) * 1000.0);
    if (thousandths == 0) return "0.0";

    std::string digits;
    if (std::fabs(thousandths) < kExactIntegerLimit) {
        AppendWholeNumber(digits, std::fabs(thousandths));
    } else {
        char integerText[64];
        std::snprintf(integerText, sizeof integerText, "%.0f", std::fabs(thousandths));
        digits = integerText;
    }
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');

    std::string text = thousandths < 0 ? "-" : "";
    text.append(digits, 0, digits.size() - 3);
    std::string decimals = digits.substr(digits.size() - 3);
    while (decimals.size() > 1 && decimals.back() == '0') decimals.pop_back();
    text += '.';
    text += decimals;
    return text;
}

std::int64_t ReadHexField(std::string_view field) {
    // Reads the field's leading hexadecimal digits (either case) and stops at the first other
    // character; only the last 15 digits of a longer run count, so the value never overflows.
    std::uint64_t value = 0;
    for (const char c : field) {
        const int digit = HexDigitValue(c);
        if (digit < 0) break;
        value = ((value << 4) | static_cast<std::uint64_t>(digit)) & kHexFieldMask;
    }
    return static_cast<std::int64_t>(value);
}

std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    if (text.empty()) return fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t space = text.find(' ', start);
        if (space == std::string_view::npos) {
            fields.push_back(text.substr(start));
            return fields;
        }
        fields.push_back(text.substr(start, space - start));
        start = space + 1;
    }
}

}  // namespace orvane
