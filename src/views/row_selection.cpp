// Which rows of a long list are shown: one bit a row, and the shown rows found by their number.
#include "views/row_selection.hpp"

#include <bit>

namespace orvane {

void RowSelection::StartWord() {
    if ((size_ & (64 * kWordsPerBlock - 1)) == 0) blockCounts_.push_back(count_);
    words_.push_back(0);
}

std::uint64_t RowSelection::Select(std::uint64_t rank) const {
    // The last block whose count before it is at most rank.
    std::size_t low = 0;
    std::size_t high = blockCounts_.size();
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (blockCounts_[middle] <= rank) {
            low = middle;
        } else {
            high = middle;
        }
    }
    std::uint64_t left = rank - blockCounts_[low];
    for (std::size_t word = low * kWordsPerBlock; word < words_.size(); ++word) {
        std::uint64_t bits = words_[word];
        const auto ones = static_cast<std::uint64_t>(std::popcount(bits));
        if (left >= ones) {
            left -= ones;
            continue;
        }
        for (; left > 0; --left) bits &= bits - 1;
        return word * 64 + static_cast<std::uint64_t>(std::countr_zero(bits));
    }
    return size_;
}

std::uint64_t RowSelection::Rank(std::uint64_t index) const {
    if (index >= size_) return count_;
    const std::size_t word = static_cast<std::size_t>(index >> 6);
    const std::size_t block = word / kWordsPerBlock;
    std::uint64_t rank = blockCounts_[block];
    for (std::size_t w = block * kWordsPerBlock; w < word; ++w) {
        rank += static_cast<std::uint64_t>(std::popcount(words_[w]));
    }
    const std::uint64_t below = (std::uint64_t{1} << (index & 63)) - 1;
    return rank + static_cast<std::uint64_t>(std::popcount(words_[word] & below));
}

void RowSelection::Clear() { *this = RowSelection(); }

}  // namespace orvane
