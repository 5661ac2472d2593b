// pcapng blocks as the capture file and the export for Wireshark write and read them.
#include "capture/pcapng_blocks.hpp"

#include <limits>

namespace orvane::pcapng {

namespace {

constexpr std::size_t kMaxOptionBytes = 0xFFFF;

std::size_t Padding(std::size_t size) { return (4 - size % 4) % 4; }

// Files are written little-endian.
void AppendU16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void AppendU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

void PutU32(std::string& out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<char>(value >> (8 * i));
}

void AppendOption(std::string& out, std::uint16_t code, std::string_view value) {
    AppendU16(out, code);
    AppendU16(out, static_cast<std::uint16_t>(value.size()));
    out.append(value);
    out.append(Padding(value.size()), '\0');
}

// Text longer than an option holds is cut before the UTF-8 character that does not fit.
void AppendTextOption(std::string& out, std::uint16_t code, std::string_view text) {
    if (text.size() > kMaxOptionBytes) {
        std::size_t end = kMaxOptionBytes;
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
        text = text.substr(0, end);
    }
    AppendOption(out, code, text);
}

void EndOptions(std::string& out) {
    AppendU16(out, kOptEndOfOptions);
    AppendU16(out, 0);
}

// Sets both lengths of a block built with a placeholder length and no trailing length yet.
std::string FinishBlock(std::string block) {
    const auto length = static_cast<std::uint32_t>(block.size() + 4);
    PutU32(block, 4, length);
    AppendU32(block, length);
    return block;
}

std::string BlockStart(std::uint32_t type) {
    std::string block;
    AppendU32(block, type);
    AppendU32(block, 0);
    return block;
}

template <typename Unsigned>
Unsigned ReadUnsigned(std::string_view data, std::size_t offset, bool bigEndian) {
    constexpr std::size_t kSize = sizeof(Unsigned);
    Unsigned value = 0;
    for (std::size_t i = 0; i < kSize; ++i) {
        const auto byte =
            static_cast<unsigned char>(data[offset + (bigEndian ? i : kSize - 1 - i)]);
        value = static_cast<Unsigned>((value << 8) | byte);
    }
    return value;
}

}  // namespace

std::string SectionHeaderBlock(std::string_view application,
                               const std::vector<std::string>& comments) {
    std::string block = BlockStart(kSectionHeaderBlock);
    AppendU32(block, kByteOrderMagic);
    AppendU16(block, 1);  // version 1.0
    AppendU16(block, 0);
    AppendU32(block, 0xFFFFFFFF);  // section length unknown
    AppendU32(block, 0xFFFFFFFF);
    for (const std::string& comment : comments) AppendTextOption(block, kOptComment, comment);
    if (!application.empty()) AppendTextOption(block, kShbUserAppl, application);
    EndOptions(block);
    return FinishBlock(std::move(block));
}

std::string InterfaceDescriptionBlock(std::uint16_t linkType, std::string_view name,
                                      std::string_view description) {
    std::string block = BlockStart(kInterfaceDescriptionBlock);
    AppendU16(block, linkType);
    AppendU16(block, 0);
    AppendU32(block, 0);  // snaplen: no limit
    AppendTextOption(block, kIfName, name);
    AppendTextOption(block, kIfDescription, description);
    EndOptions(block);
    return FinishBlock(std::move(block));
}

PacketBlockFrame EnhancedPacketFrame(std::uint32_t interfaceId, std::uint64_t timestamp,
                                     std::size_t size, std::string_view comment,
                                     std::uint32_t flags) {
    PacketBlockFrame frame;
    frame.tail.append(Padding(size), '\0');
    if (!comment.empty()) AppendTextOption(frame.tail, kOptComment, comment);
    if (flags != 0) {
        std::string value;
        AppendU32(value, flags);
        AppendOption(frame.tail, kEpbFlags, value);
    }
    if (!comment.empty() || flags != 0) EndOptions(frame.tail);
    const auto length =
        static_cast<std::uint32_t>(kEnhancedPacketDataOffset + size + frame.tail.size() + 4);
    AppendU32(frame.tail, length);

    AppendU32(frame.head, kEnhancedPacketBlock);
    AppendU32(frame.head, length);
    AppendU32(frame.head, interfaceId);
    AppendU32(frame.head, static_cast<std::uint32_t>(timestamp >> 32));
    AppendU32(frame.head, static_cast<std::uint32_t>(timestamp));
    AppendU32(frame.head, static_cast<std::uint32_t>(size));  // captured length
    AppendU32(frame.head, static_cast<std::uint32_t>(size));  // original length
    return frame;
}

std::uint16_t ReadU16(std::string_view data, std::size_t offset, bool bigEndian) {
    return ReadUnsigned<std::uint16_t>(data, offset, bigEndian);
}

std::uint32_t ReadU32(std::string_view data, std::size_t offset, bool bigEndian) {
    return ReadUnsigned<std::uint32_t>(data, offset, bigEndian);
}

std::uint64_t ReadU64(std::string_view data, std::size_t offset, bool bigEndian) {
    return ReadUnsigned<std::uint64_t>(data, offset, bigEndian);
}

std::optional<bool> SectionIsBigEndian(std::string_view head) {
    if (head.size() < 12 || ReadU32(head, 0, false) != kSectionHeaderBlock) return std::nullopt;
    if (ReadU32(head, 8, false) == kByteOrderMagic) return false;
    if (ReadU32(head, 8, true) == kByteOrderMagic) return true;
    return std::nullopt;
}

std::vector<Option> ParseOptions(std::string_view options, bool bigEndian) {
    std::vector<Option> parsed;
    std::size_t at = 0;
    while (options.size() - at >= 4) {
        const std::uint16_t code = ReadU16(options, at, bigEndian);
        const std::size_t length = ReadU16(options, at + 2, bigEndian);
        if (code == kOptEndOfOptions || length > options.size() - at - 4) break;
        parsed.push_back({code, options.substr(at + 4, length)});
        at += 4 + length + Padding(length);
        if (at > options.size()) break;
    }
    return parsed;
}

std::int64_t TimestampToMicroseconds(std::uint64_t timestamp, const TimeBase& base) {
    // Unsigned arithmetic: a timestamp out of range wraps instead of overflowing.
    std::uint64_t micros = 0;
    const unsigned exponent = base.resolution & 0x7F;
    if ((base.resolution & 0x80) != 0) {
        // 2^-exponent seconds: whole seconds and the fraction apart, so nothing overflows.
        if (exponent >= 64) {
            micros = 0;
        } else {
            const std::uint64_t fraction = timestamp & ((std::uint64_t{1} << exponent) - 1);
            micros = (timestamp >> exponent) * 1'000'000;
            micros += exponent <= 43 ? (fraction * 1'000'000) >> exponent
                                     : ((fraction >> (exponent - 43)) * 1'000'000) >> 43;
        }
    } else if (exponent <= 6) {
        micros = timestamp;
        for (unsigned i = exponent; i < 6; ++i) micros *= 10;
    } else {
        std::uint64_t divisor = 1;
        const std::uint64_t largest = std::numeric_limits<std::uint64_t>::max() / 10;
        for (unsigned i = 6; i < exponent && divisor <= largest; ++i) divisor *= 10;
        micros = timestamp / divisor;
    }
    micros += static_cast<std::uint64_t>(base.offsetSeconds) * 1'000'000;
    return static_cast<std::int64_t>(micros);
}

}  // namespace orvane::pcapng
