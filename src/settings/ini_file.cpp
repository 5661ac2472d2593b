// Reading and writing one key of an INI-style settings file.
#include "settings/ini_file.hpp"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

namespace orvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One line of the file with its own ending ("\r\n", "\n", a lone "\r", or nothing on a last
// line), kept so that lines the write does not touch go back byte for byte.
struct Line {
    std::string text;
    std::string ending;
};

enum class LineKind { kOther, kBlank, kComment, kSection, kKey };

struct ParsedLine {
    LineKind kind = LineKind::kOther;
    std::string_view name;   // section or key name, spaces and tabs trimmed
    std::string_view value;  // after the first "=", untrimmed
};

// Gives a line a CR LF ending where it had none (or only a lone CR), before a line follows it.
void EndLine(Line& line) {
    if (line.ending.empty() || line.ending == "\r") {
        line.ending = kLineEnd;
    }
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankChar(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlankChar(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

// Cuts `text` at the first of `stops` and then to `limit` characters.
std::string_view Cut(std::string_view text, std::string_view stops, std::size_t limit) {
    text = text.substr(0, text.find_first_of(stops));
    return text.substr(0, limit);
}

constexpr std::string_view kNul{"\0", 1};
constexpr std::string_view kNulOrLineBreak{"\0\r\n", 3};

ParsedLine ParseLine(std::string_view text, bool firstLine) {
    if (firstLine && text.starts_with(kUtf8Bom)) {
        text.remove_prefix(kUtf8Bom.size());  // an editor's byte-order mark is not part of it
    }
    const std::string_view trimmed = Trim(text);
    if (trimmed.empty()) {
        return {LineKind::kBlank, {}, {}};
    }
    if (trimmed.front() == '[') {
        // A missing "]" still starts a section, so its keys never count as the previous one's.
        const std::string_view inner = trimmed.substr(1);
        return {LineKind::kSection, Trim(inner.substr(0, inner.find(']'))), {}};
    }
    if (trimmed.front() == ';' || trimmed.front() == '#') {
        return {LineKind::kComment, {}, {}};
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return {LineKind::kOther, {}, {}};
    }
    return {LineKind::kKey, Trim(trimmed.substr(0, equals)), trimmed.substr(equals + 1)};
}

std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    while (!content.empty()) {
        const std::size_t lineFeed = content.find('\n');
        std::string_view text = content.substr(0, lineFeed);
        std::string_view ending;
        if (lineFeed != std::string_view::npos) {
            ending = content.substr(lineFeed, 1);
        }
        if (text.ends_with('\r')) {
            text.remove_suffix(1);
            ending = lineFeed != std::string_view::npos ? "\r\n" : "\r";
        }
        lines.push_back({std::string(text), std::string(ending)});
        content.remove_prefix(lineFeed == std::string_view::npos ? content.size() : lineFeed + 1);
    }
    return lines;
}

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return content;
}

// Writes `content` to a new file next to `target` and renames it over `target`, so that the
// old file stays whole until the new one is complete.
bool ReplaceFile(const fs::path& target, std::string_view content,
                 std::optional<fs::perms> permissions) {
    static unsigned attempt = 0;
    const auto ticks = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    fs::path temp;
    std::FILE* file = nullptr;
    for (int tries = 0; tries < 100 && file == nullptr; ++tries) {
        temp = target;
        temp += ".tmp" + std::to_string((ticks + attempt++) % 1'000'000'007ULL);
        file = std::fopen(temp.string().c_str(), "wbx");  // "x": never reuse an existing file
        std::error_code ec;
        if (file == nullptr && !fs::exists(temp, ec)) {
            return false;  // the folder cannot take a new file
        }
    }
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size();
    ok = std::fclose(file) == 0 && ok;
    std::error_code ec;
    if (ok && permissions) {
        fs::permissions(temp, *permissions, fs::perm_options::replace, ec);
    }
    if (ok) {
        fs::rename(temp, target, ec);
        ok = !ec;
    }
    if (!ok) {
        fs::remove(temp, ec);
    }
    return ok;
}

}  // namespace

std::string ReadSetting(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view defaultValue) {
    const std::string_view cutPath = Cut(path, kNul, path.size());
    section = Cut(section, kNul, kMaxSettingsNameLength);
    key = Cut(key, kNul, kMaxSettingsNameLength);
    const std::string fallback(Cut(defaultValue, kNul, kMaxSettingsValueLength));
    if (cutPath.empty()) {
        return fallback;
    }
    const std::optional<std::string> content = ReadWholeFile(fs::path(cutPath));
    if (!content) {
        return fallback;
    }
    bool inSection = false;
    bool firstLine = true;
    for (const Line& line : SplitLines(*content)) {
        const ParsedLine parsed = ParseLine(line.text, firstLine);
        firstLine = false;
        if (parsed.kind == LineKind::kSection) {
            inSection = EqualNoCase(parsed.name, section);
        } else if (inSection && parsed.kind == LineKind::kKey && EqualNoCase(parsed.name, key)) {
            return std::string(Cut(Trim(parsed.value), kNul, kMaxSettingsValueLength));
        }
    }
    return fallback;
}

bool WriteSetting(const std::string& path, std::string_view section, std::string_view key,
                  std::string_view value) {
    const std::string_view cutPath = Cut(path, kNul, path.size());
    section = Cut(section, kNulOrLineBreak, kMaxSettingsNameLength);
    key = Cut(key, kNulOrLineBreak, kMaxSettingsNameLength);
    value = Cut(value, kNulOrLineBreak, kMaxSettingsValueLength);
    if (cutPath.empty() || section.empty() || key.empty()) {
        return false;
    }

    // A settings file that is a link is updated where it points, and the link stays.
    std::error_code ec;
    fs::path target(cutPath);
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        target = fs::canonical(target, ec);
        if (ec) {
            return false;
        }
    }
    std::vector<Line> lines;
    std::optional<fs::perms> permissions;
    const fs::file_status status = fs::status(target, ec);
    if (fs::exists(status)) {
        const std::optional<std::string> content =
            fs::is_regular_file(status) ? ReadWholeFile(target) : std::nullopt;
        if (!content) {
            return false;  // never replace a file whose content could not be kept
        }
        lines = SplitLines(*content);
        permissions = status.permissions();
    } else if (ec && status.type() != fs::file_type::not_found) {
        return false;
    }

    std::string newLine(key);
    newLine += '=';
    newLine += value;

    bool inSection = false;
    bool done = false;
    std::optional<std::size_t> insertAfter;  // end of the first section of that name
    for (std::size_t i = 0; i < lines.size() && !done; ++i) {
        const ParsedLine parsed = ParseLine(lines[i].text, i == 0);
        if (parsed.kind == LineKind::kSection) {
            inSection = EqualNoCase(parsed.name, section);
            if (inSection && !insertAfter) {
                insertAfter = i;
            }
        } else if (inSection && parsed.kind == LineKind::kKey && EqualNoCase(parsed.name, key)) {
            // Keep the key's spelling from the file; only the value changes.
            lines[i].text = std::string(parsed.name) + "=" + std::string(value);
            EndLine(lines[i]);
            done = true;
        }
    }
    if (!done && insertAfter) {
        // The end of that section: its last line that is neither blank nor a comment, so blank
        // lines and a comment heading the next section stay where they are.
        std::size_t last = *insertAfter;
        for (std::size_t i = last + 1; i < lines.size(); ++i) {
            const ParsedLine parsed = ParseLine(lines[i].text, false);
            if (parsed.kind == LineKind::kSection) {
                break;
            }
            if (parsed.kind == LineKind::kKey || parsed.kind == LineKind::kOther) {
                last = i;
            }
        }
        EndLine(lines[last]);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                     Line{newLine, std::string(kLineEnd)});
        done = true;
    }
    if (!done) {
        if (!lines.empty()) {
            EndLine(lines.back());
        }
        lines.push_back({"[" + std::string(section) + "]", std::string(kLineEnd)});
        lines.push_back({newLine, std::string(kLineEnd)});
    }

    std::string content;
    for (const Line& line : lines) {
        content += line.text;
        content += line.ending;
    }
    return ReplaceFile(target, content, permissions);
}

}  // namespace orvane
