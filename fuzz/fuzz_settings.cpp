// Fuzz target: the settings file reader and writer on arbitrary files, and the numeric prefix
// parse.
//
// The input is taken apart into a section name, a key name, a value, a second section and key,
// and the rest is the settings file as it lies on disk. Checked beyond "no crash":
// - a read never returns more than the value limit;
// - a key written with plain names reads back as written: cut at a line break or NUL and to the
//   length limit, spaces and tabs around it dropped;
// - writing leaves every other key's value as it was, and writing the same value again leaves the
//   file byte for byte as it was;
// - a write that is refused (empty name) leaves the file as it was;
// - the numeric prefix parse reads its own number text back, ignores what follows the number,
//   is symmetric in the sign and agrees with the C library on plain integers.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "settings/ini_file.hpp"
#include "settings/number_text.hpp"

namespace {

namespace fs = std::filesystem;

void Check(bool condition, const char* what) {
    orvane::fuzz::CheckInvariant(condition, "fuzz_settings", what);
}

using orvane::fuzz::TempFolder;

const std::string& SettingsPath() {
    static const TempFolder folder("fuzz_settings");
    static const std::string path = (folder.path() / "Orvane.ini").string();
    return path;
}

void WriteWholeFile(const std::string& path, std::string_view content) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "the settings file can be created");
    Check(std::fwrite(content.data(), 1, content.size(), file) == content.size(), "file written");
    Check(std::fclose(file) == 0, "file closed");
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

// What the writer keeps of a name or value: up to a line break or NUL, then the length limit.
std::string_view CutForWrite(std::string_view text, std::size_t limit) {
    text = text.substr(0, text.find_first_of(std::string_view("\0\r\n", 3)));
    return text.substr(0, limit);
}

// What the reader keeps of a name: up to a NUL, then the length limit.
std::string_view CutForRead(std::string_view name) {
    return name.substr(0, name.find('\0')).substr(0, orvane::kMaxSettingsNameLength);
}

// A section name that its own "[name]" line gives back unchanged.
bool IsPlainSection(std::string_view name) {
    return !name.empty() && Trim(name) == name && name.find(']') == std::string_view::npos;
}

// A key name that its own "key=value" line gives back unchanged, and that no reader takes for a
// section line or a comment.
bool IsPlainKey(std::string_view name) {
    return !name.empty() && Trim(name) == name && name.find('=') == std::string_view::npos &&
           name.front() != '[' && name.front() != ';' && name.front() != '#';
}

void CheckReadWrite(std::string_view content, std::string_view sectionIn, std::string_view keyIn,
                    std::string_view value, std::string_view otherSection,
                    std::string_view otherKey) {
    const std::string& path = SettingsPath();
    WriteWholeFile(path, content);

    const std::string section(sectionIn), key(keyIn);
    const std::string before = orvane::ReadSetting(path, section, key, "?");
    Check(before.size() <= orvane::kMaxSettingsValueLength, "a read is cut to the value limit");
    const std::string otherBefore =
        orvane::ReadSetting(path, std::string(otherSection), std::string(otherKey), "?");

    const std::string_view cutSection = CutForWrite(section, orvane::kMaxSettingsNameLength);
    const std::string_view cutKey = CutForWrite(key, orvane::kMaxSettingsNameLength);
    const bool stored = orvane::WriteSetting(path, section, key, value);
    if (cutSection.empty() || cutKey.empty()) {
        Check(!stored, "an empty name stores nothing");
        Check(ReadWholeFile(path) == content, "a refused write leaves the file");
        return;
    }
    Check(stored, "a key with names is stored");
    if (!IsPlainSection(cutSection) || !IsPlainKey(cutKey)) return;

    const std::string expected(Trim(CutForWrite(value, orvane::kMaxSettingsValueLength)));
    const std::string readBack =
        orvane::ReadSetting(path, std::string(cutSection), std::string(cutKey), "?");
    Check(readBack == expected, "a written key reads back as written");

    const bool sameKey = EqualNoCase(CutForRead(otherSection), cutSection) &&
                         EqualNoCase(CutForRead(otherKey), cutKey);
    if (!sameKey) {
        const std::string otherAfter =
            orvane::ReadSetting(path, std::string(otherSection), std::string(otherKey), "?");
        Check(otherAfter == otherBefore, "a write leaves other keys as they were");
    }

    const std::string written = ReadWholeFile(path);
    Check(orvane::WriteSetting(path, section, key, value), "a second write is stored");
    Check(ReadWholeFile(path) == written, "writing the same value again changes nothing");
}

std::int32_t Negated(std::int32_t value) { return value == INT32_MIN ? INT32_MAX : -value; }

// Only spaces, tabs and line feeds, an optional sign and up to 18 decimal digits.
bool IsPlainInteger(std::string_view text) {
    std::size_t pos = text.find_first_not_of(" \t\n");
    if (pos == std::string_view::npos) return false;
    if (text[pos] == '+' || text[pos] == '-') ++pos;
    const std::size_t digits = text.size() - pos;
    if (digits == 0 || digits > 18) return false;
    return text.find_first_not_of("0123456789", pos) == std::string_view::npos;
}

void CheckNumberParse(std::string_view text) {
    const std::int32_t value = orvane::ParseNumberPrefix(text);
    const std::string stored = orvane::SettingsNumberText(value);
    Check(orvane::ParseNumberPrefix(stored) == value, "a stored number reads back");
    Check((stored.front() == ' ') == (value >= 0), "a leading space marks 0 and above");

    const std::string followed = std::string(text) + "x";
    Check(orvane::ParseNumberPrefix(followed) == value, "text after the number is ignored");

    if (!text.empty() && text.front() >= '0' && text.front() <= '9' && value < INT32_MAX) {
        const std::string negative = "-" + std::string(text);
        Check(orvane::ParseNumberPrefix(negative) == Negated(value), "the sign is symmetric");
    }

    if (IsPlainInteger(text)) {
        const std::string copy(text);
        const long long exact = std::strtoll(copy.c_str(), nullptr, 10);
        const long long clamped = exact > INT32_MAX   ? INT32_MAX
                                  : exact < INT32_MIN ? INT32_MIN
                                                      : exact;
        Check(value == clamped, "a plain integer reads as the C library reads it");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const std::string section = provider.ConsumeRandomLengthString(160);
    const std::string key = provider.ConsumeRandomLengthString(160);
    const std::string value = provider.ConsumeRandomLengthString(200);
    const std::string otherSection = provider.ConsumeRandomLengthString(40);
    const std::string otherKey = provider.ConsumeRandomLengthString(40);
    const std::string content = provider.ConsumeRemainingBytesAsString();

    CheckNumberParse(value);
    CheckNumberParse(key);
    CheckReadWrite(content, section, key, value, otherSection, otherKey);
    return 0;
}
