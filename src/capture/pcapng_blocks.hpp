// pcapng blocks as the capture file and the export for Wireshark write and read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::pcapng {

inline constexpr std::uint32_t kSectionHeaderBlock = 0x0A0D0D0A;
inline constexpr std::uint32_t kInterfaceDescriptionBlock = 1;
inline constexpr std::uint32_t kEnhancedPacketBlock = 6;
inline constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;

inline constexpr std::uint16_t kOptEndOfOptions = 0;
inline constexpr std::uint16_t kOptComment = 1;
inline constexpr std::uint16_t kShbUserAppl = 4;
inline constexpr std::uint16_t kIfName = 2;
inline constexpr std::uint16_t kIfDescription = 3;
inline constexpr std::uint16_t kIfTsResol = 9;
inline constexpr std::uint16_t kIfTsOffset = 14;
inline constexpr std::uint16_t kEpbFlags = 2;

// Link types: the capture file holds the capture unit's TCP stream as it was read, the export
// holds serial packets between the controller and the deck.
inline constexpr std::uint16_t kLinkTypeUser0 = 147;
inline constexpr std::uint16_t kLinkTypeUser1 = 148;

// Direction bits of epb_flags.
inline constexpr std::uint32_t kEpbInbound = 0b01;
inline constexpr std::uint32_t kEpbOutbound = 0b10;

inline constexpr std::size_t kMinBlockBytes = 12;  // type, length, trailing length
inline constexpr std::size_t kMinSectionHeaderBytes = 28;
inline constexpr std::size_t kMinInterfaceBytes = 20;
inline constexpr std::size_t kMinEnhancedPacketBytes = 32;  // an empty packet without options
inline constexpr std::size_t kEnhancedPacketDataOffset = 28;
inline constexpr std::size_t kMaxPacketBytes = 16 * 1024 * 1024;
// The longest block a reader takes into memory: the largest packet, its fixed fields and room
// for its options.
inline constexpr std::size_t kMaxBlockBytes = kMaxPacketBytes + 64 * 1024;

// The SHB with shb_userappl and one opt_comment per line; the section length is left unknown
// so that the file can grow as packets arrive.
std::string SectionHeaderBlock(std::string_view application,
                               const std::vector<std::string>& comments);

// An IDB with snaplen 0 (no limit), if_name and if_description; timestamps in microseconds.
std::string InterfaceDescriptionBlock(std::uint16_t linkType, std::string_view name,
                                      std::string_view description);

// An Enhanced Packet Block around `size` bytes that are written between `head` and `tail`, so
// that a large read need not be copied. `comment` empty writes no opt_comment, `flags` 0 no
// epb_flags.
struct PacketBlockFrame {
    std::string head;  // the block up to the packet bytes
    std::string tail;  // padding, options and the trailing length
};
PacketBlockFrame EnhancedPacketFrame(std::uint32_t interfaceId, std::uint64_t timestamp,
                                     std::size_t size, std::string_view comment,
                                     std::uint32_t flags);

// Fields of a block in its section's byte order; `offset` + width must lie inside `data`.
std::uint16_t ReadU16(std::string_view data, std::size_t offset, bool bigEndian);
std::uint32_t ReadU32(std::string_view data, std::size_t offset, bool bigEndian);
std::uint64_t ReadU64(std::string_view data, std::size_t offset, bool bigEndian);

// The byte order of a section from the first 12 bytes of its header block (true: big-endian);
// nullopt when they are not a Section Header Block.
std::optional<bool> SectionIsBigEndian(std::string_view head);

struct Option {
    std::uint16_t code = 0;
    std::string_view value;
};

// The options of a block (`options` runs from the end of its fixed fields to its trailing
// length). Reading stops at the end-of-options mark or at an option that runs past the end.
std::vector<Option> ParseOptions(std::string_view options, bool bigEndian);

// An interface's timestamp unit (if_tsresol, default 10^-6 s) and offset (if_tsoffset, seconds).
struct TimeBase {
    std::uint8_t resolution = 6;
    std::int64_t offsetSeconds = 0;
};

// A timestamp of an interface in microseconds since 1970.
std::int64_t TimestampToMicroseconds(std::uint64_t timestamp, const TimeBase& base);

}  // namespace orvane::pcapng
