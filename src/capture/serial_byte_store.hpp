// The serial bytes of a continuous capture, stored once and compactly: value, side and time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "capture/chunked_array.hpp"

namespace orvane {

// Three bytes a serial byte: the value, and the side with the time since the byte before in
// one 16-bit word. A capture's times only rise, and on a busy line bytes are a millisecond or
// so apart, so the step almost always fits in 14 bits; a longer pause (16 s and more) is kept
// aside. The absolute time of every 64th byte is kept too, so any byte's time is at most 63
// additions away.
class SerialByteStore {
  public:
    // `direction` is the capture unit's side code: 0x80 controller, 0xC0 device, 0x00 neither.
    // Times must not fall; a smaller time is taken as the previous byte's.
    void Append(std::uint8_t value, std::int32_t direction, std::int64_t timeMs);

    std::size_t size() const { return values_.size(); }
    std::uint8_t Value(std::size_t index) const { return values_[index]; }
    std::int32_t Direction(std::size_t index) const {
        return static_cast<std::int32_t>((sideAndStep_[index] >> 14) << 6);
    }
    std::int64_t TimeMs(std::size_t index) const;

    void Clear();

    // Frees the bytes below `index` as far as whole chunks allow; they must not be read again.
    void ReleaseBefore(std::size_t index) {
        values_.ReleaseBefore(index);
        sideAndStep_.ReleaseBefore(index);
    }

    // Bytes held, for memory figures.
    std::size_t MemoryBytes() const;

  private:
    static constexpr unsigned kCheckpointBits = 6;
    static constexpr std::uint16_t kLongStep = 0x3FFF;  // the step is in longSteps_

    ChunkedArray<std::uint8_t> values_;
    ChunkedArray<std::uint16_t> sideAndStep_;
    std::vector<std::int64_t> checkpointsMs_;                      // time of byte 64 k
    std::vector<std::pair<std::size_t, std::int64_t>> longSteps_;  // (index, step), by index
    std::int64_t lastTimeMs_ = 0;
};

}  // namespace orvane
