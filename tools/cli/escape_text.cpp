// Escaping 8-bit text for plain-ASCII output.
#include "cli/escape_text.hpp"

namespace orvane::cli {

std::string EscapeText(std::string_view text) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E && byte != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0x0F]);
        }
    }
    return out;
}

}  // namespace orvane::cli
