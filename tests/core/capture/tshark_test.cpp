// Our capture file and export for Wireshark as Wireshark itself reads them: the real tshark is
// run on files written here.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_file.hpp"
#include "capture/wireshark_export.hpp"
#include "scratch_folder.hpp"

namespace orvane {
namespace {

constexpr std::int64_t kStartUs = 1'796'600'400'000'000;  // 2026-12-06 23:40:00 UTC
const CaptureFileInfo kInfo{"Orvane 1.07", "127.0.0.1", 23, ProtocolMode::kSony, true, kStartUs};

bool TsharkInstalled() { return std::system("tshark --version >/dev/null 2>&1") == 0; }

// tshark's standard output, one entry per line; its warnings (e.g. about running as root) go
// to standard error and are left out.
std::vector<std::string> TsharkLines(const std::string& arguments) {
    const std::string command = "tshark " + arguments + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> lines;
    if (pipe == nullptr) return lines;
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    EXPECT_EQ(pclose(pipe), 0) << command;
    for (std::size_t from = 0; from < output.size();) {
        const std::size_t end = output.find('\n', from);
        lines.push_back(output.substr(from, end - from));
        from = end == std::string::npos ? output.size() : end + 1;
    }
    return lines;
}

constexpr const char* kInstallTshark =
    "tshark is not installed: run scripts/install-deps.sh, which installs it";

// A packet's description is its comment, in UTF-8; a packet without one prints an empty field.
// The direction is the side that sent the packet.
TEST(Tshark, ShowsExportDescriptionsAsPacketComments) {
    ASSERT_TRUE(TsharkInstalled()) << kInstallTshark;
    const struct {
        int direction;
        std::string_view bytes;
        std::string_view description;
        std::string comment;
        std::string flags;
    } kPackets[] = {
        {0x80, "\x20\x01\x21", "Play", "Play", "0x00000002"},
        {0xC0, "\x10\x01\x11", "", "", "0x00000001"},
        {0x80, "\x61\x0C\x03\x70", " Current Time Sense", " Current Time Sense", "0x00000002"},
        {0xC0, "\x7F\x01", "Clip caf\xE9", "Clip caf\xC3\xA9", "0x00000001"},
        {0xC0, "\x10\x01\x11", "Ack \x80 5", "Ack \xE2\x82\xAC 5", "0x00000001"},
    };
    const test::ScratchFolder dir;
    const std::string path = dir.Path("export.pcapng");
    {
        std::ofstream out(path, std::ios::binary);
        WiresharkExportWriter writer(out);
        ASSERT_TRUE(writer.Begin(kInfo));
        std::int64_t timeUs = kStartUs;
        for (const auto& packet : kPackets) {
            timeUs += 16'683;
            ASSERT_TRUE(
                writer.Append({timeUs, packet.direction, packet.bytes, packet.description}));
        }
    }
    const std::vector<std::string> lines =
        TsharkLines("-r '" + path + "' -T fields -e frame.comment -e frame.packet_flags_direction");
    ASSERT_EQ(lines.size(), std::size(kPackets));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], kPackets[i].comment + "\t" + kPackets[i].flags) << "packet " << i + 1;
    }
}

// One frame per read, at the read's time to the microsecond.
TEST(Tshark, ReadsCaptureFileReadByRead) {
    ASSERT_TRUE(TsharkInstalled()) << kInstallTshark;
    const std::vector<CaptureRead> reads = {
        {kStartUs + 1, std::string("\0\0\0\0\0\0\0\x01", 8)},
        {kStartUs + 999'999, "\x80\x01\x20"},
        {kStartUs + 1'000'000, std::string(3000, '\x5A')},
        {kStartUs + 86'400'123'456, "x"},
    };
    const test::ScratchFolder dir;
    const std::string path = dir.Path("capture.pcapng");
    CaptureFileWriter writer;
    std::string error;
    ASSERT_TRUE(writer.Open(path, kInfo, error)) << error;
    for (const CaptureRead& read : reads) {
        ASSERT_TRUE(writer.AppendRead(read.timeUs, read.bytes, error)) << error;
    }
    ASSERT_TRUE(writer.Close(error)) << error;

    const std::vector<std::string> lines =
        TsharkLines("-r '" + path + "' -T fields -e frame.time_epoch -e frame.len");
    ASSERT_EQ(lines.size(), reads.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // "1796600400.000001000\t8": seconds, nanoseconds, length.
        const std::string expected =
            std::to_string(reads[i].timeUs / 1'000'000) + "." +
            std::to_string(reads[i].timeUs % 1'000'000 + 1'000'000).substr(1) + "000\t" +
            std::to_string(reads[i].bytes.size());
        EXPECT_EQ(lines[i], expected) << "read " << i + 1;
    }
}

}  // namespace
}  // namespace orvane
