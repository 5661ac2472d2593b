// The noise scenario's line: bytes of both sides at random, entries the unit marks to be ignored,
// and entries of neither side.
#include "sim/line_traffic.hpp"
#include "sim/sim_random.hpp"

namespace orvane::sim {
namespace {

class NoiseTraffic final : public LineTraffic {
  public:
    explicit NoiseTraffic(std::uint64_t seed) : random_(seed) {}

    void NextField(std::vector<LineByte>& out) override {
        std::int64_t timeUs = field_ * kFieldUs;
        const auto count = random_.Below(11);
        for (std::uint32_t i = 0; i < count; ++i) {
            static constexpr std::uint8_t kCodes[] = {
                kCodeController, kCodeController, kCodeController, kCodeDevice,  kCodeDevice,
                kCodeDevice,     kCodeIgnored,    kCodeIgnored,    kCodeNeither, kCodeNeither};
            const std::uint8_t code = kCodes[random_.Below(10)];
            out.push_back({timeUs, code, static_cast<std::uint8_t>(random_.Below(256))});
            timeUs += kByteUs * random_.Between(1, 20);
            if (timeUs >= (field_ + 1) * kFieldUs) break;
        }
        ++field_;
    }

  private:
    SimRandom random_;
    std::int64_t field_ = 0;
};

}  // namespace

std::unique_ptr<LineTraffic> MakeNoiseTraffic(std::uint64_t seed) {
    return std::make_unique<NoiseTraffic>(seed);
}

}  // namespace orvane::sim
