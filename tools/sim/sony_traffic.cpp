// The Sony 9-pin scenarios: an edit controller polling a deck each field, with transport commands
// now and then; the Odetics variant loads and cues clips by name.
#include <algorithm>
#include <array>
#include <string_view>

#include "sim/line_traffic.hpp"
#include "sim/sim_random.hpp"

namespace orvane::sim {
namespace {

enum class Deck { Stopped, Cueing, Cued, Playing };

const Bytes kAck = SonyPacket(0x10, 0x01);
const Bytes kDeviceTypeRequest = SonyPacket(0x00, 0x11);

class SonyTraffic final : public LineTraffic {
  public:
    SonyTraffic(std::uint64_t seed, bool odetics) : random_(seed), odetics_(odetics) {
        frames_ = random_.Between(0, 23 * 108000);
        fieldsToCommand_ = static_cast<int>(random_.Between(10, 30));
    }

    void NextField(std::vector<LineByte>& out) override {
        // The controller polls at the start of every field, later only if the previous field's
        // traffic ran over.
        std::int64_t timeUs = std::max(field_ * kFieldUs + random_.Between(0, 400), lineFreeUs_);
        if (field_ == 0 || random_.OneIn(900)) {
            const Bytes reply =
                SonyPacket(0x10, 0x11, odetics_ ? Bytes{0x20, 0x31} : Bytes{0x20, 0x30});
            timeUs = Exchange(out, timeUs, kDeviceTypeRequest, reply) + Gap();
        }
        const Bytes timeSense =
            SonyPacket(0x60, 0x0C, {static_cast<std::uint8_t>(odetics_ ? 0x01 : 0x03)});
        timeUs = Exchange(out, timeUs, timeSense, SonyPacket(0x70, 0x04, TimeCodeBytes(frames_)));
        timeUs += Gap();
        if (CommandDue()) {
            const Bytes command = odetics_ ? NextOdeticsCommand() : NextSonyCommand();
            timeUs = Exchange(out, timeUs, command, kAck);
        } else {
            // Status Sense: start at byte 0, 15 bytes (Odetics controllers ask for 4).
            const std::uint8_t count = odetics_ ? 4 : 15;
            timeUs = Exchange(out, timeUs, SonyPacket(0x60, 0x20, {count}), StatusData(count));
        }
        lineFreeUs_ = timeUs + 500;
        AdvanceDeck();
        ++field_;
    }

  private:
    // A command, then the deck's reply a few milliseconds later; returns when the line is free.
    std::int64_t Exchange(std::vector<LineByte>& out, std::int64_t timeUs, const Bytes& command,
                          const Bytes& reply) {
        timeUs = SendOnLine(out, timeUs, kCodeController, command);
        return SendOnLine(out, timeUs + random_.Between(1500, 4000), kCodeDevice, reply);
    }

    std::int64_t Gap() { return random_.Between(600, 1500); }

    bool CommandDue() {
        if (fieldsToCommand_ > 0) {
            --fieldsToCommand_;
            return false;
        }
        if (deck_ == Deck::Cueing) return false;  // wait until the deck has reached the cue point
        return !(deck_ == Deck::Playing && playFieldsLeft_ > 0);
    }

    void StartCue(std::int64_t target) {
        cueTarget_ = target;
        deck_ = Deck::Cueing;
        cueFieldsLeft_ = static_cast<int>(random_.Between(15, 45));
        fieldsToCommand_ = static_cast<int>(random_.Between(3, 10));
    }

    void StartPlay() {
        deck_ = Deck::Playing;
        playFieldsLeft_ = static_cast<int>(random_.Between(120, 400));
    }

    void StopDeck() {
        deck_ = Deck::Stopped;
        fieldsToCommand_ = static_cast<int>(random_.Between(30, 90));
    }

    // Cue, mark in and out, play, stop; then again from a new cue point.
    Bytes NextSonyCommand() {
        const int step = step_;
        step_ = (step_ + 1) % 5;
        switch (step) {
            case 0:
                StartCue(random_.Between(0, 23 * 108000));
                inSet_ = outSet_ = false;
                return SonyPacket(0x20, 0x31, TimeCodeBytes(cueTarget_));
            case 1:
                inSet_ = true;
                fieldsToCommand_ = static_cast<int>(random_.Between(2, 6));
                return SonyPacket(0x40, 0x14, TimeCodeBytes(cueTarget_));
            case 2:
                outSet_ = true;
                fieldsToCommand_ = static_cast<int>(random_.Between(2, 6));
                return SonyPacket(0x40, 0x15,
                                  TimeCodeBytes(cueTarget_ + random_.Between(300, 1800)));
            case 3:
                StartPlay();
                return SonyPacket(0x20, 0x01);
            default:
                StopDeck();
                return SonyPacket(0x20, 0x00);
        }
    }

    // Load a clip and cue it, mark it, play it, stop, cue back to its first frame, play again.
    Bytes NextOdeticsCommand() {
        const int step = step_;
        step_ = (step_ + 1) % 8;
        const bool byTimeCode = (cycle_ % 2) == 1;
        switch (step) {
            case 0: {
                ++cycle_;
                clipStart_ = random_.Between(0, 23 * 108000);
                clipName_ = ClipName();
                if (cycle_ % 2 == 0) {
                    StartCue(clipStart_);
                    return SonyPacket(0x20, 0x31, clipName_);
                }
                StartCue(clipStart_ + random_.Between(30, 600));
                Bytes data = TimeCodeBytes(cueTarget_);
                data.insert(data.end(), clipName_.begin(), clipName_.end());
                return SonyPacket(0x20, 0x31, data);
            }
            case 1:
                inSet_ = true;
                fieldsToCommand_ = static_cast<int>(random_.Between(2, 6));
                return byTimeCode ? SonyPacket(0x40, 0x16, TimeCodeBytes(cueTarget_))
                                  : SonyPacket(0x40, 0x14);
            case 2:
                outSet_ = true;
                fieldsToCommand_ = static_cast<int>(random_.Between(2, 6));
                return SonyPacket(0x40, 0x15);
            case 3:
            case 6:
                StartPlay();
                return SonyPacket(0x20, 0x01);
            case 4:
                StopDeck();
                return SonyPacket(0x20, 0x00);
            case 5:
                StartCue(clipStart_);
                return SonyPacket(0x20, 0x31);
            default:
                StopDeck();
                return SonyPacket(0x20, 0x00);
        }
    }

    // Eight characters, as automation systems name their clips: a prefix and four digits.
    Bytes ClipName() {
        constexpr std::array<std::string_view, 5> kPrefixes{"NEWS", "PROM", "SPOT", "CLIP", "BUMP"};
        const std::string_view prefix = kPrefixes[random_.Below(kPrefixes.size())];
        Bytes name(prefix.begin(), prefix.end());
        const std::uint32_t number = random_.Below(10000);
        for (std::uint32_t divisor : {1000U, 100U, 10U, 1U}) {
            name.push_back(static_cast<std::uint8_t>('0' + (number / divisor) % 10));
        }
        return name;
    }

    Bytes StatusData(std::uint8_t count) {
        Bytes status(15, 0);
        status[1] = deck_ == Deck::Playing ? 0x81 : 0xA0;  // Standby with Play or Stop
        if (deck_ == Deck::Playing) status[2] |= 0x80;     // Servo Lock
        if (deck_ == Deck::Cued) status[2] |= 0x01;        // Cue Up
        if (deck_ == Deck::Stopped) status[2] |= 0x02;     // Still
        if (inSet_) status[3] |= 0x01;
        if (outSet_) status[3] |= 0x02;
        if (deck_ == Deck::Cueing) status[4] |= 0x20;  // Search To Cue
        status.resize(count);
        return SonyPacket(0x70, 0x20, status);
    }

    void AdvanceDeck() {
        if (deck_ == Deck::Playing) {
            // One frame for every poll while playing.
            ++frames_;
            if (playFieldsLeft_ > 0) --playFieldsLeft_;
        } else if (deck_ == Deck::Cueing) {
            // The deck reports where it was until it parks on the cue point: its time code jumps
            // once, when it is cued, rather than sweeping minutes a field.
            if (--cueFieldsLeft_ <= 0) {
                frames_ = cueTarget_;
                deck_ = Deck::Cued;
            }
        }
    }

    SimRandom random_;
    bool odetics_;
    std::int64_t field_ = 0;
    std::int64_t lineFreeUs_ = 0;
    std::int64_t frames_ = 0;
    Deck deck_ = Deck::Stopped;
    std::int64_t cueTarget_ = 0;
    int cueFieldsLeft_ = 0;
    int playFieldsLeft_ = 0;
    int fieldsToCommand_ = 0;
    bool inSet_ = false;
    bool outSet_ = false;
    int step_ = 0;
    int cycle_ = 0;
    std::int64_t clipStart_ = 0;
    Bytes clipName_;
};

}  // namespace

std::unique_ptr<LineTraffic> MakeSonyTraffic(std::uint64_t seed, bool odetics) {
    return std::make_unique<SonyTraffic>(seed, odetics);
}

}  // namespace orvane::sim
