// The status flag names of status bytes 0 to 7, and the reading of a status reply against them.
#include "decode/sony_status_data.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

#include "decode/sony_packet.hpp"
#include "decode/text_format.hpp"

namespace orvane {

namespace {

constexpr std::size_t kNamedStatusBytes = 8;
using StatusBitRow = std::array<std::string_view, kNamedStatusBytes>;

// One row per bit (bit 0 first), one column per status byte (byte 0 first). Status bytes 8 and
// higher have no names.
inline constexpr std::array<StatusBitRow, 8> kStatusBitNames = {{
    {"Local", "Play", "Cue Up", "In", "Preroll", "A1", "Play LED", "Unknow"},
    {"Unknown", "Record", "Still", "Out", "Preview", "A2", "Repeat LED", "Unknow"},
    {"Unknown", "FF", "Play Dir Rev = 1", "Unknown", "Auto Edit", "TC/A3", "Chase LED", "Unknow"},
    {"Disk Not Ready", "Rew", "Var", "Unknown", "Review", "Sync/A4", "Unknown", "Unknow"},
    {"Servo Ref Missing", "Unknown", "Jog", "Unknown", "Edit On", "Video", "Rev LED", "Unknow"},
    {"No Disk", "Stop", "Shuttle", "Unknown", "Search To Cue", "Assemble", "Fwd LED", "Unknow"},
    {"Message Pending", "Unknown", "Unknown", "Unknown", "Full EE On", "Insert", "Unknown",
     "Unknow"},
    {"Unknown", "Standby", "Servo Lock", "Auto Mode", "Select EE On", "Unknown", "Unknown",
     "Unknow"},
}};

// The deck sends at most 15 status bytes in one reply (data count 15).
constexpr std::size_t kMaxReplyValues = 15;

constexpr std::string_view kSeparator = ", ";

}  // namespace

std::string DecodeStatusData(std::string_view replyText, std::string_view lastStatusSense) {
    std::string text = "Status Data: ";
    if (lastStatusSense.size() >= 8) {
        const auto senseByte = static_cast<int>(ReadHexField(lastStatusSense.substr(6, 2)) & 0xFF);
        const int start = senseByte >> 4;
        const int count = senseByte & 0x0F;

        // The reply's data bytes: its fields after CMD1 and CMD2, up to the one before the
        // checksum. The reply does not repeat the byte numbers; they follow from the request.
        const std::string_view reply = TrimSpaces(replyText);
        const auto fieldCount =
            reply.empty()
                ? 0
                : static_cast<std::size_t>(std::count(reply.begin(), reply.end(), ' ')) + 1;
        std::array<int, kMaxReplyValues> values{};
        std::size_t index = 0;
        ForEachField(reply, [&](std::string_view field) {
            if (index + 1 >= fieldCount) return false;  // the checksum
            if (index >= 2) values[index - 2] = static_cast<int>(ReadHexField(field) & 0xFF);
            ++index;
            return index < 2 + kMaxReplyValues;
        });

        for (int i = 0; i < count; ++i) {
            const int statusByte = start + i;
            if (statusByte >= static_cast<int>(kNamedStatusBytes)) continue;
            const int value = values[static_cast<std::size_t>(i)];
            for (std::size_t bit = 0; bit < 8; ++bit) {
                if (value & (1 << bit)) {
                    text += kStatusBitNames[bit][static_cast<std::size_t>(statusByte)];
                    text += kSeparator;
                }
            }
        }
    }
    if (text.ends_with(kSeparator)) text.resize(text.size() - kSeparator.size());
    return text;
}

}  // namespace orvane
