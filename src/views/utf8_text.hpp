// Windows-1252 text, as the decoders and lists hold it, converted for UTF-8 file formats.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// Every byte becomes one character: 0x00..0x7F as they are (NUL included), 0x80..0x9F as
// Windows-1252 assigns them (0x80 is the euro sign) and 0xA0..0xFF as Latin-1. The five bytes
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters
// of the same number, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view text);

// The Unicode code point of one Windows-1252 byte, by the same rules.
char16_t Windows1252CodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when Windows-1252 cannot hold it.
int Windows1252Byte(char16_t codePoint);

}  // namespace orvane
