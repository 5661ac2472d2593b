// The Sony 9-pin packet as the decoder reads it, and the texts and lookup its tables share.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// Data-byte slots of one packet; the field rule fills at most the first 13 of them.
inline constexpr std::size_t kSonyDataSlots = 17;

// Working values of one packet text, recomputed on every call. Every value is 0..255.
struct SonyPacket {
    std::string_view text;  // the packet text without leading and trailing spaces
    std::string_view key;   // its first five characters: CMD1, a space, CMD2 ("61 0C")
    std::int32_t cmd1 = 0;
    std::int32_t cmd2 = 0;
    std::int32_t dataCount = 0;  // low nibble of CMD1
    std::int32_t group = 0;      // high nibble of CMD1, as 0x00, 0x10, ... 0xF0
    std::array<std::int32_t, kSonyDataSlots> data{};  // data[0] is DATA-1; missing bytes read 0
};

// The text with leading and trailing spaces removed (spaces only, not other blanks).
std::string_view TrimSpaces(std::string_view text);

// Calls visit(field) for each field of a text split at every single space, in order, empty
// fields included, until visit returns false. Nothing is allocated.
template <typename Visit>
void ForEachField(std::string_view text, Visit visit) {
    if (text.empty()) return;
    // A plain scan: fields are two characters long, too short for a library search to pay.
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') continue;
        if (!visit(text.substr(start, i - start))) return;
        start = i + 1;
    }
    visit(text.substr(start));
}

// Reads the working values of a trimmed packet text. The data bytes come from the fields of the
// text (the third field up to the one before the checksum, counting at most 16 fields), not from
// the data count, and only when the data count is not 0. A field wider than a byte keeps its low
// 8 bits, as the checksum field does.
SonyPacket ReadSonyPacket(std::string_view trimmedText);

// "HH:MM:SS:FF" from DATA-4 .. DATA-1 with the flag bits masked, then " CheckSum Error" when the
// packet's checksum byte is wrong.
std::string TimeCodeText(const SonyPacket& packet);

// DATA-4 .. DATA-1 as two hexadecimal digits each, joined by ":", nothing masked, no verdict.
std::string RawTimeCode(const SonyPacket& packet);

// Eight data bytes from data[first] on, taken as eight characters as they stand (zeros included).
std::string ClipName(const SonyPacket& packet, std::size_t first);

// One row of a vocabulary: a code and its phrase, written as the deck's command set lists them.
struct CodeName {
    std::uint8_t code;
    std::string_view name;
};

template <typename Entry, std::size_t N>
constexpr bool IsStrictlyAscending(const std::array<Entry, N>& table) {
    for (std::size_t i = 1; i < N; ++i) {
        if (table[i - 1].code >= table[i].code) return false;
    }
    return true;
}

// The row of a code in a table sorted by code, or nullptr when the code is not listed.
template <typename Entry, std::size_t N>
constexpr const Entry* FindEntry(const std::array<Entry, N>& table, std::int32_t code) {
    const auto* it = std::lower_bound(table.begin(), table.end(), code,
                                      [](const Entry& e, std::int32_t c) { return e.code < c; });
    return (it != table.end() && it->code == code) ? &*it : nullptr;
}

// The phrase of a code, or an empty view when the code is not listed.
template <std::size_t N>
constexpr std::string_view FindName(const std::array<CodeName, N>& table, std::int32_t code) {
    const CodeName* entry = FindEntry(table, code);
    return entry ? entry->name : std::string_view{};
}

}  // namespace orvane
