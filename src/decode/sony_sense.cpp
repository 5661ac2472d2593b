// The sense and reply vocabularies: requests, time data, start and count, time-sense flags.
#include "decode/sony_sense.hpp"

#include <array>

#include "decode/sony_status_data.hpp"
#include "decode/text_format.hpp"

namespace orvane {

namespace {

// The phrase of each request; the current time sense and the two start-and-count senses get
// their tail in DescribeSenseRequest.
inline constexpr auto kSenseRequestNames = std::to_array<CodeName>({
    {0x0A, "TC Gen Sense"},
    {0x0C, "Current Time Sense"},
    {0x10, "In Data Sense"},
    {0x11, "Out Data Sense"},
    {0x12, "Audio In Data Sense"},
    {0x13, "Audio Out Data Sense"},
    {0x20, "Status Sense, Start at "},
    {0x21, "Extended VTR Status"},
    {0x23, "Signal Control Sense"},
    {0x28, "Local Key Map Sense"},
    {0x2A, "Head Meter Sense"},
    {0x2B, "Remaining Time Sense"},
    {0x2E, "Cmd Speed Sense"},
    {0x30, "Edit Preset Sense, Start at "},
    {0x31, "Preroll Time Sense"},
    {0x36, "Timer Mode Sense"},
    {0x3E, "Record Inhibit Sense"},
    {0x52, "DA Inp Emph Sense"},
    {0x53, "DA PB Emph Sense"},
    {0x58, "DA Samp. Freq. Sense"},
    {0xAA, "Cross Fade Time Sense"},
});
static_assert(IsStrictlyAscending(kSenseRequestNames));

struct ReplyName {
    std::uint8_t code;
    std::string_view name;
    bool withTimeCode;  // the reply carries four time or user-bit bytes
};

// The status reply (0x20) has no phrase of its own: its text is the status data.
inline constexpr auto kReplyNames = std::to_array<ReplyName>({
    {0x00, "CTL Time Data ", true},
    {0x01, "Timer 2 Data ", true},
    {0x04, "LTC Time Data ", true},
    {0x05, "User Bits Data ", true},
    {0x06, "VITC Time Data ", true},
    {0x07, "VITC User Bits Data ", true},
    {0x08, "Generator Time Data ", true},
    {0x09, "Generator User Bits Data ", true},
    {0x0D, "Request Time Data Missing", false},
    {0x10, "In Data ", true},
    {0x11, "Out Data ", true},
    {0x12, "Audio In Data ", true},
    {0x13, "Audio Out Data ", true},
    {0x14, "LTC Interpolated LTC Time Data ", true},
    {0x15, "Hold User Bits (LTC) Data ", true},
    {0x16, "Hold VITC Time Data ", true},
    {0x17, "Hold User Bits (VITC) Data ", true},
    {0x21, "Extended Status Data", false},
    {0x23, "Signal Control Data", false},
    {0x28, "Local Key Map", false},
    {0x2A, "Head Meter Data", false},
    {0x2B, "Remaining Time", false},
    {0x2E, "Cmd Speed Data", false},
    {0x30, "Edit Preset Status", false},
    {0x31, "Preroll Time", false},
    {0x36, "Timer Mode Status", false},
    {0x3E, "Record Inhibit Status", false},
    {0x52, "DA Input Emphasis Data", false},
    {0x53, "DA Playback Emphasis Data", false},
    {0x58, "DA Sampling Frequency Data", false},
    {0xAA, "Cross Fade Time Data", false},
});
static_assert(IsStrictlyAscending(kReplyNames));

// Current time sense, DATA-1: which time the controller asks for.
struct BitName {
    std::uint8_t bit;
    std::string_view name;
};
inline constexpr auto kTimeSenseFlags = std::to_array<BitName>({
    {0x80, " bit7"},
    {0x40, " bit6"},
    {0x20, " VITC UB"},
    {0x10, " LTC UB"},
    {0x08, " bit3"},
});
inline constexpr auto kTimeSenseSources = std::to_array<CodeName>({
    {1, " LTC"},
    {2, " VITC"},
    {3, " Auto"},
    {4, " CTL"},
});
static_assert(IsStrictlyAscending(kTimeSenseSources));

constexpr std::int32_t kCurrentTimeSense = 0x0C;
constexpr std::int32_t kStatusSense = 0x20;
constexpr std::int32_t kEditPresetSense = 0x30;
constexpr std::int32_t kStatusData = 0x20;

void AppendTimeSenseFlags(std::string& text, std::int32_t data1) {
    if (data1 == 0) text += " No Timecode flag set";
    for (const BitName& flag : kTimeSenseFlags) {
        if (data1 & flag.bit) text += flag.name;
    }
    text += FindName(kTimeSenseSources, data1 & 0x0F);
}

// DATA-1 of the status and edit preset senses: the first byte asked for (high nibble) and how
// many (low nibble).
void AppendStartAndCount(std::string& text, std::int32_t data1) {
    const std::int32_t count = data1 & 0x0F;
    text += OneDigitHex(data1 >> 4);
    text += " get";
    text += NumberText(count);
    text += count == 1 ? " byte" : " bytes";
}

}  // namespace

std::string DescribeSenseRequest(const SonyPacket& packet, std::string& lastStatusSense) {
    const std::string_view name = FindName(kSenseRequestNames, packet.cmd2);
    if (name.empty()) return " Unknown Sense Request";

    std::string text(name);
    switch (packet.cmd2) {
        case kCurrentTimeSense:
            AppendTimeSenseFlags(text, packet.data[0]);
            break;
        case kStatusSense:
            AppendStartAndCount(text, packet.data[0]);
            lastStatusSense.assign(packet.text);
            break;
        case kEditPresetSense:
            AppendStartAndCount(text, packet.data[0]);
            break;
        default:
            break;
    }
    return text;
}

std::string DescribeSenseReply(const SonyPacket& packet, const std::string& lastStatusSense) {
    if (packet.cmd2 == kStatusData) return DecodeStatusData(packet.text, lastStatusSense);

    const ReplyName* reply = FindEntry(kReplyNames, packet.cmd2);
    if (reply == nullptr) return "Unknown Data Response";

    std::string text(reply->name);
    if (reply->withTimeCode) text += TimeCodeText(packet);
    return text;
}

}  // namespace orvane
