// The packet decoder's entry: layout, fixed replies, dispatch, modes, texts that are no packet.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "decode/decoder.hpp"
#include "decode/sony_packet.hpp"

namespace orvane {
namespace {

struct Case {
    std::string_view packet;
    std::string_view expected;
};

std::string Decode(std::string_view packet, std::int32_t mode = kProtocolSony) {
    Decoder decoder(mode);
    return decoder.DecodePacket(packet);
}

TEST(SonyDecoder, SystemCommandsAndFixedReplies) {
    const Case cases[] = {
        {"00 0C 0C ", "Local Disable"},
        {"00 11 11 ", "Device Type Request"},
        {"00 1D 1D ", "Local Enable"},
        {"10 01 11 ", "Ack"},
        {"11 12 01 24 ", "Nak"},  // the NAK data byte is not shown
        {"12 11 F0 20 33 ", "Device Type F0 20 33"},
        {"12 11", "Device Type "},
        // Leading and trailing spaces are not part of the packet.
        {"   10 01 11   ", "Ack"},
        {"12 11 F0 20 33    ", "Device Type F0 20 33"},
        // Unlisted system commands and replies, and groups without a table, have no text.
        {"00 0A 0A ", ""},
        {"10 02 12 ", ""},
        {"50 00 50 ", ""},
        {"80 01 81 ", ""},
        {"F0 00 F0 ", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decode(c.packet), c.expected) << "packet '" << c.packet << "'";
        EXPECT_EQ(Decode(c.packet, kProtocolOdetics), c.expected) << "packet '" << c.packet << "'";
    }
}

TEST(SonyDecoder, DataBytesComeFromTheFieldsUpToTheChecksum) {
    // Data count 15, all 15 bytes present: only DATA-1 to DATA-13 are read.
    const SonyPacket full = ReadSonyPacket("2F 14 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F BB");
    EXPECT_EQ(full.cmd1, 0x2F);
    EXPECT_EQ(full.cmd2, 0x14);
    EXPECT_EQ(full.dataCount, 15);
    EXPECT_EQ(full.group, 0x20);
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(full.data[i], static_cast<int>(i + 1));
    for (std::size_t i = 13; i < kSonyDataSlots; ++i) EXPECT_EQ(full.data[i], 0) << i;

    // Fewer bytes than the data count: the missing ones read 0, the checksum is not data.
    const SonyPacket shortText = ReadSonyPacket("24 14 07 08 3F");
    EXPECT_EQ(shortText.data[0], 7);
    EXPECT_EQ(shortText.data[1], 8);
    EXPECT_EQ(shortText.data[2], 0);

    // Data count 0: nothing is read, whatever the text holds.
    const SonyPacket noCount = ReadSonyPacket("20 14 05 06 3F");
    for (const auto value : noCount.data) EXPECT_EQ(value, 0);

    // A field wider than a byte keeps its low 8 bits.
    EXPECT_EQ(Decode("21 14 103 38 "), "Step Forward 3 field(s)");
    EXPECT_EQ(Decode("21 11 FFFFFFFFFFFFFFFFFFFF40 72 "), "Jog Forward 1.0x");
}

TEST(SonyDecoder, KeyAndCodesComeFromTheFirstFiveCharacters) {
    const SonyPacket packet = ReadSonyPacket("61 0C 01 6E");
    EXPECT_EQ(packet.key, "61 0C");
    EXPECT_EQ(packet.text, "61 0C 01 6E");
    // Shorter than five characters: the key is what there is, CMD2 reads 0.
    const SonyPacket shortText = ReadSonyPacket("21 1");
    EXPECT_EQ(shortText.key, "21 1");
    EXPECT_EQ(shortText.cmd1, 0x21);
    EXPECT_EQ(shortText.cmd2, 0);
    EXPECT_EQ(TrimSpaces("  20 01 21  "), "20 01 21");
    EXPECT_EQ(TrimSpaces("    "), "");
}

TEST(SonyDecoder, ProtocolModes) {
    // VDCP mode hands every packet, untouched, to the VDCP decoder, even one that reads as Sony.
    for (const std::string_view packet : {"10 01 11 ", "02 10 01 EF ", "  20 01 21 ", ""}) {
        EXPECT_EQ(Decode(packet, kProtocolVdcp), DecodeVdcp(packet)) << packet;
    }
    // Every mode other than VDCP decodes as Sony.
    for (const std::int32_t mode : {-1, 3, 7, 1000}) {
        EXPECT_EQ(Decode("20 01 21 ", mode), "Play") << mode;
        EXPECT_EQ(Decode("10 01 11 ", mode), "Ack") << mode;
    }
    Decoder decoder(kProtocolSony);
    decoder.SetProtocolMode(kProtocolOdetics);
    EXPECT_EQ(decoder.protocolMode(), kProtocolOdetics);
    EXPECT_EQ(decoder.DecodePacket("20 31 51 "), "Odetics Cue to First Frame of Clip");
}

TEST(SonyDecoder, NeverFailsOnTextsThatAreNotPackets) {
    std::string manyFields = "2F 14";
    for (int i = 0; i < 300; ++i) manyFields += " FF";
    const std::string texts[] = {
        "",
        " ",
        "          ",
        "2",
        "20",
        "2F",
        "20 ",
        "21 1",
        "ZZ ZZ ZZ",
        "2G 11 40 72",
        "21 11 GG 72",
        "  2C 31   ",
        "2C 31  00  00 ",
        "\t20 01 21\t",
        "\xFF\xFE\x01\x00",
        std::string("2C 31 00\0 01", 12),
        manyFields,
        "7F 20 " + manyFields,
        "61 20",
        "61 20 ",
        "71 20 80 11",
        std::string(100000, ' '),
    };
    for (const std::int32_t mode : {kProtocolSony, kProtocolOdetics, kProtocolVdcp, 7}) {
        Decoder decoder(mode);
        for (const std::string& text : texts) {
            // Decoding twice in a row gives the same text: nothing is left half-done.
            const std::string first = decoder.DecodePacket(text);
            EXPECT_EQ(decoder.DecodePacket(text), first);
        }
    }
    EXPECT_EQ(Decode(""), "");
    EXPECT_EQ(Decode("          "), "");
    EXPECT_EQ(Decode(manyFields), "Step Forward 255 field(s)");
}

TEST(SonyDecoder, NeverFailsOnRandomTexts) {
    // Hexadecimal digits in both cases, non-digits, runs of spaces and 8-bit bytes, in lengths up
    // to 80 characters; a fixed seed keeps a failure reproducible.
    static constexpr char kCharacters[] = "0123456789ABCDEFabcdef    G \x00\xFF\x92-";
    constexpr std::string_view kAlphabet(kCharacters, sizeof kCharacters - 1);
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % bound;
    };
    Decoder sony(kProtocolSony);
    Decoder odetics(kProtocolOdetics);
    Decoder vdcp(kProtocolVdcp);
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const std::uint32_t length = next(81);
        for (std::uint32_t i = 0; i < length; ++i) text += kAlphabet[next(kAlphabet.size())];
        sony.DecodePacket(text);
        odetics.DecodePacket(text);
        vdcp.DecodePacket(text);
    }
    // Whatever came before, a well-formed packet still reads as itself.
    EXPECT_EQ(sony.DecodePacket("74 04 00 00 10 01 89 "), "LTC Time Data 01:10:00:00");
}

}  // namespace
}  // namespace orvane
