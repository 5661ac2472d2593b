// Times as the lists, the log and the packet lines show them: seconds with the mask "0000.000".
#include "capture/time_text.hpp"

#include <charconv>

namespace orvane {

void AppendZeroPadded(std::string& out, std::int64_t value, int width) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const int length = static_cast<int>(result.ptr - digits);
    if (length < width) out.append(static_cast<std::size_t>(width - length), '0');
    out.append(digits, result.ptr);
}

void AppendTimeText(std::string& out, std::int64_t timeMs) {
    if (timeMs < 0) {
        out.push_back('-');
        timeMs = -timeMs;
    }
    AppendZeroPadded(out, timeMs / 1000, 4);
    out.push_back('.');
    AppendZeroPadded(out, timeMs % 1000, 3);
}

std::string TimeText(std::int64_t timeMs) {
    std::string text;
    AppendTimeText(text, timeMs);
    return text;
}

}  // namespace orvane
