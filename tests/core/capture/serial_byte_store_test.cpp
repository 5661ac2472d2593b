// The stored serial bytes: the block coder gives back exactly what it was given, and a store of
// many coded blocks reads every value, side and time back in any order.
#include "capture/serial_byte_store.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "capture/block_codec.hpp"

namespace orvane::testing {
namespace {

std::vector<std::uint8_t> Noise(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

std::vector<std::uint8_t> Repeat(std::vector<std::uint8_t> pattern, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = pattern[i % pattern.size()];
    return bytes;
}

TEST(BlockCodec, GivesBackWhatItWasGiven) {
    std::vector<std::uint8_t> mixed = Repeat({0x61, 0x0C, 0x03, 0x70}, 3000);
    const std::vector<std::uint8_t> noise = Noise(900, 3);
    std::copy(noise.begin(), noise.end(), mixed.begin() + 1000);
    const struct {
        const char* name;
        std::vector<std::uint8_t> input;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0x42}},
        {"shorter than a match", {1, 2, 3}},
        {"one value repeated (overlapping copies)", std::vector<std::uint8_t>(5000, 0xC1)},
        {"period of three", Repeat({1, 2, 3}, 4096)},
        {"noise (nothing to match)", Noise(4096, 1)},
        {"a pattern broken by noise", mixed},
        {"the largest block", Repeat({9, 8, 7, 6, 5}, kMaxCodecBlock)},
        {"literal and match counts past 255",
         [] {
             std::vector<std::uint8_t> bytes = Noise(600, 2);
             const std::vector<std::uint8_t> again = bytes;
             bytes.insert(bytes.end(), again.begin(), again.end());
             return bytes;
         }()},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> coded{0xEE};  // coding appends after what is there
        EncodeBlock(c.input, coded);
        std::vector<std::uint8_t> decoded(c.input.size());
        ASSERT_TRUE(DecodeBlock(std::span(coded).subspan(1), decoded)) << c.name;
        EXPECT_EQ(decoded, c.input) << c.name;
    }
    std::vector<std::uint8_t> coded;
    EncodeBlock(Repeat({0x61, 0x0C, 0x03, 0x70}, 4096), coded);
    EXPECT_LT(coded.size(), 100u) << "repeating traffic shrinks";
}

TEST(BlockCodec, RefusesACodingThatDoesNotFit) {
    const std::vector<std::uint8_t> input = Repeat({1, 2, 3, 4, 5}, 100);
    std::vector<std::uint8_t> coded;
    EncodeBlock(input, coded);
    std::vector<std::uint8_t> output(input.size());
    std::vector<std::uint8_t> tooLong(input.size() + 1);
    std::vector<std::uint8_t> cut(coded.begin(), coded.begin() + 8);
    EXPECT_FALSE(DecodeBlock(coded, tooLong)) << "fills less than the output";
    EXPECT_FALSE(DecodeBlock(coded, std::span(output).first(50))) << "more than the output";
    EXPECT_FALSE(DecodeBlock(cut, output)) << "cut short";
    // A match reaching back before the block's start.
    const std::vector<std::uint8_t> before{0x10, 0x41, 0x05, 0x00};
    EXPECT_FALSE(DecodeBlock(before, std::span(output).first(9)));
}

struct StoredByte {
    std::uint8_t value;
    std::int32_t direction;
    std::int64_t timeMs;
};

TEST(SerialByteStore, ReadsEveryByteBackAcrossCodedBlocks) {
    // Three and a half blocks: sides changing, steps from 0 to past the 63-ms mark, a time that
    // falls back (read as the one before), and long steps on a block's first byte.
    std::mt19937 random(11);
    std::vector<StoredByte> bytes;
    std::int64_t timeMs = 5;
    for (std::size_t i = 0; i < 4096 * 3 + 2048; ++i) {
        const std::int32_t sides[] = {0x80, 0xC0, 0x00};
        std::int64_t step = random() % 4 == 0 ? static_cast<std::int64_t>(random() % 200) : 1;
        if (i % 4096 == 0 && i > 0) step = 5000;
        if (i % 1000 == 999) step = -3;
        const std::int64_t written = timeMs + step;
        timeMs = std::max(timeMs, written);
        bytes.push_back({static_cast<std::uint8_t>(i % 7 == 0 ? random() : i % 5),
                         sides[(i / 9) % 3], written});
    }
    SerialByteStore store(1);  // one decoded block: reads in shuffled order decode again
    for (const StoredByte& b : bytes) store.Append(b.value, b.direction, b.timeMs);
    ASSERT_EQ(store.size(), bytes.size());

    std::vector<std::size_t> order(bytes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);  // every read a different block
    std::int64_t expectedMs = 0;
    std::vector<std::int64_t> expectedTimes;
    for (const StoredByte& b : bytes)
        expectedTimes.push_back(expectedMs = std::max(expectedMs, b.timeMs));
    const auto checkFrom = [&](std::size_t first) {
        for (const std::size_t i : order) {
            if (i < first) continue;
            ASSERT_EQ(store.Value(i), bytes[i].value) << "byte " << i;
            ASSERT_EQ(store.Direction(i), bytes[i].direction) << "byte " << i;
            ASSERT_EQ(store.TimeMs(i), expectedTimes[i]) << "byte " << i;
        }
    };
    checkFrom(0);
    const std::size_t held = store.MemoryBytes();
    store.ReleaseBefore(4096 * 2 + 10);
    EXPECT_LT(store.MemoryBytes(), held);
    checkFrom(4096 * 2);
}

}  // namespace
}  // namespace orvane::testing
