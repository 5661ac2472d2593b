// Packet numbers of serial bytes, byte by byte: the Sony 9-pin and the VDCP grouping rules.
#pragma once

#include <cstdint>

namespace orvane {

inline constexpr std::int32_t kSideController = 0x80;
inline constexpr std::int32_t kSideDevice = 0xC0;

// Length of a Sony 9-pin packet from its first byte: CMD1, CMD2, the data bytes counted by
// CMD1's low nibble, and the checksum.
constexpr int SonyPacketLength(int cmd1) { return (cmd1 & 0x0F) + 3; }

// Sony 9-pin: one counter for both sides. Controller packets and the deck's replies are cut by
// the length their first byte announces, so two replies in a row (an Ack, then a NAK) are two
// packets; a controller byte also ends a reply, and a deck byte a command. A new side advances
// the counter, so numbers rise strictly but are not consecutive.
class SonyNumbering {
  public:
    std::int32_t Take(int value, std::int32_t direction) {
        if (direction == kSideController) {
            if (lastDirection_ != kSideController) ++counter_;
            lastDirection_ = kSideController;
            bool opensPacket = announcedLength_ == 0;
            if (!opensPacket) opensPacket = ++position_ > announcedLength_;
            if (opensPacket) {
                announcedLength_ = SonyPacketLength(value);
                position_ = 1;
                ++counter_;
            }
            return counter_;
        }
        if (direction == kSideDevice) {
            bool opensReply = lastDirection_ != kSideDevice;
            if (!opensReply) opensReply = ++replyPosition_ > replyLength_;
            if (opensReply) {
                // A new side, or a deck byte past the announced length: a new reply.
                ++counter_;
                replyLength_ = SonyPacketLength(value);
                replyPosition_ = 1;
            }
            lastDirection_ = kSideDevice;
            announcedLength_ = 0;  // a reply ends whatever the controller had announced
            return counter_;
        }
        return 0;
    }

  private:
    std::int32_t counter_ = 0;
    std::int32_t lastDirection_ = 0;
    int announcedLength_ = 0;  // 0: no controller packet open
    int position_ = 0;
    int replyLength_ = 0;  // announced by the current reply's first byte
    int replyPosition_ = 0;
};

// The bytes that begin VDCP messages: a frame's start, and the device's one-byte replies.
inline constexpr std::uint8_t kVdcpStx = 0x02;
inline constexpr std::uint8_t kVdcpAck = 0x04;
inline constexpr std::uint8_t kVdcpNak = 0x05;

// VDCP framing of one side: STX, byte count, that many body bytes, checksum; the device also
// sends one-byte ACK and NAK replies (a NAK followed by its error byte).
class VdcpFraming {
  public:
    std::int32_t Take(int value, bool isDevice) {
        switch (phase_) {
            case Phase::kIdle:
                if (value == kVdcpStx) {
                    ++counter_;
                    phase_ = Phase::kAfterStart;
                } else if (!isDevice) {
                    // The controller only sends frames: any idle byte is read as a frame start.
                    phase_ = Phase::kAfterStart;
                } else if (value == kVdcpAck) {
                    ++counter_;
                } else if (value == kVdcpNak) {
                    ++counter_;
                    phase_ = Phase::kAfterNak;
                }
                break;
            case Phase::kAfterStart:
                bodyLeft_ = value;
                phase_ = Phase::kInBody;
                break;
            case Phase::kInBody:
                if (bodyLeft_ == 0) {
                    phase_ = Phase::kIdle;  // the checksum ends the frame whatever its value
                } else {
                    --bodyLeft_;
                }
                break;
            case Phase::kAfterNak:
                phase_ = Phase::kIdle;  // the NAK's error byte
                break;
        }
        return counter_;
    }

  private:
    enum class Phase { kIdle, kAfterStart, kInBody, kAfterNak };
    Phase phase_ = Phase::kIdle;
    int bodyLeft_ = 0;  // body bytes still to come; at 0 in kInBody the next byte is the checksum
    std::int32_t counter_ = 0;
};

// Either grouping, chosen by the protocol mode (VDCP, or Sony 9-pin for every other mode).
class PacketNumbering {
  public:
    explicit PacketNumbering(bool vdcp) : vdcp_(vdcp) {}

    // The packet number of the next byte; 0 for a byte in no packet.
    std::int32_t Take(int value, std::int32_t direction) {
        if (!vdcp_) return sony_.Take(value, direction);
        if (direction == kSideController) return controller_.Take(value, false);
        if (direction == kSideDevice) return device_.Take(value, true);
        return 0;
    }

  private:
    bool vdcp_;
    SonyNumbering sony_;
    VdcpFraming controller_;
    VdcpFraming device_;
};

}  // namespace orvane
