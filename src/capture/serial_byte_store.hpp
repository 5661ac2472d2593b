// The serial bytes of a continuous capture, stored once and compactly: value, side and time.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "capture/block_codec.hpp"

namespace orvane {

// Bytes are kept in blocks of 4,096. The block still filling is held plain; a full block is
// coded (block_codec.hpp) as two planes, the values and a mark per byte (side and the time
// since the byte before), which a line's repeating traffic shrinks several times over. A read
// decodes its block into a small cache, so rows near each other, and a walk through the bytes
// in order, decode each block once.
//
// A step of 63 ms or more is kept aside; each block keeps its first byte's time, so every time
// comes back exactly. Reads fill the cache, so one store must not be read from two threads at
// once.
class SerialByteStore {
  public:
    // Readers of the newest bytes each come a little behind the capture: the cache holds the
    // last quarter of a million bytes for them.
    static constexpr std::size_t kCacheBlocks = 64;

    // `cacheBlocks` decoded blocks are kept (tests take fewer, to reach the decoding).
    explicit SerialByteStore(std::size_t cacheBlocks = kCacheBlocks);
    SerialByteStore(SerialByteStore&&) noexcept;
    SerialByteStore& operator=(SerialByteStore&&) noexcept;
    ~SerialByteStore();

    // `direction` is the capture unit's side code: 0x80 controller, 0xC0 device, 0x00 neither.
    // Times must not fall; a smaller time is taken as the previous byte's.
    void Append(std::uint8_t value, std::int32_t direction, std::int64_t timeMs);

    std::size_t size() const { return size_; }
    std::uint8_t Value(std::size_t index) const {
        const Plain& plain = BlockOf(index);
        if (!plain.valuesReady) DecodeValues(plain);
        return plain.values[Place(index)];
    }
    std::int32_t Direction(std::size_t index) const {
        return static_cast<std::int32_t>((BlockOf(index).marks[Place(index)] >> kSideShift) << 6);
    }
    std::int64_t TimeMs(std::size_t index) const {
        const Plain& plain = BlockOf(index);
        if (!plain.timesReady) AddUpTimes(plain);
        return plain.timesMs[Place(index)];
    }

    // Calls visit(index, direction) for the bytes from `first` to before `end`, a block at a
    // time: a pass over millions of bytes then looks up each block once, not each byte.
    template <typename Visit>
    void VisitDirections(std::size_t first, std::size_t end, Visit&& visit) const {
        while (first < end) {
            const Plain& plain = BlockOf(first);
            const std::size_t stop = std::min(end, (first | (kBlockSize - 1)) + 1);
            for (; first < stop; ++first) {
                visit(first,
                      static_cast<std::int32_t>((plain.marks[Place(first)] >> kSideShift) << 6));
            }
        }
    }

    void Clear();

    // Frees the bytes below `index` as far as whole blocks allow; they must not be read again.
    void ReleaseBefore(std::size_t index);

    // Bytes held, for memory figures.
    std::size_t MemoryBytes() const;

  private:
    static constexpr unsigned kBlockBits = 12;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockBits;
    // A mark: side code bits 7-6 (the unit's code shifted down by 6), step bits 5-0.
    static constexpr unsigned kSideShift = 6;
    static constexpr std::uint8_t kLongStep = 0x3F;  // the step is in longSteps_

    struct Plain {
        std::size_t block = SIZE_MAX;  // which block this holds
        std::array<std::uint8_t, kBlockSize> marks;
        // Values and times are decoded and worked out from the steps when first asked for: a
        // pass over the sides alone (a Byte View filter) never needs them.
        mutable bool valuesReady = false;
        mutable std::array<std::uint8_t, kBlockSize> values;
        mutable bool timesReady = false;
        mutable std::array<std::int64_t, kBlockSize> timesMs;
    };
    struct Coded {
        CodedBlock values;
        CodedBlock marks;
        std::int64_t firstTimeMs = 0;
        std::size_t firstLongStep = 0;  // place in longSteps_ of the block's first long step
    };

    static std::size_t Place(std::size_t index) { return index & (kBlockSize - 1); }
    const Plain& BlockOf(std::size_t index) const {
        const std::size_t block = index >> kBlockBits;
        if (block == coded_.size()) return *open_;
        const Plain* cached = cache_[block % cache_.size()].get();
        return cached != nullptr && cached->block == block ? *cached : Decode(block);
    }
    const Plain& Decode(std::size_t block) const;
    void DecodeValues(const Plain& plain) const;
    void AddUpTimes(const Plain& plain) const;
    void CodeOpenBlock();

    std::vector<Coded> coded_;  // every full block; released ones have no data
    std::unique_ptr<Plain> open_;
    mutable std::vector<std::unique_ptr<Plain>> cache_;
    std::vector<std::int64_t> longSteps_;  // in byte order
    std::size_t size_ = 0;
    std::size_t released_ = 0;  // blocks freed at the front
    std::size_t openFirstLongStep_ = 0;
    std::int64_t lastTimeMs_ = 0;
};

}  // namespace orvane
