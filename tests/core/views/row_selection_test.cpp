// The shown-row selection: the n-th shown row and the rows shown before a place, across the
// boundaries of its words and count blocks.
#include "views/row_selection.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace orvane {
namespace {

TEST(RowSelection, FindsEveryShownRowAndCountsTheRowsBefore) {
    const std::vector<std::function<bool(std::uint64_t)>> patterns = {
        [](std::uint64_t) { return true; },
        [](std::uint64_t i) { return i % 3 == 1; },
        [](std::uint64_t i) { return i % 1000 == 999; },      // long hidden stretches
        [](std::uint64_t i) { return i >= 511 && i < 513; },  // across a count block
        [](std::uint64_t i) { return (i * 2654435761u) % 7 < 2; },
        [](std::uint64_t) { return false; },
    };
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        RowSelection selection;
        std::vector<std::uint64_t> shown;
        for (std::uint64_t i = 0; i < 5000; ++i) {
            EXPECT_EQ(selection.Rank(i), shown.size());
            selection.Append(patterns[p](i));
            if (patterns[p](i)) shown.push_back(i);
        }
        ASSERT_EQ(selection.Count(), shown.size()) << "pattern " << p;
        for (std::uint64_t rank = 0; rank < shown.size(); ++rank) {
            ASSERT_EQ(selection.Select(rank), shown[rank]) << "pattern " << p;
            ASSERT_EQ(selection.Rank(shown[rank]), rank);
            ASSERT_TRUE(selection.Test(shown[rank]));
        }
    }
}

}  // namespace
}  // namespace orvane
