// The Doremi disk vocabulary: disk maintenance commands and the channel control.
#include "decode/sony_doremi_disk.hpp"

#include <array>

namespace orvane {

namespace {

// These commands carry no data the deck's operator needs; the phrases keep their trailing space.
inline constexpr auto kDoremiDiskNames = std::to_array<CodeName>({
    {0x04, "Doremi Initialize Disks "},
    {0x05, "Doremi Format Disk "},
    {0x06, "Doremi Reserved Command "},
    {0x07, "Doremi Mount Active Disks "},
    {0x08, "Doremi Stripe Timecode "},
    {0x09, "Doremi Reset V1 "},
    {0x0A, "Doremi Mount Specific Disk ID in DATA1 "},
});
static_assert(IsStrictlyAscending(kDoremiDiskNames));

// Channel control (0x10): DATA-1 says whether the channel records or plays.
inline constexpr auto kChannelControlNames = std::to_array<CodeName>({
    {0, "Doremi Channel Control = Recorder"},
    {1, "Doremi Channel Control = Player"},
});
static_assert(IsStrictlyAscending(kChannelControlNames));

constexpr std::int32_t kChannelControl = 0x10;

}  // namespace

std::string DescribeDoremiDiskCommand(const SonyPacket& packet) {
    if (packet.cmd2 == kChannelControl) {
        const std::string_view mode = FindName(kChannelControlNames, packet.data[0]);
        return mode.empty() ? std::string(" Unknown Doremi Channel Control") : std::string(mode);
    }
    const std::string_view name = FindName(kDoremiDiskNames, packet.cmd2);
    return name.empty() ? std::string(" Unknown Doremi Command") : std::string(name);
}

}  // namespace orvane
