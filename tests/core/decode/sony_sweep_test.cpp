// Every CMD2 of every command group in every protocol mode: no failure, known codes named.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include "decode/decoder.hpp"

namespace orvane {
namespace {

// A well-formed packet text with a correct checksum: CMD1 = group | dataCount, then CMD2, then
// dataCount data bytes 0x11, 0x22, ...
std::string PacketText(int group, int dataCount, int cmd2) {
    std::string text;
    int sum = 0;
    auto append = [&](int value) {
        char field[4];
        std::snprintf(field, sizeof field, "%02X ", value & 0xFF);
        text += field;
        sum += value;
    };
    append(group | dataCount);
    append(cmd2);
    for (int i = 1; i <= dataCount; ++i) append(0x11 * i);
    append(sum);
    return text;
}

struct GroupExpectation {
    std::string_view fallback;
    int knownCodes;  // codes whose description differs from the fallback
};

// Fallback texts and how many codes each group names (any data count, Sony mode).
const std::map<int, GroupExpectation> kGroups = {
    {0x20, {"Unknown Transport Command", 47}},
    {0x30, {" Unknown Doremi Command", 8}},
    {0x40, {" Unknown Preset and Select Command", 59}},
    {0x60, {" Unknown Sense Request", 21}},
    {0x70, {"Unknown Data Response", 32}},
};

TEST(SonySweep, EveryCodeOfEveryGroupInEveryMode) {
    for (const std::int32_t mode : {kProtocolSony, kProtocolOdetics, kProtocolVdcp, 7}) {
        Decoder decoder(mode);
        for (int group = 0x00; group <= 0xF0; group += 0x10) {
            for (const int dataCount : {0, 4, 15}) {
                int known = 0;
                int described = 0;
                for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
                    const std::string text = PacketText(group, dataCount, cmd2);
                    const std::string description = decoder.DecodePacket(text);
                    if (mode == kProtocolVdcp) {
                        EXPECT_EQ(description, DecodeVdcp(text));
                        continue;
                    }
                    if (!description.empty()) ++described;
                    const auto it = kGroups.find(group);
                    if (it != kGroups.end() && description != it->second.fallback) ++known;
                }
                if (mode == kProtocolVdcp) continue;
                const auto it = kGroups.find(group);
                if (it != kGroups.end()) {
                    EXPECT_EQ(known, it->second.knownCodes)
                        << "group " << group << " count " << dataCount << " mode " << mode;
                } else if (group >= 0x20) {
                    EXPECT_EQ(described, 0) << "group " << group;
                }
            }
        }
    }
}

TEST(SonySweep, SystemGroupsAnswerOnlyTheirFixedKeys) {
    // Per CMD1: how many CMD2 values have a description.
    const std::map<int, int> describedPerCmd1 = {{0x00, 3}, {0x10, 1}, {0x11, 1}, {0x12, 1}};
    Decoder decoder;
    for (int cmd1 = 0x00; cmd1 <= 0x1F; ++cmd1) {
        int described = 0;
        for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
            if (!decoder.DecodePacket(PacketText(cmd1 & 0xF0, cmd1 & 0x0F, cmd2)).empty()) {
                ++described;
            }
        }
        const auto it = describedPerCmd1.find(cmd1);
        EXPECT_EQ(described, it == describedPerCmd1.end() ? 0 : it->second) << "CMD1 " << cmd1;
    }
}

TEST(SonySweep, KnownCodesGiveTheirNamesInEveryGroup) {
    struct Named {
        int group;
        int cmd2;
        std::string_view name;
    };
    const Named named[] = {
        {0x20, 0x00, "Stop"},
        {0x20, 0x6B, "Freeze On"},
        {0x20, 0x91, "Doremi Chase On"},
        {0x30, 0x05, "Doremi Format Disk "},
        {0x30, 0x09, "Doremi Reset V1 "},
        {0x40, 0x08, "Timer-1 Reset"},
        {0x40, 0xB8, "Local Key Map"},
        {0x60, 0x2E, "Cmd Speed Sense"},
        {0x60, 0xAA, "Cross Fade Time Sense"},
        {0x70, 0x31, "Preroll Time"},
        {0x70, 0xAA, "Cross Fade Time Data"},
    };
    for (const std::int32_t mode : {kProtocolSony, kProtocolOdetics}) {
        Decoder decoder(mode);
        for (const Named& n : named) {
            for (const int dataCount : {0, 4, 15}) {
                EXPECT_EQ(decoder.DecodePacket(PacketText(n.group, dataCount, n.cmd2)), n.name)
                    << PacketText(n.group, dataCount, n.cmd2);
            }
        }
    }
}

}  // namespace
}  // namespace orvane
