// Layout of the capture unit's messages: marker, sequence number, entries, and the header that
// follows a message.
#include "capture/message_layout.hpp"

#include <algorithm>

namespace orvane {
namespace {

constexpr std::int64_t kLastSequence = 0xFFFFFF;

unsigned Byte(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

}  // namespace

bool HasZeroRun(std::string_view bytes, std::size_t from) {
    int run = 0;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        run = bytes[i] == '\0' ? run + 1 : 0;
        if (run == 5) return true;
    }
    return false;
}

std::int64_t SequenceOf(std::string_view message) {
    if (message.size() < kHeaderSize) return -1;
    return static_cast<std::int64_t>((Byte(message, 5) << 16) | (Byte(message, 6) << 8) |
                                     Byte(message, 7));
}

void AppendMessageHeader(std::string& message, std::uint32_t sequence) {
    message.append(kMarkerSize, '\0');
    message.push_back(static_cast<char>((sequence >> 16) & 0xFF));
    message.push_back(static_cast<char>((sequence >> 8) & 0xFF));
    message.push_back(static_cast<char>(sequence & 0xFF));
}

void AppendMessageEntry(std::string& message, int code, int tick, int value) {
    message.push_back(static_cast<char>((code & 0xC0) | ((tick >> 8) & 0x0F)));
    message.push_back(static_cast<char>(tick & 0xFF));
    message.push_back(static_cast<char>(value));
}

std::size_t EntryBoundaryFrom(std::size_t offset) {
    if (offset <= kHeaderSize) return kHeaderSize;
    return offset + (kEntrySize - (offset - kHeaderSize) % kEntrySize) % kEntrySize;
}

NextHeader::NextHeader(std::string_view message) {
    const std::int64_t sequence = SequenceOf(message);
    if (sequence < 0 || sequence == kLastSequence) return;
    const auto next = static_cast<std::uint32_t>(sequence + 1);
    bytes_[5] = static_cast<char>(next >> 16);
    bytes_[6] = static_cast<char>((next >> 8) & 0xFF);
    bytes_[7] = static_cast<char>(next & 0xFF);
    size_ = kHeaderSize;
}

std::size_t FindPendingHeader(std::string_view message) {
    const NextHeader next(message);
    const std::string_view header = next.view();
    if (header.empty()) return std::string_view::npos;
    const std::size_t size = message.size();
    for (std::size_t p = EntryBoundaryFrom(size - std::min(size, kHeaderSize - 1)); p < size;
         p += kEntrySize) {
        if (message.substr(p) == header.substr(0, size - p)) return p;
    }
    return std::string_view::npos;
}

}  // namespace orvane
