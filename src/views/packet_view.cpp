// The Packet View fill: one row per shown packet, with its time, side, bytes and description.
#include "views/packet_view.hpp"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "views/row_text.hpp"

namespace orvane {

namespace {

// The second TAB-separated field of a packet line: the packet's hexadecimal text.
std::string_view PacketData(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return {};
    std::string_view data = line.substr(tab + 1);
    return data.substr(0, data.find('\t'));
}

std::string_view StripSpaces(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Reads leading hexadecimal digits; a field without any reads as 0.
int HexValue(std::string_view field) {
    int value = 0;
    for (char c : field) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            break;
        }
        value = std::min(value * 16 + digit, 0xFFFFFF);
    }
    return value;
}

// Whether a stripped VDCP packet text is a whole message: an STX frame whose field count is its
// byte-count byte plus STX, byte count and checksum, or a lone acknowledge "04", or a
// not-acknowledge "05" with or without its one error byte.
bool IsWholeVdcpPacket(std::string_view stripped) {
    if (stripped == "04" || stripped == "05") return true;
    if (stripped.size() == 5 && stripped.substr(0, 3) == "05 ") return true;
    if (stripped.substr(0, 2) != "02") return false;
    const auto fieldCount = static_cast<int>(std::count(stripped.begin(), stripped.end(), ' ')) + 1;
    std::string_view byteCountField;
    if (const std::size_t space = stripped.find(' '); space != std::string_view::npos) {
        byteCountField = stripped.substr(space + 1);
        byteCountField = byteCountField.substr(0, byteCountField.find(' '));
    }
    return fieldCount == 3 + HexValue(byteCountField);
}

// The capture may have begun inside a VDCP message; such a cut-off first packet is dropped.
void CheckFirstVdcpPacket(CaptureModel& model, const Trace& trace) {
    if (model.lastPacketIndex < 0 || model.packetLines.empty()) return;
    std::string& line = model.packetLines.front().text;
    const std::string_view stripped = StripSpaces(PacketData(line));
    if (stripped.empty() || IsWholeVdcpPacket(stripped)) return;
    if (trace.debugTrace) {
        std::string message = "Bad Packet: ";
        message.append(stripped);
        message.push_back(' ');
        trace.Debug(message);
    }
    line.clear();
}

}  // namespace

void FillPacketView(CaptureModel& model, Decoder& decoder, const FilterFlags& flags,
                    const Trace& trace, ListModel& list, const CancelCheck& isCancelled) {
    const ProtocolMode protocolMode = decoder.protocolMode();
    if (protocolMode == ProtocolMode::kVdcp) CheckFirstVdcpPacket(model, trace);

    const int last = std::min(
        {model.lastPacketIndex, kMaxPacketIndex, static_cast<int>(model.packetLines.size()) - 1});
    list.Reserve(last + 1);
    int rowCount = 0;
    for (int index = 0; index <= last; ++index) {
        if (isCancelled && isCancelled()) return;
        const PacketLine& packet = model.packetLines[static_cast<std::size_t>(index)];
        const std::string_view line = packet.text;
        if (line.empty()) continue;

        const auto direction = static_cast<unsigned char>(line.front());
        std::string_view id;
        if (direction == kDirectionController) {
            id = "Ctrl";
        } else if (direction == kDirectionDevice) {
            id = "VTR";
        } else {
            continue;
        }
        const std::size_t tab = line.find('\t');
        const std::string_view timeText =
            line.substr(1, tab == std::string_view::npos ? tab : tab - 1);
        const std::string_view data = PacketData(line);
        if (IsPacketHidden(data, direction, protocolMode, flags, ViewKind::Packet)) continue;

        std::int32_t blockSeq = 0;
        if (packet.firstByteIndex >= 0 &&
            packet.firstByteIndex < static_cast<int>(model.capturedBytes.size())) {
            blockSeq =
                model.capturedBytes[static_cast<std::size_t>(packet.firstByteIndex)].blockSeq;
        }

        ++rowCount;
        const int row = list.InsertItem(rowCount - 1, EventText(rowCount));
        list.SetItemText(row, 1, timeText);
        list.SetItemText(row, 2, id);
        list.SetItemText(row, 3, data);
        list.SetItemText(row, 4, decoder.DecodePacket(data));
        list.SetItemText(row, 5, UpperHexText(blockSeq));
    }
}

}  // namespace orvane
