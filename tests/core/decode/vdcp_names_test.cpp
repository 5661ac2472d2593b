// Tests of the VDCP command vocabulary: names by command type and code.
#include "decode/vdcp_names.hpp"

#include <gtest/gtest.h>

#include <string_view>

namespace orvane {
namespace {

TEST(VdcpCommandName, NamesByTypeAndCode) {
    InitVdcpCommandNames();
    struct Case {
        int type;
        int code;
        std::string_view name;
    };
    const Case cases[] = {
        {1, 0x01, "Play"},
        {1, 0x0B, ""},
        {0, 0x0C, "Local Disable"},
        {0, 0x16, "Undelete Protect Id"},
        {1, 0x0A, "EE Mode"},
        {2, 0x1D, "Rename ID"},
        {2, 0x33, "Aud, Comp. Rate"},
        {2, 0x52, "Abort Copy File TO"},
        {2, 0x28, ""},
        {3, 0x85, "State Status"},
        {3, 0xA5, "State Status"},
        {3, 0x01, "Open Port"},
        {3, 0x81, "Open Port"},
        {3, 0x82, "List of Id's "},  // ends with a space
        {3, 0x15, "ID\x92s Added TO Arch."},
        {3, 0x95, "List ID\x92s Trans."},
        {3, 0x18, "ID's Added List"},
        {3, 0x98, "ID's Added List"},
        {3, 0x19, "ID's Deleted List"},
        {3, 0x99, "ID's Deleted List"},
        {2, 0x50, "Copy File TO"},
        {5, 0x63, "Copy File TO"},
        {2, 0x27, "Get From Archive"},
        {5, 0x64, "Get From Archive"},
        {2, 0x2A, "Send TO Archive"},
        {5, 0x65, "Send TO Archive"},
        {5, 0x60, "Abort Macro#"},
        {5, 0x67, "Close ID From Play"},
        {4, 0x01, ""},
        {8, 0x00, ""},
        {9, 0x01, ""},
        {-1, 0x01, ""},
        {1, -1, ""},
        {1, 0x101, ""},  // would be "Play" if only the low byte were looked at
        {0x7FFFFFFF, 0x7FFFFFFF, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VdcpCommandName(c.type, c.code), c.name) << c.type << ' ' << c.code;
    }
}

TEST(VdcpCommandName, SweepFindsExactly89NamesInTheirTypes) {
    int total = 0;
    int perType[9] = {};
    for (int type = 0; type <= 8; ++type) {
        for (int code = 0; code <= 0xFF; ++code) {
            const std::string_view name = VdcpCommandName(type, code);
            if (name.empty()) continue;
            ++total;
            ++perType[type];
            if (type != 3) {
                EXPECT_LT(code, 0x80) << "only type 3 has replies";
            }
        }
    }
    EXPECT_EQ(total, 89);
    const int expected[9] = {5, 11, 33, 32, 0, 8, 0, 0, 0};
    for (int type = 0; type <= 8; ++type) {
        EXPECT_EQ(perType[type], expected[type]) << type;
    }
}

}  // namespace
}  // namespace orvane
