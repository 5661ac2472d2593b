// Times as the lists, the log and the packet lines show them: seconds with the mask "0000.000".
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

// Decimal digits of a value of 0 or more, zero-padded to at least `width` digits ("00012").
void AppendZeroPadded(std::string& out, std::int64_t value, int width);

// Milliseconds as seconds with at least four integer digits and exactly three decimals
// ("0012.345"); a negative time gets a leading "-".
void AppendTimeText(std::string& out, std::int64_t timeMs);
std::string TimeText(std::int64_t timeMs);

}  // namespace orvane
