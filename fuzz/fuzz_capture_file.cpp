// Fuzz target: arbitrary bytes read as a capture file, and what is read written again.
//
// The whole input is the file, read through a string stream. Checked beyond "no crash":
// - the reads and the bytes counted as unread fit in the input: every read took a block of at
//   least 32 bytes, and the unread bytes follow the last of them;
// - every read's bytes lie inside the input, and all reads together are no larger than it;
// - reading ends without damage only at the input's end;
// - the kind detected from the input agrees with the header: a file whose header reads is a
//   capture file, and one detected as not pcapng is refused as such;
// - a capture file read whole is written again and reads back with the same info and reads,
//   without damage; an export of its reads is refused as an export.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_file.hpp"
#include "capture/pcapng_blocks.hpp"
#include "capture/wireshark_export.hpp"
#include "fuzz_support.hpp"

namespace {

using orvane::CaptureFileInfo;
using orvane::CaptureFileKind;
using orvane::CaptureFileReader;
using orvane::CaptureRead;

void Check(bool condition, const char* what) {
    orvane::fuzz::CheckInvariant(condition, "fuzz_capture_file", what);
}

const std::string& RewritePath() {
    static const orvane::fuzz::TempFolder folder("fuzz_capture_file");
    static const std::string path = (folder.path() / "capture.pcapng").string();
    return path;
}

bool SameInfo(const CaptureFileInfo& a, const CaptureFileInfo& b) {
    return a.application == b.application && a.unitAddress == b.unitAddress &&
           a.unitPort == b.unitPort && a.protocolMode == b.protocolMode &&
           a.continuous == b.continuous && a.startTimeUs == b.startTimeUs;
}

struct ReadResult {
    bool headerRead = false;
    std::string error;
    CaptureFileInfo info;
    std::vector<CaptureRead> reads;
    bool damaged = false;
};

ReadResult ReadAll(const std::string& file, bool checkBounds) {
    std::istringstream in(file);
    CaptureFileReader reader(in);
    ReadResult result;
    result.headerRead = reader.ReadHeader(result.error);
    Check(result.headerRead == result.error.empty(), "a refused header gives a reason");
    result.info = reader.info();
    std::uint64_t totalBytes = 0;
    for (CaptureRead read; reader.NextRead(read);) {
        Check(result.headerRead, "no reads without a header");
        totalBytes += read.bytes.size();
        if (checkBounds) {
            Check(read.bytes.size() <= file.size() && file.find(read.bytes) != std::string::npos,
                  "a read's bytes lie inside the input");
        }
        result.reads.push_back(std::move(read));
    }
    Check(reader.readsDone() == result.reads.size(), "readsDone counts the reads");
    Check(totalBytes <= file.size(), "reads together are no larger than the input");
    Check(reader.readsDone() * orvane::pcapng::kMinEnhancedPacketBytes + reader.unreadBytes() <=
              file.size(),
          "reads and unread bytes fit in the input");
    result.damaged = reader.damaged();
    Check(result.damaged == !reader.DamageText().empty(), "damage is described");
    Check(result.damaged || reader.unreadBytes() == 0, "unread bytes only after damage");
    if (result.headerRead && !result.damaged) {
        in.clear();
        Check(in.tellg() == static_cast<std::streampos>(file.size()),
              "reading ends without damage only at the end of the input");
    }
    return result;
}

void CheckRewrite(const ReadResult& first) {
    const std::string& path = RewritePath();
    orvane::CaptureFileWriter writer;
    std::string error;
    Check(writer.Open(path, first.info, error), "the capture file can be written again");
    for (const CaptureRead& read : first.reads) {
        Check(writer.AppendRead(read.timeUs, read.bytes, error), "a read is written again");
    }
    Check(writer.Close(error), "the written file is closed");
    std::ostringstream written;
    {
        std::ifstream in(path, std::ios::binary);
        written << in.rdbuf();
    }
    Check(written.str().size() == writer.bytesWritten(), "bytesWritten is the file's size");
    const ReadResult second = ReadAll(written.str(), false);
    Check(second.headerRead && !second.damaged, "a written file reads back whole");
    Check(SameInfo(first.info, second.info), "the info reads back as written");
    Check(second.reads.size() == first.reads.size(), "every read reads back");
    for (std::size_t i = 0; i < first.reads.size(); ++i) {
        Check(second.reads[i].timeUs == first.reads[i].timeUs &&
                  second.reads[i].bytes == first.reads[i].bytes,
              "a read reads back as written");
    }

    std::ostringstream exported;
    orvane::WiresharkExportWriter exporter(exported);
    Check(exporter.Begin(first.info), "the export begins");
    for (const CaptureRead& read : first.reads) {
        const int direction = read.bytes.empty() || (read.bytes[0] & 1) == 0 ? 0x80 : 0xC0;
        Check(exporter.Append({read.timeUs, direction, read.bytes, read.bytes}),
              "a packet is exported");
    }
    Check(orvane::DetectCaptureFileKind(exported.str()) == CaptureFileKind::WiresharkExport,
          "an export is detected as one");
    Check(ReadAll(exported.str(), false).error ==
              "This file is an export for Wireshark, not a capture file",
          "an export is refused as one");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const ReadResult result = ReadAll(file, true);
    const CaptureFileKind kind = orvane::DetectCaptureFileKind(file);
    Check(!result.headerRead || kind == CaptureFileKind::CaptureFile,
          "a file whose header reads is detected as a capture file");
    Check(
        (kind == CaptureFileKind::NotPcapng) == (result.error == "This file is not a pcapng file"),
        "a file detected as not pcapng is refused as such");
    orvane::DetectCaptureFileKind(std::string_view(file).substr(0, 4096));
    if (result.headerRead) CheckRewrite(result);
    return 0;
}
