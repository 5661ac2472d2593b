// Numbers in the settings file: lenient prefix parse and stored number text.
#include "settings/number_text.hpp"

#include <cstddef>
#include <limits>

namespace orvane {
namespace {

constexpr std::uint64_t kMinMagnitude = std::uint64_t{1} << 31;  // |INT32_MIN|
constexpr std::uint64_t kMaxMagnitude = kMinMagnitude - 1;       // INT32_MAX
// An exponent this large already puts any non-zero mantissa far outside the 32-bit range (or
// far below 0.5); capping it keeps the arithmetic small whatever the file holds.
constexpr std::int64_t kExponentCap = 1'000'000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Value of `c` as a digit of `base`, or -1.
int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    }
    return value < base ? value : -1;
}

std::int32_t ClampToInt32(bool negative, std::uint64_t magnitude) {
    if (negative) {
        return magnitude >= kMinMagnitude
                   ? std::numeric_limits<std::int32_t>::min()
                   : static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
    }
    return static_cast<std::int32_t>(magnitude >= kMaxMagnitude ? kMaxMagnitude : magnitude);
}

// The "&" forms; `text` starts after the ampersand.
std::int32_t ParseBasedInteger(std::string_view text) {
    int base = 8;
    if (!text.empty()) {
        switch (text.front()) {
            case 'H':
            case 'h':
                base = 16;
                text.remove_prefix(1);
                break;
            case 'B':
            case 'b':
                base = 2;
                text.remove_prefix(1);
                break;
            case 'O':
            case 'o':
            case 'Q':
            case 'q':
                text.remove_prefix(1);
                break;
            default:  // octal digits follow the ampersand directly
                break;
        }
    }
    std::uint64_t magnitude = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0) {
            break;
        }
        magnitude =
            magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > kMinMagnitude) {
            magnitude = kMinMagnitude;  // saturate; clamped below
        }
    }
    return ClampToInt32(false, magnitude);
}

std::size_t CountDigits(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - pos;
}

}  // namespace

std::int32_t ParseNumberPrefix(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n')) {
        ++pos;
    }
    if (pos < text.size() && text[pos] == '&') {
        return ParseBasedInteger(text.substr(pos + 1));
    }

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::string_view intDigits = text.substr(pos, CountDigits(text, pos));
    pos += intDigits.size();
    std::string_view fracDigits;
    if (pos < text.size() && text[pos] == '.') {
        fracDigits = text.substr(pos + 1, CountDigits(text, pos + 1));
        pos += 1 + fracDigits.size();
    }
    if (intDigits.empty() && fracDigits.empty()) {
        return 0;
    }

    // The exponent counts only when digits follow it: "12e" and "1e+" stop before the "e".
    std::int64_t exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t expPos = pos + 1;
        bool expNegative = false;
        if (expPos < text.size() && (text[expPos] == '+' || text[expPos] == '-')) {
            expNegative = text[expPos] == '-';
            ++expPos;
        }
        for (std::size_t i = 0; i < CountDigits(text, expPos); ++i) {
            exponent = exponent * 10 + (text[expPos + i] - '0');
            if (exponent > kExponentCap) {
                exponent = kExponentCap;
            }
        }
        if (expNegative) {
            exponent = -exponent;
        }
    }

    // The mantissa's digits as one sequence, leading zeros dropped; `pointPos` digits of it
    // stand before the decimal point.
    const auto digitAt = [&](std::size_t i) {
        return i < intDigits.size() ? intDigits[i] : fracDigits[i - intDigits.size()];
    };
    const std::size_t digitCount = intDigits.size() + fracDigits.size();
    std::size_t first = 0;
    while (first < digitCount && digitAt(first) == '0') {
        ++first;
    }
    if (first == digitCount) {
        return 0;
    }
    const std::int64_t pointPos =
        static_cast<std::int64_t>(intDigits.size()) + exponent - static_cast<std::int64_t>(first);
    const std::size_t significant = digitCount - first;
    if (pointPos > 10) {  // at least 10^10: far outside the range
        return ClampToInt32(negative, kMinMagnitude);
    }

    std::uint64_t magnitude = 0;
    for (std::int64_t i = 0; i < pointPos; ++i) {
        const auto index = static_cast<std::size_t>(i);
        magnitude = magnitude * 10 + (index < significant ? digitAt(first + index) - '0' : 0);
    }
    // Round on the exact digits: a double would turn "2.50000000000000001" into a tie.
    if (pointPos >= 0 && static_cast<std::size_t>(pointPos) < significant) {
        const auto roundIndex = static_cast<std::size_t>(pointPos);
        const char roundDigit = digitAt(first + roundIndex);
        bool up = roundDigit > '5';
        if (roundDigit == '5') {
            bool beyondHalf = false;
            for (std::size_t i = roundIndex + 1; i < significant && !beyondHalf; ++i) {
                beyondHalf = digitAt(first + i) != '0';
            }
            up = beyondHalf || magnitude % 2 == 1;
        }
        if (up) {
            ++magnitude;
        }
    }
    return ClampToInt32(negative, magnitude);
}

std::string SettingsNumberText(std::int32_t value) {
    std::string text = std::to_string(value);
    if (value >= 0) {
        text.insert(text.begin(), ' ');
    }
    return text;
}

}  // namespace orvane
