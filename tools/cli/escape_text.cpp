// Escaping 8-bit text for plain-ASCII output.
#include "cli/escape_text.hpp"

#include "capture/hex_dump.hpp"

namespace orvane::cli {

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E && byte != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kUpperHexDigits[byte >> 4]);
            out.push_back(kUpperHexDigits[byte & 0x0F]);
        }
    }
    return out;
}

}  // namespace orvane::cli
