// Texts that are no packets, oversized messages, and decoders that keep their state apart.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "decode/decoder.hpp"
#include "decode/sony_status_data.hpp"
#include "decode/text_format.hpp"
#include "decode/vdcp_names.hpp"

namespace orvane {
namespace {

constexpr ProtocolMode kModes[] = {ProtocolMode::kSony, ProtocolMode::kOdetics,
                                   ProtocolMode::kVdcp};

TEST(DecoderRobustness, TextsThatAreNoPackets) {
    std::string manyFields = "2F 14";
    for (int i = 0; i < 300; ++i) manyFields += " FF";
    const std::string texts[] = {"",
                                 "2",
                                 "2F",
                                 "21 1",
                                 "ZZ ZZ ZZ",
                                 "2G 11 40 72",
                                 "61 20",
                                 "71 20 80 11",
                                 std::string("2C 31 00\0 01", 12),
                                 "7F 20 " + manyFields};
    for (const ProtocolMode mode : kModes) {
        Decoder decoder(mode);
        for (const std::string& text : texts) {
            // Decoding twice in a row gives the same text: nothing is left half-done.
            const std::string first = decoder.DecodePacket(text);
            EXPECT_EQ(decoder.DecodePacket(text), first) << "mode " << ProtocolNumber(mode);
        }
    }
    // Whatever came before, a well-formed packet still reads as itself.
    Decoder sony;
    for (const std::string& text : texts) sony.DecodePacket(text);
    EXPECT_EQ(sony.DecodePacket("74 04 00 00 10 01 89 "), "LTC Time Data 01:10:00:00");
    EXPECT_EQ(Decoder().DecodePacket(manyFields), "Step Forward 255 field(s)");
    // Status replies that DecodePacket never passes on: empty, or with their trailing space.
    EXPECT_EQ(DecodeStatusData("", "61 20 0F 90"), "Status Data: ");
    EXPECT_EQ(DecodeStatusData("71 20 80 11 ", "61 20 21 A2"), "Status Data: Servo Lock");
}

TEST(DecoderRobustness, VdcpKeepsOnly256Fields) {
    // 300 fields: data from field 5 to the 256th, then bytes that must not show.
    std::string text = "02 FF 20 24 ";
    for (int field = 5; field <= 300; ++field) text += field <= 256 ? "41 " : "42 ";
    EXPECT_EQ(DecodeVdcp(text), "Play Cue: " + std::string(252, 'A'));
    // 256 fields: the 256th is the checksum and is not shown.
    std::string exact = "02 FF 20 24 ";
    for (int field = 5; field <= 256; ++field) exact += field < 256 ? "41 " : "42 ";
    EXPECT_EQ(DecodeVdcp(exact), "Play Cue: " + std::string(251, 'A'));

    const std::string spaces(5000, ' ');
    EXPECT_EQ(DecodeVdcp("02 02 10 01 " + spaces + "00"), "Play");
    EXPECT_EQ(DecodeVdcp(spaces), "");
}

// A VDCP rule may add text after the command's name, never before it or without one; the low
// nibble of CMD-1 never changes the name.
TEST(DecoderRobustness, VdcpDescriptionsStartWithTheCommandsName) {
    for (int cmd1 = 0; cmd1 < 256; ++cmd1) {
        for (int cmd2 = 0; cmd2 < 256; ++cmd2) {
            const std::string description =
                DecodeVdcp("02 02 " + TwoDigitHex(cmd1) + " " + TwoDigitHex(cmd2) + " 00 ");
            const std::string_view name = VdcpCommandName(cmd1 >> 4, cmd2);
            ASSERT_EQ(description.substr(0, name.size()), name) << cmd1 << " " << cmd2;
            ASSERT_TRUE(!name.empty() || description.empty()) << cmd1 << " " << cmd2;
        }
    }
}

TEST(DecoderRobustness, ChecksumOfManyHugeFields) {
    std::string text;
    for (int i = 0; i < 300; ++i) text += "FFFFFFFFFFFFFFFFFFFF ";
    const Checksums sums = ComputeChecksum(text + "00");
    EXPECT_EQ(sums.received, 0);
    EXPECT_EQ(sums.computed, (300 * 0xFF) & 0xFF);
}

TEST(Decoder, TwoDecodersKeepTheirOwnRequestAndMode) {
    Decoder first;
    Decoder second(ProtocolMode::kOdetics);
    first.DecodePacket("  61 20 21 A2 ");
    EXPECT_EQ(first.lastStatusSense(), "61 20 21 A2");
    EXPECT_EQ(second.lastStatusSense(), "");
    EXPECT_EQ(second.DecodePacket("71 20 80 11 "), "Status Data: ");
    EXPECT_EQ(first.DecodePacket("71 20 80 11 "), "Status Data: Servo Lock");

    // VDCP mode leaves the remembered request as it was.
    first.SetProtocolMode(ProtocolMode::kVdcp);
    first.DecodePacket("61 20 0A 8B ");
    EXPECT_EQ(first.lastStatusSense(), "61 20 21 A2");
    EXPECT_EQ(first.protocolMode(), ProtocolMode::kVdcp);
    EXPECT_EQ(second.protocolMode(), ProtocolMode::kOdetics);
}

}  // namespace
}  // namespace orvane
