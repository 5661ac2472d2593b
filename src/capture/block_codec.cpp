// A small, fast LZ77 coder for the blocks a long capture keeps in memory.
#include "capture/block_codec.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace orvane {
namespace {

constexpr std::size_t kMinMatch = 4;
constexpr unsigned kHashBits = 12;
constexpr std::uint16_t kNoPosition = 0xFFFF;  // blocks end before it
constexpr std::size_t kNibbleMax = 15;

std::uint32_t Read32(const std::uint8_t* at) {
    std::uint32_t word = 0;
    std::memcpy(&word, at, sizeof word);
    return word;
}

std::size_t HashOf(std::uint32_t word) { return (word * 2654435761u) >> (32 - kHashBits); }

// A count past its token's nibble: bytes of 255 while more remains, then the rest.
void AppendCountTail(std::vector<std::uint8_t>& output, std::size_t count) {
    for (; count >= 255; count -= 255) output.push_back(255);
    output.push_back(static_cast<std::uint8_t>(count));
}

// One sequence: literals, then (unless it is the last) a match `length` long, `offset` back.
void AppendSequence(std::vector<std::uint8_t>& output, std::span<const std::uint8_t> literals,
                    std::size_t length, std::size_t offset) {
    const std::size_t extra = length == 0 ? 0 : length - kMinMatch;
    output.push_back(static_cast<std::uint8_t>((std::min(literals.size(), kNibbleMax) << 4) |
                                               std::min(extra, kNibbleMax)));
    if (literals.size() >= kNibbleMax) AppendCountTail(output, literals.size() - kNibbleMax);
    output.insert(output.end(), literals.begin(), literals.end());
    if (length == 0) return;
    output.push_back(static_cast<std::uint8_t>(offset & 0xFF));
    output.push_back(static_cast<std::uint8_t>(offset >> 8));
    if (extra >= kNibbleMax) AppendCountTail(output, extra - kNibbleMax);
}

}  // namespace

void EncodeBlock(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output) {
    const std::size_t size = std::min(input.size(), kMaxCodecBlock);
    // The last place each hashed four bytes were seen; a greedy match from there when the four
    // bytes really are the same.
    std::array<std::uint16_t, std::size_t{1} << kHashBits> lastSeen;
    lastSeen.fill(kNoPosition);
    std::size_t anchor = 0;  // first byte not yet coded
    std::size_t at = 0;
    while (at + kMinMatch <= size) {
        const std::uint32_t word = Read32(input.data() + at);
        std::uint16_t& slot = lastSeen[HashOf(word)];
        const std::size_t candidate = slot;
        slot = static_cast<std::uint16_t>(at);
        if (candidate == kNoPosition || Read32(input.data() + candidate) != word) {
            ++at;
            continue;
        }
        std::size_t length = kMinMatch;
        while (at + length < size && input[candidate + length] == input[at + length]) ++length;
        AppendSequence(output, input.subspan(anchor, at - anchor), length, at - candidate);
        at += length;
        anchor = at;
    }
    AppendSequence(output, input.subspan(anchor, size - anchor), 0, 0);
}

bool DecodeBlock(std::span<const std::uint8_t> coded, std::span<std::uint8_t> output) {
    std::size_t in = 0;
    std::size_t out = 0;
    const auto addCountTail = [&](std::size_t& count) {
        std::uint8_t more = 255;
        while (more == 255) {
            if (in >= coded.size()) return false;
            more = coded[in++];
            count += more;
        }
        return true;
    };
    while (in < coded.size()) {
        const std::uint8_t token = coded[in++];
        std::size_t literals = token >> 4;
        if (literals == kNibbleMax && !addCountTail(literals)) return false;
        if (literals > coded.size() - in || literals > output.size() - out) return false;
        std::copy_n(coded.data() + in, literals, output.data() + out);
        in += literals;
        out += literals;
        if (in == coded.size()) break;  // the last sequence has no match
        if (coded.size() - in < 2) return false;
        const std::size_t offset = coded[in] | (std::size_t{coded[in + 1]} << 8);
        in += 2;
        std::size_t length = token & kNibbleMax;
        if (length == kNibbleMax && !addCountTail(length)) return false;
        length += kMinMatch;
        if (offset == 0 || offset > out || length > output.size() - out) return false;
        std::uint8_t* to = output.data() + out;
        if (offset == 1) {
            std::memset(to, to[-1], length);
        } else {
            // A match closer than its length repeats the last `offset` bytes. The bytes made so
            // far repeat with every multiple of `offset` as a period too, so each copy can take
            // twice as many as the one before without reading what it writes.
            for (std::size_t done = 0; done < length;) {
                const std::size_t period = (done + offset) / offset * offset;
                const std::size_t count = std::min(period, length - done);
                std::memcpy(to + done, to + done - period, count);
                done += count;
            }
        }
        out += length;
    }
    return out == output.size();
}

CodedBlock::CodedBlock(std::span<const std::uint8_t> input) {
    std::vector<std::uint8_t> coded;
    EncodeBlock(input, coded);
    data_ = std::make_unique_for_overwrite<std::uint8_t[]>(coded.size());
    std::copy(coded.begin(), coded.end(), data_.get());
    size_ = static_cast<std::uint32_t>(coded.size());
}

void CodedBlock::DecodeInto(std::span<std::uint8_t> output) const {
    if (!DecodeBlock(std::span<const std::uint8_t>(data_.get(), size_), output)) std::abort();
}

}  // namespace orvane
