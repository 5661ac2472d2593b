// Reading and writing one key of an INI-style settings file.
//
// The layout: a line "[Name]" starts a section; "key=value" lines follow until the next section
// line. Section and key names match without regard to ASCII letter case; a value is the text
// after the first "=", with spaces and tabs around it dropped on reading. Lines end with CR LF
// (LF-only files read the same). Lines starting with ";" or "#" are comments.
//
// Length limits of one access: section and key names are cut to 124 characters, a written value
// to 149, and a read returns at most 149 characters; every text is also cut at an embedded NUL.
// The path is used whole: a path cut short would send the settings to a file with a broken name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvane {

inline constexpr std::size_t kMaxSettingsNameLength = 124;
inline constexpr std::size_t kMaxSettingsValueLength = 149;

// The value of `key` in `section` of the file at `path`, or `defaultValue` when the file, the
// section or the key is missing or the file cannot be read. Where a section appears more than
// once, the first line naming the key wins.
std::string ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view defaultValue);

// Writes `key`=`value` in `section` of the file at `path`: replaces the key's value in place
// when the key exists, else appends the key at the end of the section (after its last non-blank
// line), else appends the section at the end of the file, creating the file if needed. Every
// other line of the file is kept byte for byte. A CR or LF in the value or a name ends it there,
// so a value can never add lines of its own to the file.
//
// The new content goes to a temporary file in the same folder that then replaces the old one,
// so a failed write (read-only folder, full disk) leaves the existing file as it was. Returns
// whether the key was stored; an empty section or key name stores nothing.
bool WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value);

}  // namespace orvane
