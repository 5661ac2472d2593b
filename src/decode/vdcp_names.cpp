// The VDCP command vocabulary: one name per command type (0..8) and command code (0..255).
#include "decode/vdcp_names.hpp"

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvane {

namespace {

struct TypeCodeName {
    std::uint8_t type;
    std::uint8_t code;
    std::string_view name;
};

// By type, then by code; the two-column groups are written left column first. "\x92" is the
// Windows-1252 right single quotation mark two names carry instead of an apostrophe.
inline constexpr auto kVdcpCommandNames = std::to_array<TypeCodeName>({
    // Type 0: system commands.
    {0, 0x0C, "Local Disable"},
    {0, 0x0D, "Local Enable"},
    {0, 0x14, "Delete From Archive"},
    {0, 0x15, "Delete Protected Id"},
    {0, 0x16, "Undelete Protect Id"},
    // Type 1: immediate commands.
    {1, 0x00, "Stop"},
    {1, 0x01, "Play"},
    {1, 0x02, "Record"},
    {1, 0x03, "Freeze"},
    {1, 0x04, "Still"},
    {1, 0x05, "Step"},
    {1, 0x06, "Continue"},
    {1, 0x07, "Jog"},
    {1, 0x08, "Vari. Play"},
    {1, 0x09, "Unfreeze"},
    {1, 0x0A, "EE Mode"},
    // Type 2: preset and select commands.
    {2, 0x1D, "Rename ID"},
    {2, 0x1E, "Preset Std. Time"},
    {2, 0x1F, "New Copy"},
    {2, 0x20, "Sort Mode"},
    {2, 0x21, "Close Port"},
    {2, 0x22, "Select Port"},
    {2, 0x23, "Record Init"},
    {2, 0x24, "Play Cue"},
    {2, 0x25, "Cue With Data"},
    {2, 0x26, "Delete ID"},
    {2, 0x27, "Get From Archive"},
    {2, 0x29, "Clear"},
    {2, 0x2A, "Send TO Archive"},
    {2, 0x2B, "% To Signal Full"},
    {2, 0x2C, "Record Init With Data"},
    {2, 0x2D, "Select Logical Drive"},
    {2, 0x2E, "System Delete ID"},
    {2, 0x30, "Preset"},
    {2, 0x31, "Vid. Compr. Rate"},
    {2, 0x32, "Aud. Sample Rate"},
    {2, 0x33, "Aud, Comp. Rate"},
    {2, 0x34, "Audio In Level"},
    {2, 0x35, "Audio Out Level"},
    {2, 0x37, "Vid. Compr. Param."},
    {2, 0x38, "Select Output"},
    {2, 0x39, "Select Input"},
    {2, 0x3A, "Record Mode"},
    {2, 0x41, "SC Adjust"},
    {2, 0x42, "H. Pos. Adjust"},
    {2, 0x43, "Disk Preroll"},
    {2, 0x50, "Copy File TO"},
    {2, 0x51, "Delete File From"},
    {2, 0x52, "Abort Copy File TO"},
    // Type 3: sense requests (codes below 0x80) and the deck's replies (0x80 and above).
    {3, 0x01, "Open Port"},
    {3, 0x02, "Next Id"},
    {3, 0x03, "Last"},
    {3, 0x05, "Port Status Request"},
    {3, 0x06, "Position Request"},
    {3, 0x07, "Active ID Request"},
    {3, 0x08, "Device Type Request"},
    {3, 0x10, "Syst. Status Request"},
    {3, 0x11, "ID List"},
    {3, 0x14, "ID Size Request"},
    {3, 0x15, "ID\x92s Added TO Arch."},
    {3, 0x16, "ID Request"},
    {3, 0x17, "Compr. Settings Request"},
    {3, 0x18, "ID's Added List"},
    {3, 0x19, "ID's Deleted List"},
    {3, 0x25, "Multi Port Status Request"},
    {3, 0x81, "Open Port"},
    {3, 0x82, "List of Id's "},
    {3, 0x83, "Last Response"},
    {3, 0x85, "State Status"},
    {3, 0x86, "Position"},
    {3, 0x87, "Active ID"},
    {3, 0x88, "Device Type"},
    {3, 0x90, "Syst. Status"},
    {3, 0x91, "List of ID's"},
    {3, 0x94, "ID Size"},
    {3, 0x95, "List ID\x92s Trans."},
    {3, 0x96, "ID Presence"},
    {3, 0x97, "Compr. Settings"},
    {3, 0x98, "ID's Added List"},
    {3, 0x99, "ID's Deleted List"},
    {3, 0xA5, "State Status"},
    // Type 5: macro and file commands.
    {5, 0x60, "Abort Macro#"},
    {5, 0x61, "Active Macro List"},
    {5, 0x62, "Macro STATUS"},
    {5, 0x63, "Copy File TO"},
    {5, 0x64, "Get From Archive"},
    {5, 0x65, "Send TO Archive"},
    {5, 0x66, "Prepare ID TO Play"},
    {5, 0x67, "Close ID From Play"},
});

constexpr int Key(int type, int code) { return type * 256 + code; }

constexpr bool IsStrictlyAscending(const auto& table) {
    for (std::size_t i = 1; i < table.size(); ++i) {
        if (Key(table[i - 1].type, table[i - 1].code) >= Key(table[i].type, table[i].code)) {
            return false;
        }
    }
    return true;
}

static_assert(kVdcpCommandNames.size() == 89, "the vocabulary has exactly 89 names");
static_assert(IsStrictlyAscending(kVdcpCommandNames), "sorted by type and code, no duplicates");
static_assert(kVdcpCommandNames.back().type <= 8, "command types run from 0 to 8");

}  // namespace

std::string_view VdcpCommandName(int commandType, int commandCode) {
    if (commandType < 0 || commandType > 8 || commandCode < 0 || commandCode > 0xFF) return {};
    const int key = Key(commandType, commandCode);
    const auto* entry =
        std::lower_bound(kVdcpCommandNames.begin(), kVdcpCommandNames.end(), key,
                         [](const TypeCodeName& e, int k) { return Key(e.type, e.code) < k; });
    if (entry == kVdcpCommandNames.end() || Key(entry->type, entry->code) != key) return {};
    return entry->name;
}

}  // namespace orvane
