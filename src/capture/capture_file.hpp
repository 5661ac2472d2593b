// The capture file: the capture unit's TCP stream recorded as it arrives, one pcapng packet per
// socket read, so that feeding the reads again in order reproduces the live capture.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "capture/pcapng_blocks.hpp"
#include "settings/connection_settings.hpp"

namespace orvane {

// What the file says about its capture, kept in the section header's comments.
struct CaptureFileInfo {
    std::string application;  // e.g. "Orvane 1.07"
    std::string unitAddress;  // capture unit address, e.g. "127.0.0.1"
    int unitPort = 0;
    ProtocolMode protocolMode = ProtocolMode::kSony;  // read by name, or a number as its mode
    bool continuous = false;                          // continuous or bounded capture
    std::int64_t startTimeUs = 0;  // wall clock at the start, microseconds since 1970 UTC
};

// One socket read: its bytes exactly as received and the time of receipt.
struct CaptureRead {
    std::int64_t timeUs = 0;  // microseconds since 1970 UTC
    std::string bytes;
};

// The largest read a capture file holds.
inline constexpr std::size_t kMaxCaptureReadBytes = pcapng::kMaxPacketBytes;

// First comment lines of the two kinds of file Orvane writes.
inline constexpr std::string_view kCaptureFileMark = "Orvane capture file";
inline constexpr std::string_view kWiresharkExportMark = "Orvane export for Wireshark";

// The section header's comments: `mark`, then "Capture unit: 127.0.0.1:23", "Protocol: Sony",
// "Capture: continuous" (or "bounded") and "Started: 2026-12-06 23:40:00 UTC" (with
// ".ffffff" before " UTC" when the start is not on a whole second).
std::vector<std::string> CaptureInfoComments(std::string_view mark, const CaptureFileInfo& info);

// The interface's name: "capture unit 127.0.0.1:23".
std::string CaptureUnitInterfaceName(const CaptureFileInfo& info);

// Writes a capture file as reads arrive. Blocks are handed to the operating system at least
// once a second of capture time, so a capture that is killed loses at most its last second, and
// the file stays readable up to the last whole block after any failure.
class CaptureFileWriter {
  public:
    CaptureFileWriter() = default;
    ~CaptureFileWriter();
    CaptureFileWriter(const CaptureFileWriter&) = delete;
    CaptureFileWriter& operator=(const CaptureFileWriter&) = delete;

    // Creates or truncates `path` and writes the file's header, handed to the operating system
    // at once. False with the reason when the file cannot be created or written.
    bool Open(const std::string& path, const CaptureFileInfo& info, std::string& error);

    // One read of at most kMaxCaptureReadBytes. After a write error, this and every later call
    // fails with that error, so that no block follows a block cut short.
    bool AppendRead(std::int64_t timeUs, std::string_view bytes, std::string& error);

    // Hands buffered blocks to the operating system, e.g. when the line is idle.
    bool Flush(std::string& error);

    // Flushes and closes the file; false when the file is incomplete (a write failed).
    bool Close(std::string& error);

    // The file's size so far.
    std::uint64_t bytesWritten() const { return bytesWritten_; }

  private:
    bool Write(std::string_view bytes, std::string& error);
    bool Fail(std::string& error);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string failure_;  // the write error that stopped the file, empty while all is well
    std::uint64_t bytesWritten_ = 0;
    std::int64_t lastFlushUs_ = 0;
};

enum class CaptureFileKind { NotPcapng, CaptureFile, WiresharkExport, OtherPcapng };

// From the first bytes of a file (a few KiB are enough): our capture file, our export for
// Wireshark, another pcapng file, or not pcapng at all (the caller then treats it as a raw
// stream).
CaptureFileKind DetectCaptureFileKind(std::string_view firstBytes);

// Reads a capture file from a seekable stream. A damaged or cut-short block (a capture that was
// killed) ends the reads: everything before it is returned and the rest is counted as unread.
// Packets of other interfaces and blocks of other types are passed over; a file may hold
// several sections. Memory taken for a block never exceeds what the file really holds.
class CaptureFileReader {
  public:
    explicit CaptureFileReader(std::istream& in);

    // Reads the section header and the interface descriptions. False, with a one-line reason,
    // when the stream is not a capture file or its header is damaged.
    bool ReadHeader(std::string& error);
    const CaptureFileInfo& info() const { return info_; }

    // The next read of the capture; false at the end or where damage stops reading.
    bool NextRead(CaptureRead& read);

    // After NextRead returned false: reading stopped at damage rather than at the end.
    bool damaged() const { return damaged_; }
    // Bytes from the damage to the end of the file.
    std::uint64_t unreadBytes() const { return unreadBytes_; }
    // "damaged after 1234 reads: 5678 bytes could not be read"; empty when not damaged.
    std::string DamageText() const;
    std::uint64_t readsDone() const { return readsDone_; }

  private:
    friend CaptureFileKind DetectCaptureFileKind(std::string_view firstBytes);

    enum class BlockResult { Block, End, Damaged };
    enum class HeaderKind {
        NotPcapng,
        Unreadable,
        Damaged,
        CutShort,
        NoInterface,
        Ours,
        Export,
        Other
    };
    struct Interface {
        std::uint16_t linkType = 0;
        pcapng::TimeBase timeBase;
    };

    HeaderKind ScanHeader();
    BlockResult NextBlock();
    bool StartSection(bool firstSection);
    bool AddInterface();
    void Rewind(std::uint64_t offset);
    void MarkDamaged();

    std::istream& in_;
    std::uint64_t origin_ = 0;  // stream position of the file's first byte
    std::uint64_t size_ = 0;    // bytes from origin_ to the end of the stream
    std::uint64_t next_ = 0;    // offset of the next block
    std::uint64_t blockStart_ = 0;
    std::uint32_t blockType_ = 0;
    std::string block_;  // the current block when it is one that is parsed
    bool blockBigEndian_ = false;
    bool bigEndian_ = false;  // byte order of the current section
    std::vector<Interface> interfaces_;
    CaptureFileInfo info_;
    std::string mark_;  // the first comment line of the first section
    std::uint16_t foreignLinkType_ = 0;
    bool headerRead_ = false;
    bool ended_ = false;
    bool damaged_ = false;
    std::uint64_t unreadBytes_ = 0;
    std::uint64_t readsDone_ = 0;
};

}  // namespace orvane
