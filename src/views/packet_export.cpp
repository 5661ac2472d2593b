// One exported packet of the Packet View, and its JSON Lines form for scripts.
#include "views/packet_export.hpp"

#include <algorithm>
#include <charconv>

#include "capture/hex_dump.hpp"
#include "views/utf8_text.hpp"

namespace orvane {
namespace {

void AppendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view windows1252) {
    constexpr char kDigits[] = "0123456789abcdef";
    out.push_back('"');
    // Descriptions are almost always plain ASCII: those go out as they are.
    const bool plain = std::all_of(windows1252.begin(), windows1252.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
    });
    if (plain) {
        out.append(windows1252);
        out.push_back('"');
        return;
    }
    for (const char c : Windows1252ToUtf8(windows1252)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (byte < 0x20) {
            out.append("\\u00");
            out.push_back(kDigits[byte >> 4]);
            out.push_back(kDigits[byte & 0x0F]);
        } else {
            out.push_back(c);
        }
    }
    out.push_back('"');
}

std::string JsonString(std::string_view windows1252) {
    std::string out;
    AppendJsonString(out, windows1252);
    return out;
}

void AppendJsonlPacketLine(std::string& line, const ExportedPacket& packet) {
    line.append("{\"number\":");
    AppendNumber(line, static_cast<std::int64_t>(packet.number));
    line.append(",\"time\":");
    AppendJsonString(line, packet.timeText);
    line.append(",\"time_us\":");
    AppendNumber(line, packet.timeUs);
    line.append(packet.direction == 0xC0 ? ",\"side\":\"deck\"" : ",\"side\":\"controller\"");
    line.append(",\"bytes\":\"");
    for (std::size_t i = 0; i < packet.bytes.size(); ++i) {
        if (i > 0) line.push_back(' ');
        AppendHexPair(line, static_cast<unsigned char>(packet.bytes[i]));
    }
    line.append("\",\"description\":");
    AppendJsonString(line, packet.description);
    line.append("}\n");
}

std::string JsonlPacketLine(const ExportedPacket& packet) {
    std::string line;
    AppendJsonlPacketLine(line, packet);
    return line;
}

}  // namespace orvane
