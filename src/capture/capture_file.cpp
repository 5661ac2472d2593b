// The capture file: the capture unit's TCP stream recorded as it arrives, one pcapng packet per
// socket read, so that feeding the reads again in order reproduces the live capture.
#include "capture/capture_file.hpp"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <sstream>

#include "settings/connection_settings.hpp"

namespace orvane {

namespace {

constexpr std::int64_t kMicrosPerSecond = 1'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr std::size_t kWriteBufferBytes = 64 * 1024;
constexpr std::string_view kCaptureInterfaceDescription =
    "The capture unit's TCP stream, one packet per socket read, bytes as received";

constexpr std::string_view kUnitPrefix = "Capture unit: ";
constexpr std::string_view kProtocolPrefix = "Protocol: ";
constexpr std::string_view kCapturePrefix = "Capture: ";
constexpr std::string_view kStartedPrefix = "Started: ";

struct ProtocolName {
    ProtocolMode mode;
    std::string_view name;
};
constexpr ProtocolName kProtocolNames[] = {
    {ProtocolMode::kSony, "Sony"},
    {ProtocolMode::kOdetics, "Odetics"},
    {ProtocolMode::kVdcp, "VDCP"},
};

// Calendar dates as days since 1970-01-01 and back (proleptic Gregorian calendar, eras of 400
// years), so the core needs no time-zone functions of the system.
struct Date {
    std::int64_t year = 1970;
    unsigned month = 1;
    unsigned day = 1;
};

Date DateFromDays(std::int64_t days) {
    days += 719'468;
    const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146'097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;  // March is 0
    Date date;
    date.day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    date.month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    date.year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (date.month <= 2 ? 1 : 0);
    return date;
}

std::int64_t DaysFromDate(const Date& date) {
    const std::int64_t year = date.year - (date.month <= 2 ? 1 : 0);
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear =
        (153 * (date.month > 2 ? date.month - 3 : date.month + 9) + 2) / 5 + date.day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146'097 + static_cast<std::int64_t>(dayOfEra) - 719'468;
}

// "2026-12-06 23:40:00 UTC", with ".ffffff" before " UTC" when there is a fraction.
std::string UtcTimeText(std::int64_t timeUs) {
    std::int64_t seconds = timeUs / kMicrosPerSecond;
    std::int64_t micros = timeUs % kMicrosPerSecond;
    if (micros < 0) {
        micros += kMicrosPerSecond;
        --seconds;
    }
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t secondOfDay = seconds % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    const Date date = DateFromDays(days);
    char text[80];
    int length = std::snprintf(
        text, sizeof text, "%04lld-%02u-%02u %02d:%02d:%02d", static_cast<long long>(date.year),
        date.month, date.day, static_cast<int>(secondOfDay / 3600),
        static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60));
    if (micros != 0) {
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                                ".%06lld", static_cast<long long>(micros));
    }
    return std::string(text, static_cast<std::size_t>(length)) + " UTC";
}

template <typename Number>
bool ParseWhole(std::string_view text, Number& value) {
    Number parsed{};
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || status != std::errc() || stop != end) return false;
    value = parsed;
    return true;
}

// A number up to `separator`, which is consumed with it; the search starts after the first
// character so that a year before year 0 keeps its minus sign.
bool TakeNumber(std::string_view& text, std::int64_t& value, char separator) {
    const std::size_t at = text.find(separator, 1);
    if (at == std::string_view::npos || !ParseWhole(text.substr(0, at), value)) return false;
    text.remove_prefix(at + 1);
    return true;
}

// The text UtcTimeText writes; false leaves `timeUs` as it was.
bool ParseUtcTime(std::string_view text, std::int64_t& timeUs) {
    std::int64_t year = 0;
    std::int64_t month = 0;
    std::int64_t day = 0;
    std::int64_t hour = 0;
    std::int64_t minute = 0;
    if (!TakeNumber(text, year, '-') || !TakeNumber(text, month, '-') ||
        !TakeNumber(text, day, ' ') || !TakeNumber(text, hour, ':') ||
        !TakeNumber(text, minute, ':')) {
        return false;
    }
    constexpr std::string_view kUtc = " UTC";
    if (text.size() < kUtc.size() || text.substr(text.size() - kUtc.size()) != kUtc) return false;
    text.remove_suffix(kUtc.size());
    std::string_view fraction;
    if (const std::size_t dot = text.find('.'); dot != std::string_view::npos) {
        fraction = text.substr(dot + 1);
        text = text.substr(0, dot);
        if (fraction.empty() || fraction.size() > 6) return false;
    }
    std::int64_t second = 0;
    std::int64_t micros = 0;
    if (!ParseWhole(text, second)) return false;
    for (std::size_t i = 0; i < 6; ++i) {
        if (i < fraction.size() && (fraction[i] < '0' || fraction[i] > '9')) return false;
        micros = micros * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    }
    // Years far enough out that the microseconds still fit in 64 bits.
    if (year < -200'000 || year > 200'000 || month < 1 || month > 12 || day < 1 || day > 31 ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return false;
    }
    const std::int64_t days =
        DaysFromDate({year, static_cast<unsigned>(month), static_cast<unsigned>(day)});
    timeUs =
        ((days * kSecondsPerDay + hour * 3600 + minute * 60 + second) * kMicrosPerSecond) + micros;
    return true;
}

std::string ProtocolText(ProtocolMode mode) {
    for (const ProtocolName& protocol : kProtocolNames) {
        if (protocol.mode == mode) return std::string(protocol.name);
    }
    return std::to_string(ProtocolNumber(mode));
}

// One line of the section header's comments; lines of other kinds are passed over, and a value
// that cannot be read leaves its field as it was.
void ParseInfoLine(std::string_view line, CaptureFileInfo& info) {
    if (line.starts_with(kUnitPrefix)) {
        line.remove_prefix(kUnitPrefix.size());
        const std::size_t colon = line.rfind(':');
        info.unitAddress = std::string(line.substr(0, colon));
        if (colon != std::string_view::npos) ParseWhole(line.substr(colon + 1), info.unitPort);
    } else if (line.starts_with(kProtocolPrefix)) {
        line.remove_prefix(kProtocolPrefix.size());
        bool named = false;
        for (const ProtocolName& protocol : kProtocolNames) {
            if (protocol.name == line) {
                info.protocolMode = protocol.mode;
                named = true;
            }
        }
        std::int32_t number = 0;
        if (!named && ParseWhole(line, number)) info.protocolMode = ProtocolModeFromNumber(number);
    } else if (line.starts_with(kCapturePrefix)) {
        line.remove_prefix(kCapturePrefix.size());
        if (line == "continuous") info.continuous = true;
        if (line == "bounded") info.continuous = false;
    } else if (line.starts_with(kStartedPrefix)) {
        ParseUtcTime(line.substr(kStartedPrefix.size()), info.startTimeUs);
    }
}

std::string Plural(std::uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::vector<std::string> CaptureInfoComments(std::string_view mark, const CaptureFileInfo& info) {
    return {
        std::string(mark),
        std::string(kUnitPrefix) + info.unitAddress + ":" + std::to_string(info.unitPort),
        std::string(kProtocolPrefix) + ProtocolText(info.protocolMode),
        std::string(kCapturePrefix) + (info.continuous ? "continuous" : "bounded"),
        std::string(kStartedPrefix) + UtcTimeText(info.startTimeUs),
    };
}

std::string CaptureUnitInterfaceName(const CaptureFileInfo& info) {
    return "capture unit " + info.unitAddress + ":" + std::to_string(info.unitPort);
}

// ---- Writer ----

CaptureFileWriter::~CaptureFileWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool CaptureFileWriter::Open(const std::string& path, const CaptureFileInfo& info,
                             std::string& error) {
    if (file_ != nullptr) std::fclose(file_);
    path_ = path;
    failure_.clear();
    bytesWritten_ = 0;
    lastFlushUs_ = info.startTimeUs;
    errno = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) return Fail(error);
    std::setvbuf(file_, nullptr, _IOFBF, kWriteBufferBytes);
    // The header goes to the operating system at once: a capture killed in its first second
    // still opens, as a capture of no reads.
    return Write(pcapng::SectionHeaderBlock(info.application,
                                            CaptureInfoComments(kCaptureFileMark, info)) +
                     pcapng::InterfaceDescriptionBlock(pcapng::kLinkTypeUser0,
                                                       CaptureUnitInterfaceName(info),
                                                       kCaptureInterfaceDescription),
                 error) &&
           Flush(error);
}

bool CaptureFileWriter::AppendRead(std::int64_t timeUs, std::string_view bytes,
                                   std::string& error) {
    if (!failure_.empty()) {
        error = failure_;
        return false;
    }
    if (file_ == nullptr) {
        error = "no capture file is open";
        return false;
    }
    if (bytes.size() > kMaxCaptureReadBytes) {
        error = "a read of " + std::to_string(bytes.size()) +
                " bytes is larger than a capture file holds (16 MiB)";
        return false;
    }
    const pcapng::PacketBlockFrame frame =
        pcapng::EnhancedPacketFrame(0, static_cast<std::uint64_t>(timeUs), bytes.size(), {}, 0);
    if (!Write(frame.head, error) || !Write(bytes, error) || !Write(frame.tail, error)) {
        return false;
    }
    // Unsigned difference: far-apart times must not overflow. A clock set back flushes too.
    const bool secondPassed =
        timeUs < lastFlushUs_ ||
        static_cast<std::uint64_t>(timeUs) - static_cast<std::uint64_t>(lastFlushUs_) >=
            static_cast<std::uint64_t>(kMicrosPerSecond);
    if (!secondPassed) return true;
    lastFlushUs_ = timeUs;
    return Flush(error);
}

bool CaptureFileWriter::Flush(std::string& error) {
    if (!failure_.empty()) {
        error = failure_;
        return false;
    }
    if (file_ == nullptr) return true;
    errno = 0;
    if (std::fflush(file_) != 0) return Fail(error);
    return true;
}

bool CaptureFileWriter::Close(std::string& error) {
    if (file_ == nullptr) {
        if (failure_.empty()) return true;
        error = failure_;
        return false;
    }
    bool closed = Flush(error);
    errno = 0;
    if (std::fclose(file_) != 0 && closed) closed = Fail(error);
    file_ = nullptr;
    return closed;
}

bool CaptureFileWriter::Write(std::string_view bytes, std::string& error) {
    if (bytes.empty()) return true;
    errno = 0;
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file_);
    bytesWritten_ += written;
    if (written != bytes.size()) return Fail(error);
    return true;
}

// Keeps the system's reason for the failed call; every later call reports it.
bool CaptureFileWriter::Fail(std::string& error) {
    const int code = errno;
    failure_ = path_ + ": " + (code != 0 ? std::strerror(code) : "the file could not be written");
    error = failure_;
    return false;
}

// ---- Reader ----

CaptureFileKind DetectCaptureFileKind(std::string_view firstBytes) {
    std::istringstream in{std::string(firstBytes)};
    CaptureFileReader reader(in);
    switch (reader.ScanHeader()) {
        case CaptureFileReader::HeaderKind::NotPcapng:
        case CaptureFileReader::HeaderKind::Unreadable:
            return CaptureFileKind::NotPcapng;
        case CaptureFileReader::HeaderKind::Ours:
            return CaptureFileKind::CaptureFile;
        case CaptureFileReader::HeaderKind::Export:
            return CaptureFileKind::WiresharkExport;
        case CaptureFileReader::HeaderKind::Other:
            return CaptureFileKind::OtherPcapng;
        default:
            // The interface lies beyond the bytes given: the section header's first comment
            // names the kind of file.
            if (reader.mark_ == kCaptureFileMark) return CaptureFileKind::CaptureFile;
            if (reader.mark_ == kWiresharkExportMark) return CaptureFileKind::WiresharkExport;
            return CaptureFileKind::OtherPcapng;
    }
}

CaptureFileReader::CaptureFileReader(std::istream& in) : in_(in) {}

bool CaptureFileReader::ReadHeader(std::string& error) {
    switch (ScanHeader()) {
        case HeaderKind::Ours:
            headerRead_ = true;
            return true;
        case HeaderKind::NotPcapng:
            error = "This file is not a pcapng file";
            return false;
        case HeaderKind::Unreadable:
            error = "This file cannot be read: its size cannot be found";
            return false;
        case HeaderKind::Damaged:
            error = "This file's header is damaged";
            return false;
        case HeaderKind::CutShort:
            error = "This file ends inside its header";
            return false;
        case HeaderKind::NoInterface:
            error = "This pcapng file is not an Orvane capture file: it describes no interface";
            return false;
        case HeaderKind::Export:
            error = "This file is an export for Wireshark, not a capture file";
            return false;
        case HeaderKind::Other:
            error =
                "This pcapng file is not an Orvane capture file: its packets are of link type " +
                std::to_string(foreignLinkType_);
            return false;
    }
    return false;
}

// Reads the first section's header and the interface descriptions up to its first packet, then
// leaves the stream at that packet. Any interface of the capture unit's stream makes the file a
// capture file; an export's interface makes it an export; any other, another pcapng file.
CaptureFileReader::HeaderKind CaptureFileReader::ScanHeader() {
    const std::streampos origin = in_.tellg();
    if (origin < 0) return HeaderKind::Unreadable;
    in_.seekg(0, std::ios::end);
    const std::streampos end = in_.tellg();
    if (end < origin) return HeaderKind::Unreadable;
    origin_ = static_cast<std::uint64_t>(origin);
    size_ = static_cast<std::uint64_t>(end - origin);
    Rewind(0);
    char head[12];
    if (size_ < sizeof head || !in_.read(head, sizeof head) ||
        !pcapng::SectionIsBigEndian(std::string_view(head, sizeof head))) {
        return HeaderKind::NotPcapng;
    }
    Rewind(0);

    bool sawOurs = false;
    bool sawExport = false;
    bool sawInterface = false;
    for (bool firstSection = true;;) {
        const BlockResult result = NextBlock();
        if (result == BlockResult::End) {
            if (!sawInterface) return HeaderKind::CutShort;
            break;
        }
        if (result == BlockResult::Damaged ||
            (blockType_ == pcapng::kSectionHeaderBlock && firstSection && !StartSection(true)) ||
            (blockType_ == pcapng::kInterfaceDescriptionBlock && !AddInterface())) {
            // NextRead finds the damage again once the reads before it are returned.
            Rewind(blockStart_);
            if (!sawInterface) return HeaderKind::Damaged;
            break;
        }
        if (blockType_ == pcapng::kSectionHeaderBlock) {
            if (!firstSection) {
                Rewind(blockStart_);
                break;
            }
            firstSection = false;
        } else if (blockType_ == pcapng::kInterfaceDescriptionBlock) {
            const std::uint16_t linkType = interfaces_.back().linkType;
            sawInterface = true;
            sawOurs = sawOurs || linkType == pcapng::kLinkTypeUser0;
            sawExport = sawExport || linkType == pcapng::kLinkTypeUser1;
            if (foreignLinkType_ == 0 && linkType != pcapng::kLinkTypeUser0 &&
                linkType != pcapng::kLinkTypeUser1) {
                foreignLinkType_ = linkType;
            }
        } else if (blockType_ == pcapng::kEnhancedPacketBlock || blockType_ == 2 ||
                   blockType_ == 3) {
            // The first packet (enhanced, obsolete or simple): the header has ended.
            Rewind(blockStart_);
            break;
        }
    }
    if (sawOurs) return HeaderKind::Ours;
    if (sawExport) return HeaderKind::Export;
    return sawInterface ? HeaderKind::Other : HeaderKind::NoInterface;
}

// Reads the block at next_. Blocks that are parsed are read whole into block_; any other block
// is passed over with a seek, so its length may be anything the file really holds.
CaptureFileReader::BlockResult CaptureFileReader::NextBlock() {
    blockStart_ = next_;
    if (next_ == size_) return BlockResult::End;
    const std::uint64_t remaining = size_ - next_;
    char head[12];
    std::size_t headBytes = 8;
    if (remaining < pcapng::kMinBlockBytes || !in_.read(head, 8)) return BlockResult::Damaged;
    const std::string_view headView(head, sizeof head);
    // The section header's block type reads the same in either byte order; its own byte-order
    // mark tells the order of its length.
    const std::uint32_t type = pcapng::ReadU32(headView, 0, bigEndian_);
    blockBigEndian_ = bigEndian_;
    if (type == pcapng::kSectionHeaderBlock) {
        if (!in_.read(head + 8, 4)) return BlockResult::Damaged;
        headBytes = 12;
        const std::optional<bool> big = pcapng::SectionIsBigEndian(headView);
        if (!big) return BlockResult::Damaged;
        blockBigEndian_ = *big;
    }
    const std::uint32_t length = pcapng::ReadU32(headView, 4, blockBigEndian_);
    if (length < pcapng::kMinBlockBytes || length % 4 != 0 || length > remaining) {
        return BlockResult::Damaged;
    }
    std::uint32_t trailingLength = 0;
    if (type == pcapng::kSectionHeaderBlock || type == pcapng::kInterfaceDescriptionBlock ||
        type == pcapng::kEnhancedPacketBlock) {
        if (length > pcapng::kMaxBlockBytes) return BlockResult::Damaged;
        block_.assign(head, headBytes);
        block_.resize(length);
        if (!in_.read(block_.data() + headBytes,
                      static_cast<std::streamsize>(length - headBytes))) {
            return BlockResult::Damaged;
        }
        trailingLength = pcapng::ReadU32(block_, length - 4, blockBigEndian_);
    } else {
        char tail[4];
        in_.seekg(static_cast<std::streamoff>(length - headBytes - 4), std::ios::cur);
        if (!in_ || !in_.read(tail, 4)) return BlockResult::Damaged;
        trailingLength = pcapng::ReadU32(std::string_view(tail, 4), 0, blockBigEndian_);
    }
    if (trailingLength != length) return BlockResult::Damaged;
    blockType_ = type;
    next_ += length;
    return BlockResult::Block;
}

// A new section: its byte order, its own interfaces, and for the first one the file's info.
bool CaptureFileReader::StartSection(bool firstSection) {
    if (block_.size() < pcapng::kMinSectionHeaderBytes) return false;
    if (pcapng::ReadU16(block_, 12, blockBigEndian_) != 1) return false;  // major version
    bigEndian_ = blockBigEndian_;
    interfaces_.clear();
    if (!firstSection) return true;
    const std::string_view options =
        std::string_view(block_).substr(24, block_.size() - pcapng::kMinSectionHeaderBytes);
    for (const pcapng::Option& option : pcapng::ParseOptions(options, bigEndian_)) {
        if (option.code == pcapng::kShbUserAppl) info_.application = std::string(option.value);
        if (option.code != pcapng::kOptComment) continue;
        std::string_view comment = option.value;
        while (!comment.empty()) {
            const std::size_t end = comment.find('\n');
            std::string_view line = comment.substr(0, end);
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (mark_.empty()) mark_ = std::string(line);
            ParseInfoLine(line, info_);
            comment = end == std::string_view::npos ? std::string_view() : comment.substr(end + 1);
        }
    }
    return true;
}

bool CaptureFileReader::AddInterface() {
    if (block_.size() < pcapng::kMinInterfaceBytes) return false;
    Interface interface;
    interface.linkType = pcapng::ReadU16(block_, 8, bigEndian_);
    const std::string_view options =
        std::string_view(block_).substr(16, block_.size() - pcapng::kMinInterfaceBytes);
    for (const pcapng::Option& option : pcapng::ParseOptions(options, bigEndian_)) {
        if (option.code == pcapng::kIfTsResol && option.value.size() >= 1) {
            interface.timeBase.resolution = static_cast<std::uint8_t>(option.value[0]);
        } else if (option.code == pcapng::kIfTsOffset && option.value.size() == 8) {
            interface.timeBase.offsetSeconds =
                static_cast<std::int64_t>(pcapng::ReadU64(option.value, 0, bigEndian_));
        }
    }
    interfaces_.push_back(interface);
    return true;
}

bool CaptureFileReader::NextRead(CaptureRead& read) {
    if (!headerRead_ || ended_ || damaged_) return false;
    for (;;) {
        const BlockResult result = NextBlock();
        if (result == BlockResult::End) {
            ended_ = true;
            return false;
        }
        if (result == BlockResult::Damaged) break;
        if (blockType_ == pcapng::kSectionHeaderBlock) {
            if (!StartSection(false)) break;
            continue;
        }
        if (blockType_ == pcapng::kInterfaceDescriptionBlock) {
            if (!AddInterface()) break;
            continue;
        }
        if (blockType_ != pcapng::kEnhancedPacketBlock) continue;

        if (block_.size() < pcapng::kMinEnhancedPacketBytes) break;
        const std::uint32_t interfaceId = pcapng::ReadU32(block_, 8, bigEndian_);
        const std::uint64_t capturedLength = pcapng::ReadU32(block_, 20, bigEndian_);
        const std::uint64_t originalLength = pcapng::ReadU32(block_, 24, bigEndian_);
        if (interfaceId >= interfaces_.size() ||
            capturedLength + pcapng::kMinEnhancedPacketBytes > block_.size()) {
            break;
        }
        const Interface& interface = interfaces_[interfaceId];
        if (interface.linkType != pcapng::kLinkTypeUser0) continue;
        // A read cut short would not give the live result again: that is damage too.
        if (capturedLength != originalLength || capturedLength > kMaxCaptureReadBytes) break;
        const std::uint64_t timestamp =
            (std::uint64_t{pcapng::ReadU32(block_, 12, bigEndian_)} << 32) |
            pcapng::ReadU32(block_, 16, bigEndian_);
        read.timeUs = pcapng::TimestampToMicroseconds(timestamp, interface.timeBase);
        read.bytes.assign(block_.data() + pcapng::kEnhancedPacketDataOffset, capturedLength);
        ++readsDone_;
        return true;
    }
    MarkDamaged();
    return false;
}

std::string CaptureFileReader::DamageText() const {
    if (!damaged_) return {};
    return "damaged after " + Plural(readsDone_, "read", "reads") + ": " +
           Plural(unreadBytes_, "byte", "bytes") + " could not be read";
}

void CaptureFileReader::Rewind(std::uint64_t offset) {
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(origin_ + offset));
    next_ = offset;
}

void CaptureFileReader::MarkDamaged() {
    damaged_ = true;
    unreadBytes_ = size_ - blockStart_;
}

}  // namespace orvane
