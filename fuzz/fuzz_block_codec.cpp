// Fuzz target: the in-memory block coding of long captures, and the stores built on it.
//
// The first input byte chooses what the rest is:
// - 0: a block to code. It must decode to itself, into exactly its own size and no other, and
//   its coding may grow it only by the counts of its literal runs.
// - 1: a coding, perhaps damaged, decoded into an output whose size the next two bytes give:
//   never a read or write outside the two, and when it says it succeeded, the output is full.
// - 2: serial bytes (value, side, time step), repeated with changes until they fill several
//   blocks, into a store that caches one block: every value, side and time reads back in
//   reverse order as appended; and their running sum as a rising column, read back and searched.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "capture/block_codec.hpp"
#include "capture/rising_column.hpp"
#include "capture/serial_byte_store.hpp"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_block_codec: broken invariant: %s\n", what);
        std::abort();
    }
}

void RoundTrip(std::span<const std::uint8_t> block) {
    std::vector<std::uint8_t> coded;
    orvane::EncodeBlock(block, coded);
    Check(coded.size() <= block.size() + block.size() / 255 + 16, "coding grows the block");
    std::vector<std::uint8_t> decoded(block.size());
    Check(orvane::DecodeBlock(coded, decoded), "a coding does not decode");
    Check(std::equal(decoded.begin(), decoded.end(), block.begin()), "decoded block differs");
    std::vector<std::uint8_t> longer(block.size() + 1);
    Check(!orvane::DecodeBlock(coded, longer), "a coding fills a larger output");
    if (!block.empty()) {
        Check(!orvane::DecodeBlock(coded, std::span(decoded).first(block.size() - 1)),
              "a coding fits a smaller output");
    }
}

void DecodeDamaged(std::span<const std::uint8_t> input) {
    if (input.size() < 2) return;
    const std::size_t size = (std::size_t{input[0]} << 8 | input[1]) % 16384;
    // Exactly sized buffers, so that the sanitizer sees any step outside them.
    std::vector<std::uint8_t> coded(input.begin() + 2, input.end());
    std::vector<std::uint8_t> output(size);
    orvane::DecodeBlock(coded, output);
}

struct Appended {
    std::uint8_t value;
    std::int32_t direction;
    std::int64_t timeMs;
};

void Stores(std::span<const std::uint8_t> input) {
    if (input.size() < 3) return;
    constexpr std::size_t kBytes = 4096 * 3 + 100;
    constexpr std::int32_t kSides[] = {0x80, 0xC0, 0x00, 0x80};
    orvane::SerialByteStore store(1);
    orvane::RisingColumn column;
    std::vector<Appended> appended;
    std::vector<std::uint32_t> places;
    std::int64_t timeMs = 0;
    std::uint32_t place = 0;
    for (std::size_t i = 0; i < kBytes; ++i) {
        const std::size_t at = (i * 3) % (input.size() - input.size() % 3);
        const auto round = static_cast<std::uint8_t>(i / (input.size() / 3 + 1));
        const auto value = static_cast<std::uint8_t>(input[at] ^ round);
        const std::int32_t side = kSides[input[at + 1] & 3];
        // Mostly short steps; a high bit makes a long one, past the 63-ms mark.
        const std::uint8_t step = input[at + 2];
        timeMs += (step & 0x80) != 0 ? std::int64_t{step} * 1000 : step & 0x3F;
        store.Append(value, side, timeMs);
        appended.push_back({value, side, timeMs});
        place += step;
        column.push_back(place);
        places.push_back(place);
    }
    for (std::size_t i = appended.size(); i-- > 0;) {
        Check(store.Value(i) == appended[i].value, "a stored value differs");
        Check(store.Direction(i) == appended[i].direction, "a stored side differs");
        Check(store.TimeMs(i) == appended[i].timeMs, "a stored time differs");
        Check(column[i] == places[i], "a column value differs");
    }
    for (std::size_t i = 0; i < places.size(); i += 97) {
        const std::size_t from = (i * 7) % places.size();
        const auto expected = static_cast<std::size_t>(
            std::upper_bound(places.begin() + static_cast<std::ptrdiff_t>(from), places.end(),
                             places[i]) -
            places.begin());
        Check(column.UpperBound(places[i], from) == expected, "a column search differs");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            RoundTrip(rest);
            break;
        case 1:
            DecodeDamaged(rest);
            break;
        default:
            Stores(rest);
            break;
    }
    return 0;
}
