// Packet builders and line timing shared by the simulator's scenarios.
#include "sim/line_traffic.hpp"

namespace orvane::sim {

std::int64_t SendOnLine(std::vector<LineByte>& out, std::int64_t startUs, std::uint8_t code,
                        const Bytes& bytes) {
    std::int64_t timeUs = startUs;
    for (std::uint8_t value : bytes) {
        out.push_back({timeUs, code, value});
        timeUs += kByteUs;
    }
    return timeUs;
}

Bytes SonyPacket(std::uint8_t group, std::uint8_t cmd2, const Bytes& data) {
    Bytes packet;
    packet.push_back(static_cast<std::uint8_t>((group & 0xF0) | (data.size() & 0x0F)));
    packet.push_back(cmd2);
    packet.insert(packet.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::uint8_t value : packet) sum += value;
    packet.push_back(static_cast<std::uint8_t>(sum & 0xFF));
    return packet;
}

Bytes VdcpMessage(std::uint8_t cmd1, std::uint8_t cmd2, const Bytes& data) {
    Bytes message{0x02, static_cast<std::uint8_t>(data.size() + 2), cmd1, cmd2};
    message.insert(message.end(), data.begin(), data.end());
    unsigned sum = 0;
    for (std::size_t i = 2; i < message.size(); ++i) sum += message[i];
    message.push_back(static_cast<std::uint8_t>((0x100 - (sum & 0xFF)) & 0xFF));
    return message;
}

Bytes TimeCodeBytes(std::int64_t frames) {
    auto bcd = [](std::int64_t value) {
        return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10));
    };
    const std::int64_t frame = frames % 30;
    const std::int64_t seconds = (frames / 30) % 60;
    const std::int64_t minutes = (frames / 1800) % 60;
    const std::int64_t hours = (frames / 108000) % 24;
    return {bcd(frame), bcd(seconds), bcd(minutes), bcd(hours)};
}

}  // namespace orvane::sim
