// Serial-line traffic as the capture unit sees it: each byte with its time and the side that sent
// it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace orvane::sim {

// Direction codes of a capture-unit entry (bits 7-6 of its first byte).
inline constexpr std::uint8_t kCodeController = 0x80;
inline constexpr std::uint8_t kCodeDevice = 0xC0;
inline constexpr std::uint8_t kCodeIgnored = 0x40;
inline constexpr std::uint8_t kCodeNeither = 0x00;

// 38400 baud, 8 data bits, odd parity, one stop bit: 11 bits, about 286 microseconds a byte.
inline constexpr std::int64_t kByteUs = 286;
// One video field at 59.94 Hz; controllers poll the deck once per field.
inline constexpr std::int64_t kFieldUs = 16683;

struct LineByte {
    std::int64_t timeUs = 0;  // since the connection began
    std::uint8_t code = kCodeNeither;
    std::uint8_t value = 0;
};

using Bytes = std::vector<std::uint8_t>;

// A scenario's traffic, produced one video field at a time so a stream can run for ever.
class LineTraffic {
  public:
    virtual ~LineTraffic() = default;
    // Appends the next field's bytes in time order, none earlier than the bytes before them.
    virtual void NextField(std::vector<LineByte>& out) = 0;
    // Messages lost from here on between the capture unit and the program, whole, leaving a gap
    // in the sequence numbers; asked after every field.
    virtual std::uint32_t TakeLostMessages() { return 0; }
};

// Appends `bytes` sent by one side back to back from startUs; returns when the line is free.
std::int64_t SendOnLine(std::vector<LineByte>& out, std::int64_t startUs, std::uint8_t code,
                        const Bytes& bytes);

// A Sony 9-pin packet: CMD1 (group with the data count filled in), CMD2, data, checksum.
Bytes SonyPacket(std::uint8_t group, std::uint8_t cmd2, const Bytes& data = {});

// A VDCP message: STX, byte count, CMD-1, CMD-2, data, checksum (two's complement of the sum of
// the bytes after the byte count).
Bytes VdcpMessage(std::uint8_t cmd1, std::uint8_t cmd2, const Bytes& data = {});

// Time code counted in frames (30 a second) as the four BCD bytes frames, seconds, minutes, hours.
Bytes TimeCodeBytes(std::int64_t frames);

std::unique_ptr<LineTraffic> MakeSonyTraffic(std::uint64_t seed, bool odetics);
std::unique_ptr<LineTraffic> MakeVdcpTraffic(std::uint64_t seed);
std::unique_ptr<LineTraffic> MakeNoiseTraffic(std::uint64_t seed);
// Sony 9-pin (or VDCP) polling and transport commands with a line fault every few seconds.
std::unique_ptr<LineTraffic> MakeFaultTraffic(std::uint64_t seed, bool vdcp);

}  // namespace orvane::sim
