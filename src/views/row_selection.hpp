// Which rows of a long list are shown: one bit a row, and the shown rows found by their number.
#pragma once

#include <cstddef>
#include <cstdint>

#include "capture/chunked_array.hpp"

namespace orvane {

// A new filter choice over millions of packets is one pass that appends a bit per packet; the
// list then asks for its n-th shown row, found through a count kept every 512 bits.
class RowSelection {
  public:
    void Append(bool shown) {
        // Inline for the bits within a word: a filter pass appends one for every serial byte.
        if ((size_ & 63) == 0) StartWord();
        if (shown) {
            words_.back() |= std::uint64_t{1} << (size_ & 63);
            ++count_;
        }
        ++size_;
    }

    std::uint64_t size() const { return size_; }    // rows looked at
    std::uint64_t Count() const { return count_; }  // rows shown
    bool Test(std::uint64_t index) const { return (words_[index >> 6] >> (index & 63)) & 1u; }

    // The index of the shown row with number `rank` (0-based); rank must be below Count().
    std::uint64_t Select(std::uint64_t rank) const;

    // How many rows before `index` are shown.
    std::uint64_t Rank(std::uint64_t index) const;

    void Clear();
    std::size_t MemoryBytes() const {
        return words_.capacityBytes() + blockCounts_.capacityBytes();
    }

  private:
    void StartWord();

    static constexpr unsigned kWordsPerBlock = 8;
    ChunkedArray<std::uint64_t> words_;
    ChunkedArray<std::uint64_t> blockCounts_;  // shown rows before each block of 512
    std::uint64_t size_ = 0;
    std::uint64_t count_ = 0;
};

}  // namespace orvane
