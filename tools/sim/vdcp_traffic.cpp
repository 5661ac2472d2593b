// The VDCP scenario: an automation system polling a video disk recorder's port each field, cueing
// clips by identifier and playing them.
#include <algorithm>
#include <array>
#include <string_view>

#include "sim/line_traffic.hpp"
#include "sim/sim_random.hpp"

namespace orvane::sim {
namespace {

// Port states of the State Status reply.
constexpr std::uint8_t kStateIdle = 0x01;
constexpr std::uint8_t kStateCueInit = 0x02;
constexpr std::uint8_t kStatePlay = 0x04;
constexpr std::uint8_t kStateStill = 0x08;
constexpr std::uint8_t kStateCueInitDone = 0x80;

const Bytes kAck{0x04};

class VdcpTraffic final : public LineTraffic {
  public:
    explicit VdcpTraffic(std::uint64_t seed) : random_(seed) {
        fieldsToCommand_ = static_cast<int>(random_.Between(10, 30));
    }

    void NextField(std::vector<LineByte>& out) override {
        std::int64_t timeUs = std::max(field_ * kFieldUs + random_.Between(0, 400), lineFreeUs_);
        if (field_ == 0) {
            // On connecting, the automation asks what it talks to and opens port 1.
            const std::string_view name = "DDR-4CH ";
            timeUs = Exchange(out, timeUs, VdcpMessage(0x30, 0x08),
                              VdcpMessage(0x30, 0x88, Bytes(name.begin(), name.end())));
            timeUs = Exchange(out, timeUs + Gap(), VdcpMessage(0x20, 0x22, {0x01}), kAck) + Gap();
        }
        Bytes position{0x01};
        const Bytes timeCode = TimeCodeBytes(frames_);
        position.insert(position.end(), timeCode.begin(), timeCode.end());
        timeUs = Exchange(out, timeUs, VdcpMessage(0x30, 0x06, {0x01}),
                          VdcpMessage(0x30, 0x86, position));
        timeUs += Gap();
        if (CommandDue()) {
            timeUs = NextCommand(out, timeUs);
        } else {
            timeUs = Exchange(out, timeUs, VdcpMessage(0x30, 0x05, {0x01}),
                              VdcpMessage(0x30, 0x85, {0x01, state_}));
        }
        lineFreeUs_ = timeUs + 500;
        Advance();
        ++field_;
    }

  private:
    std::int64_t Exchange(std::vector<LineByte>& out, std::int64_t timeUs, const Bytes& command,
                          const Bytes& reply) {
        timeUs = SendOnLine(out, timeUs, kCodeController, command);
        return SendOnLine(out, timeUs + random_.Between(1000, 3500), kCodeDevice, reply);
    }

    std::int64_t Gap() { return random_.Between(600, 1500); }

    bool CommandDue() {
        if (fieldsToCommand_ > 0) {
            --fieldsToCommand_;
            return false;
        }
        if (state_ == kStateCueInit) return false;
        return !(state_ == kStatePlay && playFieldsLeft_ > 0);
    }

    // Cue a clip (by identifier alone, or by identifier and time code), play it, stop it.
    std::int64_t NextCommand(std::vector<LineByte>& out, std::int64_t timeUs) {
        switch (step_) {
            case 0: {
                clipId_ = ClipId();
                Bytes data = clipId_;
                std::uint8_t code = 0x24;  // Play Cue
                if (random_.OneIn(2)) {
                    code = 0x25;  // Cue With Data: the identifier and a time code within it
                    const Bytes point = TimeCodeBytes(random_.Between(0, 900));
                    data.insert(data.end(), point.begin(), point.end());
                }
                if (random_.OneIn(8)) {
                    // An identifier the disk does not hold: the recorder refuses it with a
                    // negative acknowledge and its error byte, and the automation tries another.
                    fieldsToCommand_ = static_cast<int>(random_.Between(2, 6));
                    return Exchange(out, timeUs, VdcpMessage(0x20, code, data), {0x05, 0x01});
                }
                step_ = 1;
                state_ = kStateCueInit;
                cueFieldsLeft_ = static_cast<int>(random_.Between(10, 40));
                fieldsToCommand_ = static_cast<int>(random_.Between(3, 10));
                frames_ = random_.Between(0, 900);
                return Exchange(out, timeUs, VdcpMessage(0x20, code, data), kAck);
            }
            case 1:
                step_ = 2;
                state_ = kStatePlay;
                playFieldsLeft_ = static_cast<int>(random_.Between(120, 400));
                return Exchange(out, timeUs, VdcpMessage(0x10, 0x01), kAck);
            default:
                step_ = 0;
                state_ = kStateStill;
                fieldsToCommand_ = static_cast<int>(random_.Between(30, 90));
                return Exchange(out, timeUs, VdcpMessage(0x10, 0x00), kAck);
        }
    }

    Bytes ClipId() {
        constexpr std::array<std::string_view, 4> kPrefixes{"SPOT", "NEWS", "PROM", "LOGO"};
        const std::string_view prefix = kPrefixes[random_.Below(kPrefixes.size())];
        Bytes id(prefix.begin(), prefix.end());
        const std::uint32_t number = random_.Below(10000);
        for (std::uint32_t divisor : {1000U, 100U, 10U, 1U}) {
            id.push_back(static_cast<std::uint8_t>('0' + (number / divisor) % 10));
        }
        return id;
    }

    void Advance() {
        if (state_ == kStatePlay) {
            if (field_ % 2 == 1) ++frames_;
            if (playFieldsLeft_ > 0) --playFieldsLeft_;
        } else if (state_ == kStateCueInit && --cueFieldsLeft_ <= 0) {
            state_ = kStateCueInitDone | kStateStill;
        }
    }

    SimRandom random_;
    std::int64_t field_ = 0;
    std::int64_t lineFreeUs_ = 0;
    std::int64_t frames_ = 0;
    std::uint8_t state_ = kStateIdle;
    int cueFieldsLeft_ = 0;
    int playFieldsLeft_ = 0;
    int fieldsToCommand_ = 0;
    int step_ = 0;
    Bytes clipId_;
};

}  // namespace

std::unique_ptr<LineTraffic> MakeVdcpTraffic(std::uint64_t seed) {
    return std::make_unique<VdcpTraffic>(seed);
}

}  // namespace orvane::sim
