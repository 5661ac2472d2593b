// Sweeps of every command byte in every protocol mode: nothing fails, known codes are named.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include "decode/decoder.hpp"
#include "decode/text_format.hpp"
#include "decode/vdcp_names.hpp"

namespace orvane {
namespace {

std::string ByteText(int value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X ", value & 0xFF);
    return text;
}

// A packet text with a correct checksum: CMD1, CMD2, then as many data bytes 11, 22, ... as
// CMD1's data count asks for.
std::string SonyText(int cmd1, int cmd2) {
    std::string text = ByteText(cmd1) + ByteText(cmd2);
    int sum = cmd1 + cmd2;
    for (int i = 1; i <= (cmd1 & 0x0F); ++i) {
        text += ByteText(0x11 * i);
        sum += 0x11 * i;
    }
    return text + ByteText(sum);
}

TEST(DecodeSweep, EverySonyCommandByteInEveryMode) {
    // Per group: the fallback text and how many CMD2 values have a description of their own.
    // The system group answers only its fixed keys; other groups without a table stay empty.
    const std::map<int, std::pair<std::string_view, int>> kGroups = {
        {0x20, {"Unknown Transport Command", 47}},
        {0x30, {" Unknown Doremi Command", 8}},
        {0x40, {" Unknown Preset and Select Command", 59}},
        {0x60, {" Unknown Sense Request", 21}},
        {0x70, {"Unknown Data Response", 32}},
    };
    const std::map<int, int> kSystemKeys = {{0x00, 3}, {0x10, 1}, {0x11, 1}, {0x12, 1}};
    Decoder vdcp(ProtocolMode::kVdcp);
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kOdetics}) {
        Decoder decoder(mode);
        for (int cmd1 = 0; cmd1 < 256; ++cmd1) {
            const auto group = kGroups.find(cmd1 & 0xF0);
            const std::string_view fallback = group == kGroups.end() ? "" : group->second.first;
            int named = 0;
            int vdcpDiffers = 0;
            for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
                const std::string text = SonyText(cmd1, cmd2);
                if (decoder.DecodePacket(text) != fallback) ++named;
                // VDCP mode hands the same texts, untouched, to the VDCP decoder.
                if (mode == ProtocolMode::kSony && vdcp.DecodePacket(text) != DecodeVdcp(text)) {
                    ++vdcpDiffers;
                }
            }
            const auto system = kSystemKeys.find(cmd1);
            const int expected = group != kGroups.end()        ? group->second.second
                                 : system != kSystemKeys.end() ? system->second
                                                               : 0;
            EXPECT_EQ(named, expected) << "CMD1 " << cmd1 << " mode " << ProtocolNumber(mode);
            EXPECT_EQ(vdcpDiffers, 0) << "CMD1 " << cmd1;
        }
    }
}

TEST(DecodeSweep, VdcpAcknowledgesAndCommandBytes) {
    for (int first = 0; first < 256; ++first) {
        const std::string one = ByteText(first);
        EXPECT_EQ(DecodeVdcp(one), first == 4 ? "Ack" : first == 5 ? "Nak" : "") << one;
        int wrong = 0;
        for (int second = 0; second < 256; ++second) {
            if (DecodeVdcp(one + ByteText(second)) != (first == 5 ? "Nak" : "")) ++wrong;
        }
        EXPECT_EQ(wrong, 0) << "two-byte packets starting " << one;
    }
    // A rule may add text after the name, never before it or without one; the low nibble of
    // CMD-1 never changes the name.
    int named = 0;
    int wrong = 0;
    for (int cmd1 = 0; cmd1 < 256; ++cmd1) {
        for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
            const std::string description =
                DecodeVdcp("02 02 " + ByteText(cmd1) + ByteText(cmd2) + "00 ");
            const std::string_view name = VdcpCommandName(cmd1 >> 4, cmd2);
            if (description.substr(0, name.size()) != name) ++wrong;
            if (!name.empty()) {
                ++named;
            } else if (!description.empty()) {
                ++wrong;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(named, 89 * 16);
}

TEST(DecodeSweep, EveryByteReadsBackFromItsTwoDigits) {
    for (int value = 0; value < 256; ++value) {
        const std::string text = TwoDigitHex(value);
        EXPECT_EQ(text.size(), 2u);
        EXPECT_EQ(ReadHexField(text), value) << text;
    }
}

}  // namespace
}  // namespace orvane
