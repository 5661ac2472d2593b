// Escaping 8-bit text for plain-ASCII output.
#pragma once

#include <string>
#include <string_view>

namespace orvane::cli {

// Every byte outside 0x20..0x7E, and the backslash, as \xHH (upper-case digits); the rest as is.
std::string EscapeText(std::string_view text);

}  // namespace orvane::cli
