// Reading the working values of a Sony 9-pin packet text, and the texts the group tables share.
#include "decode/sony_packet.hpp"

#include "decode/text_format.hpp"

namespace orvane {

namespace {

// Fields counted for the data bytes; with CMD1, CMD2 and the checksum this leaves 13 data bytes.
constexpr std::size_t kMaxFieldsRead = 16;

std::int32_t ReadByte(std::string_view field) {
    return static_cast<std::int32_t>(ReadHexField(field) & 0xFF);
}

}  // namespace

std::string_view TrimSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

SonyPacket ReadSonyPacket(std::string_view trimmedText) {
    SonyPacket packet;
    packet.text = trimmedText;
    packet.key = trimmedText.substr(0, 5);
    packet.cmd1 = ReadByte(trimmedText.substr(0, 2));
    packet.cmd2 = trimmedText.size() >= 5 ? ReadByte(trimmedText.substr(3, 2)) : 0;
    packet.dataCount = packet.cmd1 & 0x0F;
    packet.group = packet.cmd1 & 0xF0;

    // DATA-1 onwards: fields 3 .. F-1 (1-based) of at most F = 16 fields, only with a data count.
    // The fields are walked in place: a list fill decodes up to 100,000 packets in a row.
    if (packet.dataCount != 0) {
        std::array<std::int32_t, kMaxFieldsRead> fields{};
        std::size_t fieldCount = 0;
        ForEachField(trimmedText, [&](std::string_view field) {
            fields[fieldCount++] = ReadByte(field);
            return fieldCount < kMaxFieldsRead;
        });
        for (std::size_t i = 2; i + 1 < fieldCount; ++i) packet.data[i - 2] = fields[i];
    }
    return packet;
}

std::string TimeCodeText(const SonyPacket& packet) {
    std::string text =
        FormatTimeCode(packet.data[3], packet.data[2], packet.data[1], packet.data[0]);
    // Only the time code reports the checksum, so it is computed only here.
    const Checksums checksums = ComputeChecksum(packet.text);
    if (checksums.received != checksums.computed) text += " CheckSum Error";
    return text;
}

std::string RawTimeCode(const SonyPacket& packet) {
    std::string text = TwoDigitHex(packet.data[3]);
    text += ':';
    text += TwoDigitHex(packet.data[2]);
    text += ':';
    text += TwoDigitHex(packet.data[1]);
    text += ':';
    text += TwoDigitHex(packet.data[0]);
    return text;
}

std::string ClipName(const SonyPacket& packet, std::size_t first) {
    std::string name;
    for (std::size_t i = first; i < first + 8 && i < packet.data.size(); ++i) {
        name += static_cast<char>(packet.data[i]);
    }
    return name;
}

}  // namespace orvane
