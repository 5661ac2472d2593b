// Hexadecimal text of a received block, for the status bar and the diagnostic lines.
#include "capture/hex_dump.hpp"

namespace orvane {

std::string HexDump(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        AppendHexPair(text, byte);
        text.push_back(' ');
    }
    return text;
}

}  // namespace orvane
