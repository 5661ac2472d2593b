// Rising 32-bit numbers kept in coded blocks: the places where a long capture's messages start.
#include "capture/rising_column.hpp"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "capture/block_codec.hpp"

namespace orvane {

RisingColumn::RisingColumn() { open_.reserve(kBlockSize); }
RisingColumn::RisingColumn(RisingColumn&&) noexcept = default;
RisingColumn& RisingColumn::operator=(RisingColumn&&) noexcept = default;
RisingColumn::~RisingColumn() = default;

void RisingColumn::push_back(std::uint32_t value) {
    open_.push_back(value);
    ++size_;
    if (open_.size() == kBlockSize) CodeOpenBlock();
}

void RisingColumn::CodeOpenBlock() {
    // Four planes, the low to the high byte of each difference: the high ones are nearly all
    // zero and code to almost nothing.
    planes_.assign(4 * kBlockSize, 0);
    std::uint32_t previous = open_.front();
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        const std::uint32_t step = open_[k] - previous;
        previous = open_[k];
        for (std::size_t j = 0; j < 4; ++j) {
            planes_[j * kBlockSize + k] = static_cast<std::uint8_t>(step >> (8 * j));
        }
    }
    std::vector<std::uint8_t> coded;
    EncodeBlock(planes_, coded);
    Coded block;
    block.first = open_.front();
    block.data = std::make_unique_for_overwrite<std::uint8_t[]>(coded.size());
    std::copy(coded.begin(), coded.end(), block.data.get());
    block.size = static_cast<std::uint32_t>(coded.size());
    // The block just coded is the one read next (the newest rows): it goes into the cache.
    std::unique_ptr<Cached>& slot = cache_[coded_.size() % kCacheBlocks];
    if (!slot) slot = std::make_unique<Cached>();
    slot->block = coded_.size();
    std::copy(open_.begin(), open_.end(), slot->values.begin());
    coded_.push_back(std::move(block));
    open_.clear();
}

const std::uint32_t* RisingColumn::Values(std::size_t block) const {
    std::unique_ptr<Cached>& slot = cache_[block % kCacheBlocks];
    if (slot && slot->block == block) return slot->values.data();
    if (!slot) slot = std::make_unique<Cached>();
    const Coded& coded = coded_[block];
    std::vector<std::uint8_t>& planes = decodePlanes_;
    planes.resize(4 * kBlockSize);
    // The coding never leaves memory, so a block that does not decode is a fault in this
    // program, not in any input: better stopped than shown wrong.
    if (!DecodeBlock(std::span<const std::uint8_t>(coded.data.get(), coded.size), planes)) {
        std::abort();
    }
    std::uint32_t value = coded.first;
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        value += std::uint32_t{planes[k]} | (std::uint32_t{planes[kBlockSize + k]} << 8) |
                 (std::uint32_t{planes[2 * kBlockSize + k]} << 16) |
                 (std::uint32_t{planes[3 * kBlockSize + k]} << 24);
        slot->values[k] = value;
    }
    slot->block = block;
    return slot->values.data();
}

std::size_t RisingColumn::UpperBound(std::uint32_t value, std::size_t from) const {
    if (from >= size_) return size_;
    // The last block (from `from`'s on) that starts at or below the value holds the answer, or
    // the answer is the first place after it.
    std::size_t low = from >> kBlockBits;
    std::size_t high = BlockCount();
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (FirstOf(middle) <= value) {
            low = middle;
        } else {
            high = middle;
        }
    }
    const std::size_t base = low << kBlockBits;
    const std::uint32_t* values = low == coded_.size() ? open_.data() : Values(low);
    const std::uint32_t* begin = values + (std::max(from, base) - base);
    const std::uint32_t* end = values + (std::min(size_, base + kBlockSize) - base);
    return base + static_cast<std::size_t>(std::upper_bound(begin, end, value) - values);
}

void RisingColumn::ReleaseBefore(std::size_t index) {
    const std::size_t blocks = std::min(index >> kBlockBits, coded_.size());
    for (std::size_t b = released_; b < blocks; ++b) coded_[b].data.reset();
    released_ = std::max(released_, blocks);
}

std::size_t RisingColumn::MemoryBytes() const {
    std::size_t total = coded_.capacity() * sizeof(Coded) +
                        open_.capacity() * sizeof(std::uint32_t) + planes_.capacity();
    for (std::size_t b = released_; b < coded_.size(); ++b) total += coded_[b].size;
    for (const auto& slot : cache_) total += slot ? sizeof(Cached) : 0;
    return total;
}

}  // namespace orvane
