// Layout of the capture unit's messages: marker, sequence number, entries, and the header that
// follows a message.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

inline constexpr std::size_t kMarkerSize = 5;  // five 0x00 bytes
inline constexpr std::size_t kHeaderSize = 8;  // marker, then the 24-bit sequence number
inline constexpr std::size_t kEntrySize = 3;   // direction and tick, tick, serial byte

// True when five consecutive 0x00 bytes start at or after offset `from`.
bool HasZeroRun(std::string_view bytes, std::size_t from);

// The message's sequence number (most significant byte first), or -1 when its header is
// incomplete.
std::int64_t SequenceOf(std::string_view message);

// Appends a message's header: the marker and the 24-bit sequence number.
void AppendMessageHeader(std::string& message, std::uint32_t sequence);

// Appends one entry: the side code (0x80 controller, 0xC0 device, 0x40 ignore, 0x00 neither),
// the low 12 bits of the millisecond tick, and the serial byte.
void AppendMessageEntry(std::string& message, int code, int tick, int value);

// The first entry boundary (offset 8 + 3n) at or after `offset`.
std::size_t EntryBoundaryFrom(std::size_t offset);

// The header that follows a message: marker, then its sequence number plus one. Empty when the
// message's own header is incomplete or its number is the last (numbers do not wrap).
class NextHeader {
  public:
    explicit NextHeader(std::string_view message);
    std::string_view view() const { return {bytes_.data(), size_}; }

  private:
    std::array<char, kHeaderSize> bytes_{};
    std::size_t size_ = 0;
};

// Where the message ends, on an entry boundary, with the first 1 to 7 bytes of the next
// message's header; npos when it does not. Such a tail is the start of the next message, split
// off by the network, not a second marker.
std::size_t FindPendingHeader(std::string_view message);

}  // namespace orvane
