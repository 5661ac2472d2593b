// Text at the display edge: the core's Windows-1252 bytes to and from the widgets' Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace orvane {

// Every byte maps to one character; the five bytes that Windows-1252 leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same code, so no byte is lost.
QString FromWindows1252(std::string_view bytes);

// The reverse; a character that Windows-1252 cannot hold becomes "?".
std::string ToWindows1252(const QString& text);

}  // namespace orvane
