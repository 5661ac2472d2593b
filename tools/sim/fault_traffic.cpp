// The fault scenarios: a controller polling a deck each field and sending transport commands,
// Sony 9-pin or VDCP, with one line fault every one to three seconds to find in the capture.
#include <algorithm>
#include <array>
#include <utility>

#include "sim/line_traffic.hpp"
#include "sim/sim_random.hpp"

namespace orvane::sim {
namespace {

// Bits of a negative acknowledge's error byte.
constexpr std::uint8_t kUndefinedCommand = 0x01;
constexpr std::uint8_t kChecksumError = 0x04;
constexpr std::array<std::uint8_t, 4> kLineErrors{
    0x10,  // parity error
    0x20,  // buffer overrun
    0x40,  // framing error
    0x80,  // time-out
};

enum class Fault {
    kNone,
    kUnknownCommand,      // a command the deck does not know, refused as undefined
    kBadReplyChecksum,    // the time reply's checksum is off
    kLateReply,           // the time reply starts, or completes, 15-40 ms after the poll
    kLostMessages,        // one to three messages lost on the way from the capture unit
    kBadCommandChecksum,  // a cue command's checksum is off, refused as a checksum error
    kMissingReply,        // a status poll goes unanswered
    kStrayAck,            // an acknowledge that answers no command
    kShortReply,          // the time reply ends before the length its header announces
    kLineError,           // a status poll refused for a parity, overrun, framing or time-out error
};

// The faults come round in this order, so every kind shows within the first half minute.
constexpr std::array<Fault, 9> kFaultOrder{
    Fault::kUnknownCommand, Fault::kBadReplyChecksum,   Fault::kLateReply,
    Fault::kLostMessages,   Fault::kBadCommandChecksum, Fault::kMissingReply,
    Fault::kStrayAck,       Fault::kShortReply,         Fault::kLineError,
};

class FaultTraffic final : public LineTraffic {
  public:
    FaultTraffic(std::uint64_t seed, bool vdcp) : random_(seed), vdcp_(vdcp) {
        frames_ = random_.Between(0, 23 * 108000);
        fieldsToCommand_ = static_cast<int>(random_.Between(10, 30));
        fieldsToFault_ = FieldsBetweenFaults();
    }

    void NextField(std::vector<LineByte>& out) override {
        std::int64_t timeUs = std::max(field_ * kFieldUs + random_.Between(0, 400), lineFreeUs_);
        if (field_ == 0) timeUs = Greet(out, timeUs);
        const Fault fault = FaultDue();

        // The time poll; its reply carries the faults of the reply itself.
        Bytes timeReply = TimeReply();
        if (fault == Fault::kBadReplyChecksum) timeReply.back() = OffByte(timeReply.back());
        if (fault == Fault::kShortReply) {
            timeReply.resize(timeReply.size() - static_cast<std::size_t>(random_.Between(1, 3)));
        }
        timeUs = fault == Fault::kLateReply ? LateExchange(out, timeUs, TimePoll(), timeReply)
                                            : Exchange(out, timeUs, TimePoll(), timeReply);
        timeUs += Gap();

        switch (fault) {
            case Fault::kUnknownCommand:
                timeUs = Exchange(out, timeUs, UnknownCommand(), Nak(kUndefinedCommand));
                break;
            case Fault::kBadCommandChecksum: {
                Bytes cue = Cue(random_.Between(0, 23 * 108000));
                cue.back() = OffByte(cue.back());
                timeUs = Exchange(out, timeUs, cue, Nak(kChecksumError));
                break;
            }
            case Fault::kLineError:
                timeUs = Exchange(out, timeUs, StatusPoll(),
                                  Nak(kLineErrors[random_.Below(kLineErrors.size())]));
                break;
            case Fault::kMissingReply:
                timeUs = SendOnLine(out, timeUs, kCodeController, StatusPoll());
                if (random_.OneIn(2)) {
                    // The controller asks again at once and is answered.
                    timeUs = Exchange(out, timeUs + Gap(), StatusPoll(), StatusReply());
                } else {
                    // The controller waits for its time-out before it polls again.
                    timeUs += random_.Between(100000, 250000);
                }
                break;
            default:
                timeUs = CommandDue() ? Exchange(out, timeUs, NextCommand(), Ack())
                                      : Exchange(out, timeUs, StatusPoll(), StatusReply());
                break;
        }
        if (fault == Fault::kStrayAck) {
            timeUs = SendOnLine(out, timeUs + random_.Between(3000, 8000), kCodeDevice, Ack());
        }
        if (fault == Fault::kLostMessages) lostMessages_ = random_.Between(1, 3);

        // After a long stall the controller polls again in the field the line is free in, rather
        // than catching up on the fields it missed.
        lineFreeUs_ = timeUs + 500;
        const std::int64_t nextField = std::max(field_ + 1, lineFreeUs_ / kFieldUs);
        AdvanceDeck(nextField - field_);
        field_ = nextField;
    }

    std::uint32_t TakeLostMessages() override {
        return static_cast<std::uint32_t>(std::exchange(lostMessages_, 0));
    }

  private:
    // On connecting, the controller asks what it talks to (and opens the recorder's port).
    std::int64_t Greet(std::vector<LineByte>& out, std::int64_t timeUs) {
        if (!vdcp_) {
            return Exchange(out, timeUs, SonyPacket(0x00, 0x11),
                            SonyPacket(0x10, 0x11, {0x20, 0x30})) +
                   Gap();
        }
        const Bytes name{'D', 'D', 'R', '-', '4', 'C', 'H', ' '};
        timeUs = Exchange(out, timeUs, VdcpMessage(0x30, 0x08), VdcpMessage(0x30, 0x88, name));
        return Exchange(out, timeUs + Gap(), VdcpMessage(0x20, 0x22, {0x01}), Ack()) + Gap();
    }

    Fault FaultDue() {
        if (--fieldsToFault_ > 0) return Fault::kNone;
        fieldsToFault_ = FieldsBetweenFaults();
        const Fault fault = kFaultOrder[nextFault_];
        nextFault_ = (nextFault_ + 1) % kFaultOrder.size();
        return fault;
    }

    // One to three seconds of fields.
    int FieldsBetweenFaults() { return static_cast<int>(random_.Between(60, 180)); }

    // A command, then the deck's reply a few milliseconds later; returns when the line is free.
    std::int64_t Exchange(std::vector<LineByte>& out, std::int64_t timeUs, const Bytes& command,
                          const Bytes& reply) {
        timeUs = SendOnLine(out, timeUs, kCodeController, command);
        return SendOnLine(out, timeUs + random_.Between(1000, 3500), kCodeDevice, reply);
    }

    // A reply that starts late, or starts in time, stalls after its first half and completes
    // late.
    std::int64_t LateExchange(std::vector<LineByte>& out, std::int64_t timeUs, const Bytes& command,
                              const Bytes& reply) {
        timeUs = SendOnLine(out, timeUs, kCodeController, command);
        const std::int64_t lateUs = timeUs + random_.Between(15000, 40000);
        if (random_.OneIn(2)) return SendOnLine(out, lateUs, kCodeDevice, reply);
        const auto half = reply.begin() + static_cast<std::ptrdiff_t>(reply.size() / 2);
        SendOnLine(out, timeUs + random_.Between(1000, 3500), kCodeDevice,
                   Bytes(reply.begin(), half));
        const Bytes rest(half, reply.end());
        const auto restUs = static_cast<std::int64_t>(rest.size() - 1) * kByteUs;
        return SendOnLine(out, lateUs - restUs, kCodeDevice, rest);
    }

    std::int64_t Gap() { return random_.Between(600, 1500); }

    // A checksum byte that does not match its packet.
    std::uint8_t OffByte(std::uint8_t value) {
        return static_cast<std::uint8_t>(value + random_.Between(1, 255));
    }

    bool CommandDue() {
        if (fieldsToCommand_ > 0) {
            --fieldsToCommand_;
            return false;
        }
        return !(playing_ && playFieldsLeft_ > 0);
    }

    // Cue, play, stop; then again from a new cue point.
    Bytes NextCommand() {
        const int step = step_;
        step_ = (step_ + 1) % 3;
        switch (step) {
            case 0:
                frames_ = random_.Between(0, 23 * 108000);
                fieldsToCommand_ = static_cast<int>(random_.Between(15, 45));
                return Cue(frames_);
            case 1:
                playing_ = true;
                playFieldsLeft_ = static_cast<int>(random_.Between(120, 400));
                return vdcp_ ? VdcpMessage(0x10, 0x01) : SonyPacket(0x20, 0x01);
            default:
                playing_ = false;
                fieldsToCommand_ = static_cast<int>(random_.Between(30, 90));
                return vdcp_ ? VdcpMessage(0x10, 0x00) : SonyPacket(0x20, 0x00);
        }
    }

    // Sony: Cue Up With Data to a time code. VDCP: Cue With Data, a clip and a time code in it.
    Bytes Cue(std::int64_t frames) {
        if (!vdcp_) return SonyPacket(0x20, 0x31, TimeCodeBytes(frames));
        Bytes data{'C', 'L', 'I', 'P'};
        const std::uint32_t number = random_.Below(10000);
        for (std::uint32_t divisor : {1000U, 100U, 10U, 1U}) {
            data.push_back(static_cast<std::uint8_t>('0' + (number / divisor) % 10));
        }
        const Bytes point = TimeCodeBytes(frames % 900);
        data.insert(data.end(), point.begin(), point.end());
        return VdcpMessage(0x20, 0x25, data);
    }

    // A command code the deck has no meaning for.
    Bytes UnknownCommand() {
        if (vdcp_) return VdcpMessage(0x30, 0x7F, {0x01});
        return random_.OneIn(2) ? SonyPacket(0x20, 0x7E) : SonyPacket(0x60, 0x7F, {0x01});
    }

    Bytes TimePoll() const {
        return vdcp_ ? VdcpMessage(0x30, 0x06, {0x01}) : SonyPacket(0x60, 0x0C, {0x03});
    }

    Bytes TimeReply() const {
        if (!vdcp_) return SonyPacket(0x70, 0x04, TimeCodeBytes(frames_));
        Bytes position{0x01};
        const Bytes timeCode = TimeCodeBytes(frames_);
        position.insert(position.end(), timeCode.begin(), timeCode.end());
        return VdcpMessage(0x30, 0x86, position);
    }

    // Sony: Status Sense of four bytes from byte 0. VDCP: the port's state.
    Bytes StatusPoll() const {
        return vdcp_ ? VdcpMessage(0x30, 0x05, {0x01}) : SonyPacket(0x60, 0x20, {0x04});
    }

    Bytes StatusReply() const {
        if (vdcp_) {
            return VdcpMessage(0x30, 0x85,
                               {0x01, static_cast<std::uint8_t>(playing_ ? 0x04 : 0x08)});
        }
        // Standby with Play or Stop; Servo Lock while playing, Still otherwise.
        return SonyPacket(0x70, 0x20,
                          {0x00, static_cast<std::uint8_t>(playing_ ? 0x81 : 0xA0),
                           static_cast<std::uint8_t>(playing_ ? 0x80 : 0x02), 0x00});
    }

    Bytes Ack() const { return vdcp_ ? Bytes{0x04} : SonyPacket(0x10, 0x01); }

    Bytes Nak(std::uint8_t error) const {
        return vdcp_ ? Bytes{0x05, error} : SonyPacket(0x10, 0x12, {error});
    }

    void AdvanceDeck(std::int64_t fields) {
        if (!playing_) return;
        frames_ += fields;  // one frame for every field while playing
        playFieldsLeft_ = static_cast<int>(std::max<std::int64_t>(0, playFieldsLeft_ - fields));
    }

    SimRandom random_;
    bool vdcp_;
    std::int64_t field_ = 0;
    std::int64_t lineFreeUs_ = 0;
    std::int64_t frames_ = 0;
    bool playing_ = false;
    int playFieldsLeft_ = 0;
    int fieldsToCommand_ = 0;
    int step_ = 0;
    int fieldsToFault_ = 0;
    std::size_t nextFault_ = 0;
    std::int64_t lostMessages_ = 0;
};

}  // namespace

std::unique_ptr<LineTraffic> MakeFaultTraffic(std::uint64_t seed, bool vdcp) {
    return std::make_unique<FaultTraffic>(seed, vdcp);
}

}  // namespace orvane::sim
