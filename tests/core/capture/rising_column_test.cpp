// The coded column of rising numbers: every value read back in any order, and a search from any
// place giving what a search over a plain array gives, also after the oldest blocks are freed.
#include "capture/rising_column.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace orvane::testing {
namespace {

TEST(RisingColumn, ReadsAndSearchesAsAPlainArray) {
    // Steps of 0 (two equal values), small, large, and past 2^24 and 2^30, over four and a
    // half blocks.
    std::mt19937 random(3);
    std::vector<std::uint32_t> values;
    std::uint32_t value = 7;
    for (int i = 0; i < 4096 * 4 + 2000; ++i) {
        const std::uint32_t steps[] = {0, 1, 11, 300, 70000};
        value += steps[random() % 6 == 0 ? random() % 5 : 2];
        if (i % 5000 == 4999) value += 1u << 24;
        if (i == 9000) value += 1u << 30;
        values.push_back(value);
    }
    RisingColumn column;
    for (const std::uint32_t v : values) column.push_back(v);
    ASSERT_EQ(column.size(), values.size());

    const auto check = [&](std::size_t first) {
        for (int n = 0; n < 20000; ++n) {
            const std::size_t at = first + random() % (values.size() - first);
            ASSERT_EQ(column[at], values[at]) << "place " << at;
            const std::size_t from = first + random() % (values.size() - first);
            // Values in the column, between them, and past both ends.
            const std::uint32_t probes[] = {values[at], values[at] - 1, values[at] + 1, 0,
                                            0xFFFFFFFFu};
            for (const std::uint32_t probe : probes) {
                const auto expected = static_cast<std::size_t>(
                    std::upper_bound(values.begin() + static_cast<std::ptrdiff_t>(from),
                                     values.end(), probe) -
                    values.begin());
                ASSERT_EQ(column.UpperBound(probe, from), expected)
                    << "value " << probe << " from " << from;
            }
        }
    };
    check(0);
    const std::size_t held = column.MemoryBytes();
    column.ReleaseBefore(4096 * 2 + 5);
    EXPECT_LT(column.MemoryBytes(), held);
    check(4096 * 2);
}

}  // namespace
}  // namespace orvane::testing
