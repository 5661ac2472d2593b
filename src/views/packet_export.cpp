// One exported packet of the Packet View, and its JSON Lines form for scripts.
#include "views/packet_export.hpp"

#include <algorithm>
#include <charconv>

#include "capture/hex_dump.hpp"
#include "capture/packet_numbering.hpp"
#include "views/capture_lists.hpp"
#include "views/utf8_text.hpp"

namespace orvane {
namespace {

void AppendNumber(std::string& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

// Seconds with three decimals back to milliseconds: "0012.345" is 12345.
std::int64_t TimeTextMs(std::string_view text) {
    std::int64_t ms = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') ms = ms * 10 + (c - '0');
    }
    return ms;
}

// "61 0C 03 70 " back to its bytes.
std::string BytesOfHexText(std::string_view text) {
    const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
        bytes.push_back(static_cast<char>(digit(text[i]) * 16 + digit(text[i + 1])));
    }
    return bytes;
}

}  // namespace

bool ForEachBoundedPacket(CaptureModel& model, ProtocolMode protocolMode, const FilterFlags& flags,
                          std::int64_t startTimeUs, const ExportVisitor& visit) {
    CaptureLists lists;
    Decoder decoder(protocolMode);
    FixedViewState viewState(ViewKind::Packet, flags);
    lists.RefreshList(model, decoder, viewState, Trace{});
    const ListModel& list = lists.packetList;
    const std::int64_t firstMs = model.byteCount > 0 ? model.capturedBytes[1].timeMs : 0;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        const std::string bytes = BytesOfHexText(list.CellView(row, 3));
        ExportedPacket packet;
        packet.number = static_cast<std::uint64_t>(row) + 1;
        packet.timeText = list.CellView(row, 1);
        packet.timeUs = startTimeUs + (TimeTextMs(packet.timeText) - firstMs) * 1000;
        packet.direction = list.CellView(row, 2) == "VTR" ? kSideDevice : kSideController;
        packet.bytes = bytes;
        packet.description = list.CellView(row, 4);
        if (!visit(packet)) return false;
    }
    return true;
}

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
    line.append(",\"latency_ms\":");
    if (packet.latencyMs) {
        AppendNumber(line, *packet.latencyMs);
    } else {
        line.append("null");
    }
    line.append(",\"verdict\":");
    AppendJsonString(line, packet.verdict);
    line.append("}\n");
}

std::string JsonlPacketLine(const ExportedPacket& packet) {
    std::string line;
    AppendJsonlPacketLine(line, packet);
    return line;
}

}  // namespace orvane
