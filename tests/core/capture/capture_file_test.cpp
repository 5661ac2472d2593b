// The capture file: what is written reads back exactly, a killed or damaged capture keeps its
// earlier reads, other files give their reason, and write errors give the system's reason.
#include "capture/capture_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "capture/pcapng_blocks.hpp"
#include "capture/wireshark_export.hpp"
#include "scratch_folder.hpp"
#include "views/utf8_text.hpp"

namespace orvane {
namespace {

constexpr std::int64_t kStartUs = 1'796'600'400'000'000;  // 2026-12-06 23:40:00 UTC

const CaptureFileInfo kInfo{"Orvane 1.07", "127.0.0.1", 23, ProtocolMode::kSony, true, kStartUs};

std::string WriteCapture(const CaptureFileInfo& info, const std::vector<CaptureRead>& reads) {
    const test::ScratchFolder dir;
    const std::string path = dir.Path("capture.pcapng");
    CaptureFileWriter writer;
    std::string error;
    EXPECT_TRUE(writer.Open(path, info, error)) << error;
    for (const CaptureRead& read : reads) {
        EXPECT_TRUE(writer.AppendRead(read.timeUs, read.bytes, error)) << error;
    }
    EXPECT_TRUE(writer.Close(error)) << error;
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(writer.bytesWritten(), bytes.size());
    return bytes;
}

struct ReadBack {
    bool headerRead = false;
    std::string error;
    CaptureFileInfo info;
    std::vector<CaptureRead> reads;
    bool damaged = false;
    std::uint64_t unreadBytes = 0;
    std::string damageText;
};

ReadBack ReadCapture(const std::string& bytes) {
    std::istringstream in(bytes);
    CaptureFileReader reader(in);
    ReadBack result;
    result.headerRead = reader.ReadHeader(result.error);
    result.info = reader.info();
    for (CaptureRead read; reader.NextRead(read);) result.reads.push_back(read);
    result.damaged = reader.damaged();
    result.unreadBytes = reader.unreadBytes();
    result.damageText = reader.DamageText();
    EXPECT_EQ(reader.readsDone(), result.reads.size());
    return result;
}

void ExpectSameReads(const std::vector<CaptureRead>& got, const std::vector<CaptureRead>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].timeUs, want[i].timeUs) << "read " << i;
        EXPECT_EQ(got[i].bytes, want[i].bytes) << "read " << i;
    }
}

const std::vector<CaptureRead> kThreeReads = {
    {kStartUs + 10, std::string("\0\0\0\0\0\0\0\x01\x80\x01\x20", 11)},
    {kStartUs + 250'000, "\xC0\x05\x10"},
    {kStartUs + 3'000'001, std::string(5, '\0')},
};

TEST(CaptureFile, ReadsBackWhatWasWritten) {
    const struct {
        const char* name;
        CaptureFileInfo info;
        std::vector<CaptureRead> reads;
    } kCases[] = {
        {"no reads", kInfo, {}},
        {"one byte",
         {"Orvane 1.07", "127.0.0.1", 5000, ProtocolMode::kOdetics, false, kStartUs + 1},
         {{kStartUs, "x"}}},
        {"several", {"", "127.0.0.2", 23, ProtocolMode::kVdcp, true, kStartUs}, kThreeReads},
        {"early start",
         {"Orvane", "127.0.0.1", 65535, ProtocolMode::kSony, false, -1'500'000},
         {{0, ""}, {-1, "\xFF"}, {std::numeric_limits<std::int64_t>::max(), "late"}}},
        {"read larger than the write buffer", kInfo, {{kStartUs, std::string(200'001, '\x5A')}}},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.name);
        const ReadBack back = ReadCapture(WriteCapture(test.info, test.reads));
        ASSERT_TRUE(back.headerRead) << back.error;
        const auto fields = [](const CaptureFileInfo& i) {
            return std::tie(i.application, i.unitAddress, i.unitPort, i.protocolMode, i.continuous,
                            i.startTimeUs);
        };
        EXPECT_EQ(fields(back.info), fields(test.info));
        ExpectSameReads(back.reads, test.reads);
        EXPECT_FALSE(back.damaged);
        EXPECT_EQ(back.damageText, "");
    }
}

TEST(CaptureFile, CutInTheLastBlockKeepsEveryEarlierRead) {
    const std::string bytes = WriteCapture(kInfo, kThreeReads);
    const std::size_t lastBlock = 28 + 8 + 4;  // a 5-byte read: fixed fields, padding, length
    const std::size_t lastStart = bytes.size() - lastBlock;
    for (std::size_t cut = 0; cut < lastBlock; ++cut) {
        SCOPED_TRACE(cut);
        const ReadBack back = ReadCapture(bytes.substr(0, lastStart + cut));
        ASSERT_TRUE(back.headerRead) << back.error;
        ExpectSameReads(back.reads, {kThreeReads[0], kThreeReads[1]});
        EXPECT_EQ(back.damaged, cut != 0);
        EXPECT_EQ(back.unreadBytes, cut);
        if (cut == 1) {
            EXPECT_EQ(back.damageText, "damaged after 2 reads: 1 byte could not be read");
        }
    }
}

void PutU32(std::string& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

TEST(CaptureFile, DamagedBlockStopsReadingThere) {
    const std::string bytes = WriteCapture(kInfo, kThreeReads);
    // The second read's block: 28 bytes of fixed fields, 3 bytes and 1 of padding, its length.
    const std::size_t second = bytes.size() - 40 - 36;
    const struct {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    } kDamage[] = {
        {"block length zero", second + 4, 0},
        {"block length not a multiple of 4", second + 4, 38},
        {"block length past the end of the file", second + 4, 4000},
        {"block length runs into the next block", second + 4, 40},
        {"trailing length differs", second + 32, 32},
        {"captured length past the block", second + 20, 9},
        {"captured length shorter than the read", second + 20, 2},
        {"undescribed interface", second + 8, 1},
    };
    for (const auto& damage : kDamage) {
        SCOPED_TRACE(damage.name);
        std::string damaged = bytes;
        PutU32(damaged, damage.offset, damage.value);
        const ReadBack back = ReadCapture(damaged);
        ASSERT_TRUE(back.headerRead) << back.error;
        ExpectSameReads(back.reads, {kThreeReads[0]});
        EXPECT_TRUE(back.damaged);
        EXPECT_EQ(back.unreadBytes, bytes.size() - second);
        EXPECT_EQ(back.damageText, "damaged after 1 read: 76 bytes could not be read");
    }
}

// A section as another program on a big-endian machine writes it: nanosecond timestamps, the
// info in one comment of several lines.
std::string BigEndianCapture() {
    std::string file;
    const auto put = [&file](std::initializer_list<std::uint32_t> words) {
        for (const std::uint32_t word : words) {
            file += {char(word >> 24), char(word >> 16), char(word >> 8), char(word)};
        }
    };
    const std::string comment = "Orvane capture file\nCapture unit: 127.0.0.1:7000\nProtocol: VDCP";
    put({0x0A0D0D0A, 100, 0x1A2B3C4D, 0x00010000, ~0u, ~0u, 0x00010000 | 63});  // opt_comment
    file += comment + '\0';
    put({0, 100});
    put({1, 32, 147 << 16, 0, 0x00090001, 0x09000000, 0, 32});  // if_tsresol 10^-9
    put({6, 36, 0, 0, 1'500'000'000, 3, 3});
    file += std::string("abc\0", 4);
    put({36});
    return file;
}

TEST(CaptureFile, ReadsBigEndianSections) {
    const ReadBack back = ReadCapture(BigEndianCapture());
    ASSERT_TRUE(back.headerRead) << back.error;
    EXPECT_EQ(back.info.unitPort, 7000);
    EXPECT_EQ(back.info.protocolMode, ProtocolMode::kVdcp);
    ExpectSameReads(back.reads, {{1'500'000, "abc"}});
    EXPECT_FALSE(back.damaged);
}

TEST(CaptureFile, ReadsTheProtocolByNameOrNumber) {
    const std::pair<std::string, ProtocolMode> kCases[] = {
        {"Protocol: Odetics", ProtocolMode::kOdetics},
        {"Protocol: 1", ProtocolMode::kOdetics},
        {"Protocol: 2", ProtocolMode::kVdcp},
        {"Protocol: -7", ProtocolMode::kSony},    // any other number is Sony
        {"Protocol: vdcp", ProtocolMode::kSony},  // no name, no number: left as it was
    };
    for (const auto& [line, mode] : kCases) {
        const ReadBack back =
            ReadCapture(pcapng::SectionHeaderBlock("", {std::string(kCaptureFileMark), line}) +
                        pcapng::InterfaceDescriptionBlock(147, "", ""));
        ASSERT_TRUE(back.headerRead) << back.error;
        EXPECT_EQ(ProtocolNumber(back.info.protocolMode), ProtocolNumber(mode)) << line;
    }
}

TEST(CaptureFile, PassesOverOtherBlocksAndPacketsAndReadsEverySection) {
    std::string unknown(16, '\0');
    PutU32(unknown, 0, 0x0BAD);
    PutU32(unknown, 4, 16);
    PutU32(unknown, 12, 16);
    const pcapng::PacketBlockFrame foreign = pcapng::EnhancedPacketFrame(1, 5, 2, "", 0);
    const pcapng::PacketBlockFrame ours = pcapng::EnhancedPacketFrame(0, 7, 1, "", 0);
    const std::string secondSection =
        pcapng::SectionHeaderBlock("other", {"Started: 1999-01-01 00:00:00 UTC"}) +
        pcapng::InterfaceDescriptionBlock(147, "", "") +
        pcapng::InterfaceDescriptionBlock(1, "", "") + unknown + foreign.head + "ab" +
        foreign.tail + ours.head + "c" + ours.tail;
    const ReadBack back = ReadCapture(WriteCapture(kInfo, kThreeReads) + unknown + secondSection);
    ASSERT_TRUE(back.headerRead) << back.error;
    EXPECT_EQ(back.info.startTimeUs, kStartUs);  // the first section's
    ExpectSameReads(back.reads, {kThreeReads[0], kThreeReads[1], kThreeReads[2], {7, "c"}});
    EXPECT_FALSE(back.damaged);
}

std::string ExportFile() {
    std::ostringstream out;
    WiresharkExportWriter writer(out);
    EXPECT_TRUE(writer.Begin(kInfo));
    EXPECT_TRUE(writer.Append({kStartUs, 0x80, "\x20\x01\x21", "Play"}));
    return out.str();
}

std::string LinkType1File() {
    return pcapng::SectionHeaderBlock("", {}) + pcapng::InterfaceDescriptionBlock(1, "eth0", "");
}

const std::string kRawStream = std::string(5, '\0') + "\x00\x00\x01\x80\x01\x20";

TEST(CaptureFile, OtherFilesGiveTheirReason) {
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } kCases[] = {
        {"export", ExportFile(), "This file is an export for Wireshark, not a capture file"},
        {"link type 1", LinkType1File(),
         "This pcapng file is not an Orvane capture file: its packets are of link type 1"},
        {"raw stream", kRawStream, "This file is not a pcapng file"},
        {"empty", "", "This file is not a pcapng file"},
        {"section header only", pcapng::SectionHeaderBlock("", {}),
         "This file ends inside its header"},
        {"header cut short", WriteCapture(kInfo, {}).substr(0, 40),
         "This file's header is damaged"},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.name);
        const ReadBack back = ReadCapture(test.bytes);
        EXPECT_FALSE(back.headerRead);
        EXPECT_EQ(back.error, test.reason);
        EXPECT_TRUE(back.reads.empty());
    }
}

TEST(CaptureFile, DetectsTheKindOfFileFromItsFirstBytes) {
    const std::string capture = WriteCapture(kInfo, kThreeReads);
    const std::size_t headerSize = capture.find("capture unit 127.0.0.1:23") - 20;
    const struct {
        const char* name;
        std::string firstBytes;
        CaptureFileKind kind;
    } kCases[] = {
        {"capture file", capture, CaptureFileKind::CaptureFile},
        {"capture file, interface beyond the bytes", capture.substr(0, headerSize),
         CaptureFileKind::CaptureFile},
        {"big-endian capture file", BigEndianCapture(), CaptureFileKind::CaptureFile},
        {"export", ExportFile(), CaptureFileKind::WiresharkExport},
        {"link type 1", LinkType1File(), CaptureFileKind::OtherPcapng},
        {"raw stream", kRawStream, CaptureFileKind::NotPcapng},
        {"block type alone", capture.substr(0, 8), CaptureFileKind::NotPcapng},
        {"empty", "", CaptureFileKind::NotPcapng},
    };
    for (const auto& test : kCases) {
        EXPECT_EQ(DetectCaptureFileKind(test.firstBytes), test.kind) << test.name;
    }
}

// Blocks reach the operating system once a second of capture time has passed, or on Flush: a
// killed capture loses at most its last second, and what reached the file reads back whole.
TEST(CaptureFile, HandsBlocksToTheSystemOnceASecond) {
    const test::ScratchFolder dir;
    const std::string path = dir.Path("capture.pcapng");
    CaptureFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, kInfo, error)) << error;
    const std::uint64_t header = std::filesystem::file_size(path);
    EXPECT_EQ(header, writer.bytesWritten());
    ASSERT_TRUE(writer.AppendRead(kStartUs + 999'999, "abc", error));
    EXPECT_EQ(std::filesystem::file_size(path), header);
    ASSERT_TRUE(writer.AppendRead(kStartUs + 1'000'000, "de", error));
    EXPECT_EQ(std::filesystem::file_size(path), writer.bytesWritten());
    ASSERT_TRUE(writer.AppendRead(kStartUs + 1'000'001, "f", error));
    ASSERT_TRUE(writer.Flush(error));
    const ReadBack back = ReadCapture(test::ReadFileBytes(path));  // while the capture goes on
    EXPECT_EQ(back.reads.size(), 3u);
    EXPECT_FALSE(back.damaged);
    EXPECT_TRUE(writer.Close(error));
}

TEST(CaptureFile, WriteErrorsGiveTheSystemsReason) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    CaptureFileWriter writer;
    std::string error;
    // The header is handed to the system at once, so a full disk shows at the start.
    const std::function<bool()> steps[] = {
        [&] { return writer.Open("/dev/full", kInfo, error); },
        [&] { return writer.AppendRead(kStartUs, "abc", error); },
        [&] { return writer.Flush(error); },
        [&] { return writer.Close(error); },
    };
    for (const auto& step : steps) {
        error.clear();
        EXPECT_FALSE(step());
        EXPECT_EQ(error, "/dev/full: No space left on device");
    }
    const test::ScratchFolder dir;
    EXPECT_FALSE(writer.Open(dir.Path("no such folder/capture.pcapng"), kInfo, error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(CaptureFile, RefusesAReadLargerThanTheFileHolds) {
    CaptureFileWriter writer;
    std::string error;
    const test::ScratchFolder dir;
    ASSERT_TRUE(writer.Open(dir.Path("capture.pcapng"), kInfo, error));
    EXPECT_FALSE(writer.AppendRead(kStartUs, std::string(kMaxCaptureReadBytes + 1, 'x'), error));
    EXPECT_NE(error.find("16 MiB"), std::string::npos) << error;
    EXPECT_TRUE(writer.AppendRead(kStartUs, "x", error)) << "the file goes on";
    EXPECT_TRUE(writer.Close(error));
}

// The euro sign and e acute; 0x81 is undefined and kept as a control character.
TEST(Utf8Text, ConvertsWindows1252) {
    EXPECT_EQ(Windows1252ToUtf8(std::string(" caf\xE9\x80\x81\x9F\xFF\0", 10)),
              std::string(" caf\xC3\xA9\xE2\x82\xAC\xC2\x81\xC5\xB8\xC3\xBF\0", 16));
}

}  // namespace
}  // namespace orvane
