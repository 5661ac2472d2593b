// A small seeded random source, so every run with the same seed sends the same bytes.
#pragma once

#include <cstdint>

namespace orvane::sim {

// splitmix64: the same sequence on every platform and standard library, unlike the
// distributions of <random>, whose output the standard leaves open.
class SimRandom {
  public:
    explicit SimRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A value in 0..limit-1 (0 when limit is 0).
    std::uint32_t Below(std::uint32_t limit) {
        return limit == 0 ? 0 : static_cast<std::uint32_t>(Next() % limit);
    }

    // A value in low..high, both included.
    std::int64_t Between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }

    // True once in about `oneIn` calls.
    bool OneIn(std::uint32_t oneIn) { return Below(oneIn) == 0; }

  private:
    std::uint64_t state_;
};

}  // namespace orvane::sim
