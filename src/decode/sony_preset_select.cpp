// The preset and select vocabulary: presets, edit points, edit preset channels, select modes.
#include "decode/sony_preset_select.hpp"

#include <array>

namespace orvane {

namespace {

// The phrase of each command; the presets, the edit preset and the selects get their tail in
// DescribePresetSelectCommand.
inline constexpr auto kPresetSelectNames = std::to_array<CodeName>({
    {0x00, "Timer-1 Preset"},
    {0x04, "Time Code Preset"},
    {0x05, "User Bit Preset"},
    {0x08, "Timer-1 Reset"},
    {0x10, "In Entry"},
    {0x11, "Out Entry"},
    {0x12, "Audio In Entry"},
    {0x13, "Audio Out Entry"},
    {0x14, "In Preset "},
    {0x15, "Out Preset "},
    {0x16, "Audio In Data Preset "},
    {0x17, "Audio Out Data Preset "},
    {0x18, "In + Shift"},
    {0x19, "In - Shift"},
    {0x1A, "Out + Shift"},
    {0x1B, "Out - Shift"},
    {0x1C, "Audio In + Shift"},
    {0x1D, "Audio In - Shift"},
    {0x1E, "Audio Out + Shift"},
    {0x1F, "Audio Out - Shift"},
    {0x20, "In Flag Reset"},
    {0x21, "Out Flag Reset"},
    {0x22, "Audio In Flag Reset"},
    {0x23, "Audio Out Flag Reset"},
    {0x24, "In Recall"},
    {0x25, "Out Recall"},
    {0x26, "Audio In Recall"},
    {0x27, "Audio Out Recall"},
    {0x2D, "Lost Lock Reset"},
    {0x30, "Edit Preset"},
    {0x31, "Preroll time preset = "},
    {0x32, "Tape/Auto Select "},
    {0x33, "Servo Ref Select - "},
    {0x34, "Head Select"},
    {0x35, "Color Frame Select"},
    {0x36, "Timer Mode Select"},
    {0x37, "Input Check "},
    {0x3A, "Edit Field Select"},
    {0x3B, "Freeze Mode Select "},
    {0x3C, "Set Postroll = "},
    {0x3E, "Record Inhibit"},
    {0x40, "Auto Mode Off"},
    {0x41, "Auto Mode On"},
    {0x42, "Spot Erase On"},
    {0x43, "Spot Erase Off"},
    {0x44, "Audio Split Off"},
    {0x45, "Audio Split On"},
    {0x78, "Doremi Sync Offset = "},
    {0x98, "Output H Phase"},
    {0x9B, "Output Video Phase"},
    {0xA0, "Audio Input Level"},
    {0xA1, "Audio Output Level"},
    {0xA2, "Audio Adv Level"},
    {0xA8, "Audio Output Phase"},
    {0xA9, "Audio Adv Out Phase"},
    {0xAA, "Cross Fade Time Preset"},
    {0xB8, "Local Key Map"},
    {0xF8, "Still Off time"},
    {0xFA, "Standby Off time"},
});
static_assert(IsStrictlyAscending(kPresetSelectNames));

// Mode names of the select commands, by DATA-1. A value not listed adds nothing.
inline constexpr auto kTapeAutoModes = std::to_array<CodeName>({
    {0, "Auto (Tape/EE)"},
    {1, "Tape"},
    {255, "Follows Menu Mode"},
});
inline constexpr auto kServoRefModes = std::to_array<CodeName>({
    {0, "Auto"},
    {1, "External"},
    {2, "Input"},
    {255, "Follows Menu Mode"},
});
inline constexpr auto kColorFrameModes = std::to_array<CodeName>({
    {1, " 2 field"},
    {2, " 4 field"},
    {3, " 8 field"},
    {255, " Follows Field Lock in system menu"},
});
inline constexpr auto kTimerModes = std::to_array<CodeName>({
    {0, " Time Code"},
    {1, " Timer 1"},
    {2, " Timer 2"},
    {255, " Follows Field Lock in system menu"},
});
inline constexpr auto kInputCheckModes = std::to_array<CodeName>({
    {0, " Off"},
    {1, " Input sent to Video & Audio Monitor Connectors"},
});
inline constexpr auto kEditFieldModes = std::to_array<CodeName>({
    {0, " F1/F2"},
    {1, " Field 1"},
    {2, " Field 2"},
    {255, " Follows Field Lock in system menu"},
});
inline constexpr auto kFreezeModes = std::to_array<CodeName>({
    {0, " F1/F2"},
    {1, " Field 1"},
    {0x10, " Field 2"},
    {0x11, " Frame"},
});
static_assert(IsStrictlyAscending(kTapeAutoModes) && IsStrictlyAscending(kServoRefModes) &&
              IsStrictlyAscending(kColorFrameModes) && IsStrictlyAscending(kTimerModes) &&
              IsStrictlyAscending(kInputCheckModes) && IsStrictlyAscending(kEditFieldModes) &&
              IsStrictlyAscending(kFreezeModes));

// Channel bits of the edit preset, each byte in the order its names are shown.
struct BitName {
    std::uint8_t bit;
    std::string_view name;
};
inline constexpr auto kEditPresetData1 = std::to_array<BitName>({
    {0x80, " bit7"},
    {0x40, " Insert"},
    {0x20, " Assemble"},
    {0x10, " V"},
    {0x01, " A1/Cue"},
    {0x02, " A2/Cue"},
    {0x04, " TC/A3"},
    {0x08, " Sync/A4"},
});
inline constexpr auto kEditPresetData2 = std::to_array<BitName>({
    {0x80, " DA8"},
    {0x40, " DA7"},
    {0x20, " DA6"},
    {0x10, " DA5"},
    {0x08, " DA4"},
    {0x04, " DA3"},
    {0x02, " DA2"},
    {0x01, " DA1"},
});
inline constexpr auto kEditPresetData3 = std::to_array<BitName>({
    {0x80, " DA16"},
    {0x40, " DA15"},
    {0x20, " DA14"},
    {0x10, " DA13"},
    {0x08, " DA12"},
    {0x04, " DA11"},
    {0x02, " DA10"},
    {0x01, " DA9"},
});

void AppendSetBits(std::string& text, const std::array<BitName, 8>& names, std::int32_t value) {
    for (const BitName& entry : names) {
        if (value & entry.bit) text += entry.name;
    }
}

// Edit preset: the video, audio and time-code channels the next edit records.
void AppendEditPresetChannels(std::string& text, const SonyPacket& packet) {
    if (packet.data[0] == 0) text += " All Off";
    AppendSetBits(text, kEditPresetData1, packet.data[0]);
    if (packet.dataCount > 1) AppendSetBits(text, kEditPresetData2, packet.data[1]);
    if (packet.dataCount > 2) AppendSetBits(text, kEditPresetData3, packet.data[2]);
    // Decks with more than 16 digital audio tracks send further bytes; they are not named.
    if (packet.dataCount > 3) text += " >16 audio tracks";
}

// An Odetics in point: the start of the loaded clip, a time code, a clip, or a clip and a time.
void AppendOdeticsInPreset(std::string& text, const SonyPacket& packet) {
    switch (packet.dataCount) {
        case 0:
            text += ", Start of Loaded Clip";
            break;
        case 4:
            text += RawTimeCode(packet);
            break;
        case 8:
            text += ClipName(packet, 0);
            break;
        case 12:
            text += ClipName(packet, 4);
            text += " at ";
            text += RawTimeCode(packet);
            break;
        default:
            text += " Invalid data";
            break;
    }
}

// An Odetics out point: the end of the loaded clip or a time code.
void AppendOdeticsOutPreset(std::string& text, const SonyPacket& packet) {
    switch (packet.dataCount) {
        case 0:
            text += ", To End of Loaded Clip";
            break;
        case 4:
            text += RawTimeCode(packet);
            break;
        default:
            text += " Invalid data";
            break;
    }
}

template <std::size_t N>
void AppendMode(std::string& text, const std::array<CodeName, N>& modes, std::int32_t value) {
    text += FindName(modes, value);
}

}  // namespace

std::string DescribePresetSelectCommand(const SonyPacket& packet, bool odeticsMode) {
    const std::string_view name = FindName(kPresetSelectNames, packet.cmd2);
    if (name.empty()) return " Unknown Preset and Select Command";

    std::string text(name);
    switch (packet.cmd2) {
        case 0x14:  // in preset
            text += TimeCodeText(packet);
            if (odeticsMode) AppendOdeticsInPreset(text, packet);
            break;
        case 0x15:  // out preset
            text += TimeCodeText(packet);
            if (odeticsMode) AppendOdeticsOutPreset(text, packet);
            break;
        case 0x16:  // audio in and out data presets carry the clip's in and out points on Odetics
        case 0x17:
            if (odeticsMode) {
                text = packet.cmd2 == 0x16 ? "Odetics In Preset = " : "Odetics Out Preset = ";
                text += RawTimeCode(packet);
            } else {
                text += TimeCodeText(packet);
            }
            break;
        case 0x30:
            AppendEditPresetChannels(text, packet);
            break;
        case 0x31:  // preroll time preset
        case 0x3C:  // set postroll
            text += TimeCodeText(packet);
            break;
        case 0x32:
            AppendMode(text, kTapeAutoModes, packet.data[0]);
            break;
        case 0x33:
            AppendMode(text, kServoRefModes, packet.data[0]);
            break;
        case 0x35:
            AppendMode(text, kColorFrameModes, packet.data[0]);
            break;
        case 0x36:
            AppendMode(text, kTimerModes, packet.data[0]);
            break;
        case 0x37:
            AppendMode(text, kInputCheckModes, packet.data[0]);
            break;
        case 0x3A:
            AppendMode(text, kEditFieldModes, packet.data[0]);
            break;
        case 0x3B:
            AppendMode(text, kFreezeModes, packet.data[0]);
            break;
        default:
            break;
    }
    return text;
}

}  // namespace orvane
