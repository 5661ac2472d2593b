// The serial bytes of a continuous capture, stored once and compactly: value, side and time.
#include "capture/serial_byte_store.hpp"

#include <algorithm>

namespace orvane {

void SerialByteStore::Append(std::uint8_t value, std::int32_t direction, std::int64_t timeMs) {
    const std::size_t index = words_.size();
    if (index > 0 && timeMs < lastTimeMs_) timeMs = lastTimeMs_;
    const std::int64_t step = index == 0 ? 0 : timeMs - lastTimeMs_;
    lastTimeMs_ = timeMs;
    if ((index & ((std::size_t{1} << kCheckpointBits) - 1)) == 0) checkpointsMs_.push_back(timeMs);
    std::uint16_t stepBits = 0;
    if (step >= kLongStep) {
        stepBits = kLongStep;
        longSteps_.emplace_back(index, step);
    } else {
        stepBits = static_cast<std::uint16_t>(step);
    }
    const auto side = static_cast<std::uint16_t>((direction >> 6) & 0x3);
    words_.push_back(
        static_cast<std::uint16_t>((side << kSideShift) | (stepBits << kStepShift) | value));
}

std::int64_t SerialByteStore::TimeMs(std::size_t index) const {
    const std::size_t checkpoint = index >> kCheckpointBits;
    std::int64_t timeMs = checkpointsMs_[checkpoint];
    for (std::size_t i = (checkpoint << kCheckpointBits) + 1; i <= index; ++i) {
        const std::uint16_t step = StepOf(words_[i]);
        if (step != kLongStep) {
            timeMs += step;
            continue;
        }
        const auto found = std::lower_bound(longSteps_.begin(), longSteps_.end(), i,
                                            [](const std::pair<std::size_t, std::int64_t>& entry,
                                               std::size_t at) { return entry.first < at; });
        if (found != longSteps_.end() && found->first == i) timeMs += found->second;
    }
    return timeMs;
}

void SerialByteStore::Clear() { *this = SerialByteStore(); }

std::size_t SerialByteStore::MemoryBytes() const {
    return words_.capacityBytes() + checkpointsMs_.capacity() * sizeof(std::int64_t) +
           longSteps_.capacity() * sizeof(longSteps_[0]);
}

}  // namespace orvane
