// The transport control vocabulary: fixed phrases, speed texts, step counts and cue-up texts.
#include "decode/sony_transport.hpp"

#include <array>
#include <cmath>

#include "decode/text_format.hpp"

namespace orvane {

namespace {

// The phrase of each command; the commands with data get their tail in DescribeTransportCommand.
// Cue up with data (0x31) has no phrase of its own: its text depends on the data count alone.
inline constexpr auto kTransportNames = std::to_array<CodeName>({
    {0x00, "Stop"},
    {0x01, "Play"},
    {0x02, "Record"},
    {0x04, "Standby Off"},
    {0x05, "Standby On"},
    {0x0D, "DMC Start"},
    {0x0F, "Eject"},
    {0x10, "Fast Forward"},
    {0x11, "Jog Forward "},
    {0x12, "Variable Forward "},
    {0x13, "Shuttle Forward "},
    {0x14, "Step Forward"},
    {0x20, "Rewind"},
    {0x21, "Jog Reverse "},
    {0x22, "Variable Reverse "},
    {0x23, "Shuttle Reverse "},
    {0x24, "Step Reverse"},
    {0x30, "Cue with preroll"},
    {0x34, "Sync Play"},
    {0x37, "Doremi Chase"},
    {0x38, "Program Play +"},
    {0x39, "Program Play -"},
    {0x3C, "DMC cue up with preroll"},
    {0x40, "Preview"},
    {0x41, "Review"},
    {0x42, "Auto Edit"},
    {0x43, "Outpoint Preview"},
    {0x4B, "DMC Run"},
    {0x4C, "DMC Preview"},
    {0x52, "Tension Release"},
    {0x54, "Anticlog Timer Disable"},
    {0x55, "Anticlog Timer Enable"},
    {0x5C, "DMC Set Forward"},
    {0x5D, "DMC Set Reverse"},
    {0x60, "Full EE Off"},
    {0x61, "Full EE On"},
    {0x63, "Select EE On"},
    {0x64, "Edit Off (Select EE Off)"},
    {0x65, "Edit On"},
    {0x6A, "Freeze Off"},
    {0x6B, "Freeze On"},
    {0x90, "Doremi Chase Off"},
    {0x91, "Doremi Chase On"},
    {0x92, "Doremi Update Fields"},
    {0xA7, "Doremi Loop Segment "},
    {0xAC, "Doremi Save Segment "},
});
static_assert(IsStrictlyAscending(kTransportNames));

constexpr std::int32_t kCueUpWithData = 0x31;

// Cue up with data: what the controller asks for depends on how many data bytes it sends.
std::string CueUpText(const SonyPacket& packet, bool odeticsMode) {
    std::string text;
    switch (packet.dataCount) {
        case 0:
            if (odeticsMode) text = "Odetics Cue to First Frame of Clip";
            break;
        case 4:
            text = "Cueup with data ";
            text += RawTimeCode(packet);
            break;
        case 8:
            text = "Odetics Load Clip & Cue to First Frame: ";
            text += ClipName(packet, 0);
            break;
        case 12:
            text = "Odeteics Load Clip & Cue to: ";
            text += RawTimeCode(packet);
            text += "   Clip: ";
            text += ClipName(packet, 4);
            break;
        default:
            break;
    }
    return text;
}

}  // namespace

double SonySpeedValue(std::int32_t dataCount, std::int32_t data0, std::int32_t data1) {
    const double s0 = std::pow(10.0, data0 / 32.0 - 2.0);
    if (dataCount == 1) return s0;
    const double s1 = std::pow(10.0, (data0 + 1) / 32.0 - 2.0);
    return s0 + (data1 / 256.0) * (s1 - s0);
}

std::string DescribeTransportCommand(const SonyPacket& packet, bool odeticsMode) {
    if (packet.cmd2 == kCueUpWithData) return CueUpText(packet, odeticsMode);

    const std::string_view name = FindName(kTransportNames, packet.cmd2);
    if (name.empty()) return "Unknown Transport Command";

    std::string text(name);
    switch (packet.cmd2) {
        case 0x11:  // jog, variable and shuttle, forward and reverse
        case 0x12:
        case 0x13:
        case 0x21:
        case 0x22:
        case 0x23:
            text += SpeedText(SonySpeedValue(packet.dataCount, packet.data[0], packet.data[1]));
            text += "x";
            break;
        case 0x14:  // step forward and reverse: DATA-1 fields
        case 0x24:
            text += NumberText(packet.data[0]);
            text += " ";
            text += "field(s)";
            break;
        case 0x38:  // program play: DATA-1 in tenths of a percent
        case 0x39:
            text += NumberText(packet.data[0] / 10.0);
            text += "%";
            break;
        case 0x5C:  // DMC set speed: the exact speed, not the jog mask
        case 0x5D:
            text += NumberText(SonySpeedValue(packet.dataCount, packet.data[0], packet.data[1]));
            text += "x";
            break;
        default:
            break;
    }
    return text;
}

}  // namespace orvane
