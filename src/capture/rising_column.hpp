// Rising 32-bit numbers kept in coded blocks: the places where a long capture's messages start.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "capture/block_codec.hpp"

namespace orvane {

// A day's capture has millions of messages; the place of each one's first byte rises by a few
// bytes each time. Full blocks of 4,096 places are kept coded (block_codec.hpp) as byte planes
// of those differences, a byte or less a place, and decoded into a small cache when read. Reads
// fill the cache, so one column must not be read from two threads at once.
class RisingColumn {
  public:
    RisingColumn();
    RisingColumn(RisingColumn&&) noexcept;
    RisingColumn& operator=(RisingColumn&&) noexcept;
    ~RisingColumn();

    // `value` must not be below the last one.
    void push_back(std::uint32_t value);

    std::size_t size() const { return size_; }
    std::uint32_t operator[](std::size_t index) const {
        const std::size_t block = index >> kBlockBits;
        if (block == coded_.size()) return open_[Place(index)];
        return Values(block)[Place(index)];
    }

    // The first place from `from` on whose value is above `value`, or size().
    std::size_t UpperBound(std::uint32_t value, std::size_t from) const;

    // Frees the values below `index` as far as whole blocks allow; they must not be read again.
    void ReleaseBefore(std::size_t index);

    // Bytes held, for memory figures.
    std::size_t MemoryBytes() const;

  private:
    static constexpr unsigned kBlockBits = 12;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    static constexpr std::size_t kCacheBlocks = 4;
    using Block = std::array<std::uint32_t, kBlockSize>;

    struct Coded {
        std::uint32_t first = 0;
        CodedBlock coding;  // byte planes of the differences from the value before
    };
    struct Cached {
        std::size_t block = SIZE_MAX;
        Block values;
    };

    static std::size_t Place(std::size_t index) { return index & (kBlockSize - 1); }
    std::size_t BlockCount() const { return (size_ + kBlockSize - 1) >> kBlockBits; }
    std::uint32_t FirstOf(std::size_t block) const {
        return block < coded_.size() ? coded_[block].first : open_.front();
    }
    const std::uint32_t* Values(std::size_t block) const;
    void CodeOpenBlock();

    std::vector<Coded> coded_;  // every full block; released ones have no data
    std::vector<std::uint32_t> open_;
    mutable std::array<std::unique_ptr<Cached>, kCacheBlocks> cache_;
    std::vector<std::uint8_t> planes_;
    mutable std::vector<std::uint8_t> decodePlanes_;
    std::size_t size_ = 0;
    std::size_t released_ = 0;  // blocks freed at the front
};

}  // namespace orvane
