// Rising 32-bit numbers kept in coded blocks: the places where a long capture's messages start.
#include "capture/rising_column.hpp"

#include <algorithm>

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
    planes_.assign(4 * kBlockSize, 0);
    std::uint32_t previous = open_.front();
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        PutWordPlanes(planes_.data(), kBlockSize, k, open_[k] - previous);
        previous = open_[k];
    }
    Coded block;
    block.first = open_.front();
    block.coding = CodedBlock(planes_);
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
    decodePlanes_.resize(4 * kBlockSize);
    coded.coding.DecodeInto(decodePlanes_);
    std::uint32_t value = coded.first;
    for (std::size_t k = 0; k < kBlockSize; ++k) {
        value += WordFromPlanes(decodePlanes_.data(), kBlockSize, k);
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
    for (std::size_t b = released_; b < blocks; ++b) coded_[b].coding.Release();
    released_ = std::max(released_, blocks);
}

std::size_t RisingColumn::MemoryBytes() const {
    std::size_t total = coded_.capacity() * sizeof(Coded) +
                        open_.capacity() * sizeof(std::uint32_t) + planes_.capacity();
    for (std::size_t b = released_; b < coded_.size(); ++b) total += coded_[b].coding.size();
    for (const auto& slot : cache_) total += slot ? sizeof(Cached) : 0;
    return total;
}

}  // namespace orvane
