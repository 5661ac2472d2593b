// The serial bytes of a continuous capture, stored once and compactly: value, side and time.
#include "capture/serial_byte_store.hpp"

#include <algorithm>

#include "capture/block_codec.hpp"

namespace orvane {

SerialByteStore::SerialByteStore(std::size_t cacheBlocks)
    : open_(std::make_unique<Plain>()), cache_(std::max<std::size_t>(1, cacheBlocks)) {
    open_->block = 0;
}
SerialByteStore::SerialByteStore(SerialByteStore&&) noexcept = default;
SerialByteStore& SerialByteStore::operator=(SerialByteStore&&) noexcept = default;
SerialByteStore::~SerialByteStore() = default;

void SerialByteStore::Append(std::uint8_t value, std::int32_t direction, std::int64_t timeMs) {
    if (size_ > 0 && timeMs < lastTimeMs_) timeMs = lastTimeMs_;
    const std::int64_t step = size_ == 0 ? 0 : timeMs - lastTimeMs_;
    lastTimeMs_ = timeMs;
    const std::size_t place = Place(size_);
    // A block's first byte has its own time; only later long steps are needed to rebuild times.
    if (place == 0) openFirstLongStep_ = longSteps_.size();
    std::uint8_t stepBits = kLongStep;
    if (step < kLongStep) {
        stepBits = static_cast<std::uint8_t>(step);
    } else if (place != 0) {
        longSteps_.push_back(step);
    }
    open_->values[place] = value;
    open_->marks[place] =
        static_cast<std::uint8_t>((((direction >> 6) & 0x3) << kSideShift) | stepBits);
    open_->timesMs[place] = timeMs;
    open_->valuesReady = true;
    open_->timesReady = true;
    ++size_;
    if (Place(size_) == 0) CodeOpenBlock();
}

void SerialByteStore::CodeOpenBlock() {
    Coded coded;
    coded.values = CodedBlock(open_->values);
    coded.marks = CodedBlock(open_->marks);
    coded.firstTimeMs = open_->timesMs[0];
    coded.firstLongStep = openFirstLongStep_;
    coded_.push_back(std::move(coded));
    // The newest rows are read most: the block just coded goes into the cache as it stands,
    // and the block it displaces is reused for the next one.
    const std::size_t block = open_->block;
    std::unique_ptr<Plain>& slot = cache_[block % cache_.size()];
    std::unique_ptr<Plain> spare = std::move(slot);
    slot = std::move(open_);
    open_ = spare ? std::move(spare) : std::make_unique<Plain>();
    open_->block = block + 1;
}

const SerialByteStore::Plain& SerialByteStore::Decode(std::size_t block) const {
    std::unique_ptr<Plain>& slot = cache_[block % cache_.size()];
    if (!slot) slot = std::make_unique<Plain>();
    Plain& plain = *slot;
    coded_[block].marks.DecodeInto(plain.marks);
    plain.valuesReady = false;
    plain.timesReady = false;
    plain.block = block;
    return plain;
}

void SerialByteStore::DecodeValues(const Plain& plain) const {
    coded_[plain.block].values.DecodeInto(plain.values);
    plain.valuesReady = true;
}

void SerialByteStore::AddUpTimes(const Plain& plain) const {
    const Coded& coded = coded_[plain.block];
    std::int64_t timeMs = coded.firstTimeMs;
    std::size_t longStep = coded.firstLongStep;
    plain.timesMs[0] = timeMs;
    for (std::size_t k = 1; k < kBlockSize; ++k) {
        const std::uint8_t step = plain.marks[k] & kLongStep;
        timeMs += step == kLongStep ? longSteps_[longStep++] : step;
        plain.timesMs[k] = timeMs;
    }
    plain.timesReady = true;
}

void SerialByteStore::Clear() { *this = SerialByteStore(cache_.size()); }

void SerialByteStore::ReleaseBefore(std::size_t index) {
    const std::size_t blocks = std::min(index >> kBlockBits, coded_.size());
    for (std::size_t b = released_; b < blocks; ++b) {
        coded_[b].values.Release();
        coded_[b].marks.Release();
    }
    released_ = std::max(released_, blocks);
}

std::size_t SerialByteStore::MemoryBytes() const {
    std::size_t total = coded_.capacity() * sizeof(Coded) + sizeof(Plain) +
                        longSteps_.capacity() * sizeof(std::int64_t);
    for (std::size_t b = released_; b < coded_.size(); ++b) {
        total += coded_[b].values.size() + coded_[b].marks.size();
    }
    for (const auto& plain : cache_) total += plain ? sizeof(Plain) : 0;
    return total;
}

}  // namespace orvane
