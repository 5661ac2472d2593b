// The serial bytes of a continuous capture, stored once and compactly: value, side and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "capture/chunked_array.hpp"

namespace orvane {

// Two bytes a serial byte: one 16-bit word holds the value, the side and the time since the
// byte before. A capture's times only rise, and on a busy line bytes are a millisecond or so
// apart and packets a few milliseconds, so the step almost always fits in 6 bits; a longer pause
// (63 ms and more) is kept aside. The absolute time of every 64th byte is kept too, so any
// byte's time is at most 63 additions away.
class SerialByteStore {
  public:
    // `direction` is the capture unit's side code: 0x80 controller, 0xC0 device, 0x00 neither.
    // Times must not fall; a smaller time is taken as the previous byte's.
    void Append(std::uint8_t value, std::int32_t direction, std::int64_t timeMs);

    std::size_t size() const { return words_.size(); }
    std::uint8_t Value(std::size_t index) const {
        return static_cast<std::uint8_t>(words_[index] & 0xFF);
    }
    std::int32_t Direction(std::size_t index) const {
        return static_cast<std::int32_t>((words_[index] >> kSideShift) << 6);
    }
    std::int64_t TimeMs(std::size_t index) const;

    void Clear();

    // Frees the bytes below `index` as far as whole chunks allow; they must not be read again.
    void ReleaseBefore(std::size_t index) { words_.ReleaseBefore(index); }

    // Bytes held, for memory figures.
    std::size_t MemoryBytes() const;

  private:
    // A word: side code bits 15-14 (the unit's code shifted down by 6), step bits 13-8, value
    // bits 7-0.
    static constexpr unsigned kSideShift = 14;
    static constexpr unsigned kStepShift = 8;
    static constexpr std::uint16_t kLongStep = 0x3F;  // the step is in longSteps_
    static constexpr unsigned kCheckpointBits = 6;

    static std::uint16_t StepOf(std::uint16_t word) { return (word >> kStepShift) & kLongStep; }

    ChunkedArray<std::uint16_t> words_;
    std::vector<std::int64_t> checkpointsMs_;                      // time of byte 64 k
    std::vector<std::pair<std::size_t, std::int64_t>> longSteps_;  // (index, step), by index
    std::int64_t lastTimeMs_ = 0;
};

}  // namespace orvane
