// Timing and verdicts of every packet of a capture: what went wrong on the line, packet by
// packet, worked out once as the packets complete.
#include "views/packet_analysis.hpp"

#include <algorithm>
#include <string_view>

#include "capture/packet_numbering.hpp"
#include "views/capture_rows.hpp"

namespace orvane {
namespace {

// A command waits this long after its last byte for the deck to begin a reply.
constexpr std::int64_t kReplyWaitMs = 100;
// A 9-pin reply must be complete this soon after the command's last byte; a VDCP reply must
// have begun this soon.
constexpr std::int64_t kSonyReplyDoneMs = 9;
constexpr std::int64_t kVdcpReplyBeginMs = 6;

constexpr std::uint16_t Bit(VerdictKind kind) {
    return static_cast<std::uint16_t>(1u << static_cast<int>(kind));
}

constexpr std::uint16_t kErrorKinds = Bit(VerdictKind::kChecksum) | Bit(VerdictKind::kShortPacket) |
                                      Bit(VerdictKind::kLongPacket) | Bit(VerdictKind::kNak) |
                                      Bit(VerdictKind::kNoReply) | Bit(VerdictKind::kLostMessages);

// What a packet's header announces and whether its bytes keep to it.
struct Framing {
    bool beginsLikePacket = true;
    std::uint16_t length = 0;
    std::uint16_t announced = 0;
    bool hasChecksum = false;  // long enough to hold its checksum byte
    std::uint8_t received = 0;
    std::uint8_t expected = 0;
    bool nak = false;
    std::uint8_t nakReasons = 0;

    bool ChecksumWrong() const { return hasChecksum && received != expected; }
    bool Passes() const { return beginsLikePacket && length == announced && !ChecksumWrong(); }
};

std::uint16_t Saturated16(std::size_t value) {
    return static_cast<std::uint16_t>(std::min<std::size_t>(value, 0xFFFF));
}

// CMD1, CMD2, the data bytes CMD1's low nibble counts, and a checksum: the low 8 bits of the
// sum of the bytes before it. A NAK is 11 12 and its error byte.
Framing CheckSony(std::span<const std::uint8_t> bytes) {
    Framing framing;
    framing.length = Saturated16(bytes.size());
    const auto announced = static_cast<std::size_t>(SonyPacketLength(bytes[0]));
    framing.announced = static_cast<std::uint16_t>(announced);
    if (bytes.size() >= announced) {
        framing.hasChecksum = true;
        unsigned sum = 0;
        for (std::size_t i = 0; i + 1 < announced; ++i) sum += bytes[i];
        framing.expected = static_cast<std::uint8_t>(sum);
        framing.received = bytes[announced - 1];
    }
    if (bytes.size() >= 3 && bytes[0] == 0x11 && bytes[1] == 0x12) {
        framing.nak = true;
        framing.nakReasons = bytes[2];
    }
    return framing;
}

// STX, the byte count, that many bytes, and a checksum: the two's complement of the sum of the
// counted bytes. The deck also sends a lone ACK, and a NAK with its error byte.
Framing CheckVdcp(std::span<const std::uint8_t> bytes, bool device) {
    Framing framing;
    framing.length = Saturated16(bytes.size());
    const std::uint8_t first = bytes[0];
    if (first == kVdcpStx) {
        const std::size_t announced = bytes.size() >= 2 ? std::size_t{bytes[1]} + 3 : 3;
        framing.announced = static_cast<std::uint16_t>(announced);
        if (bytes.size() >= announced) {
            framing.hasChecksum = true;
            unsigned sum = 0;
            for (std::size_t i = 2; i + 1 < announced; ++i) sum += bytes[i];
            framing.expected = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
            framing.received = bytes[announced - 1];
        }
    } else if (device && first == kVdcpAck) {
        framing.announced = 1;
    } else if (device && first == kVdcpNak) {
        framing.announced = 2;
        if (bytes.size() >= 2) {
            framing.nak = true;
            framing.nakReasons = bytes[1];
        }
    } else {
        framing.beginsLikePacket = false;
        framing.announced = framing.length;
    }
    return framing;
}

Framing Check(std::span<const std::uint8_t> bytes, bool vdcp, bool device) {
    return vdcp ? CheckVdcp(bytes, device) : CheckSony(bytes);
}

// The vocabularies name what they do not know "Unknown ..." or give no description at all.
bool IsUnknownDescription(std::string_view description) {
    const std::size_t start = description.find_first_not_of(' ');
    if (start == std::string_view::npos) return true;
    return description.substr(start).starts_with("Unknown");
}

std::string HexPair(std::uint8_t value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[value >> 4], kDigits[value & 0x0F]};
}

void AppendPart(std::string& text, std::string_view part) {
    if (!text.empty()) text.append("; ");
    text.append(part);
}

std::string CountText(std::uint32_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// How many of a protocol's packets over the capture's first bytes pass their checks.
struct FitCount {
    std::size_t checked = 0;
    std::size_t passing = 0;
};

FitCount CountFit(const SerialByteStore& bytes, std::size_t byteCount, bool vdcp) {
    PacketIndex index(vdcp ? ProtocolMode::kVdcp : ProtocolMode::kSony);
    for (std::size_t i = 0; i < byteCount; ++i) {
        index.AddByte(static_cast<std::uint32_t>(i), bytes.Value(i), bytes.Direction(i));
    }
    index.Finish();
    FitCount count;
    // Bytes before a side's first packet are stray: one failing packet each.
    for (const bool device : {false, true}) {
        if (index.Leading(device).present) ++count.checked;
    }
    std::vector<std::uint8_t> packet;
    for (std::size_t p = 0; p < index.size(); ++p) {
        const PacketEntry& entry = index[p];
        GatherPacketBytes(bytes, entry.firstByte, entry.lastByte, entry.direction(), packet);
        ++count.checked;
        if (!entry.cutOff() && Check(packet, vdcp, entry.fromDevice()).Passes()) ++count.passing;
    }
    return count;
}

}  // namespace

const char* VerdictKindName(VerdictKind kind) {
    switch (kind) {
        case VerdictKind::kChecksum:
            return "checksum wrong";
        case VerdictKind::kShortPacket:
            return "short packet";
        case VerdictKind::kLongPacket:
            return "long packet";
        case VerdictKind::kStrayBytes:
            return "stray bytes";
        case VerdictKind::kNak:
            return "NAK";
        case VerdictKind::kLateReply:
            return "late reply";
        case VerdictKind::kNoReply:
            return "no reply";
        case VerdictKind::kReplyToNothing:
            return "reply to nothing";
        case VerdictKind::kUnknownCode:
            return "unknown code";
        case VerdictKind::kLostMessages:
            return "lost messages";
    }
    return "";
}

const char* NakReasonName(int bit) {
    switch (bit) {
        case 0:
            return "undefined command";
        case 2:
            return "checksum error";
        case 4:
            return "parity error";
        case 5:
            return "buffer overrun";
        case 6:
            return "framing error";
        case 7:
            return "time-out";
        default:
            return nullptr;
    }
}

Severity SeverityOfKinds(std::uint16_t kinds) {
    if ((kinds & kErrorKinds) != 0) return Severity::kError;
    return kinds != 0 ? Severity::kWarning : Severity::kNone;
}

PacketAnalysis::PacketAnalysis(const ContinuousCapture& capture)
    : capture_(capture),
      protocolMode_(capture.packets().protocolMode()),
      vdcp_(protocolMode_ == ProtocolMode::kVdcp),
      decoder_(protocolMode_) {
    Update();
}

void PacketAnalysis::Restart() {
    protocolMode_ = capture_.packets().protocolMode();
    vdcp_ = protocolMode_ == ProtocolMode::kVdcp;
    decoder_ = Decoder(protocolMode_);
    dense_.clear();
    problems_.clear();
    problemsReleased_ = 0;
    packetsReleased_ = 0;
    gapCursor_ = 0;
    sideSeen_ = {};
    waiting_ = false;
    heldBack_.clear();
    finishDecided_ = false;
    codeMemo_ = {};
}

void PacketAnalysis::Update() {
    const PacketIndex& packets = capture_.packets();
    if (packets.protocolMode() != protocolMode_ || packets.size() < dense_.size()) Restart();
    const std::size_t complete = packets.CompleteCount();
    for (std::size_t p = dense_.size(); p < complete; ++p) Analyze(p);
    if (capture_.finished() && dense_.size() == packets.size() && !finishDecided_) {
        finishDecided_ = true;
        // A command that the capture's end cut short of its 100 ms could still have had a
        // reply: it stays without a verdict.
        const SerialByteStore& bytes = capture_.bytes();
        if (waiting_ && bytes.size() > 0) {
            StopWaiting(bytes.TimeMs(bytes.size() - 1) - waitingLastMs_ > kReplyWaitMs);
        }
    }
}

std::size_t PacketAnalysis::AnalyzedCount() const {
    return waiting_ ? waitingVerdict_.packet : dense_.size();
}

void PacketAnalysis::Analyze(std::size_t p) {
    const PacketEntry& entry = capture_.packets()[p];
    const SerialByteStore& bytes = capture_.bytes();
    const bool device = entry.fromDevice();
    GatherPacketBytes(bytes, entry.firstByte, entry.lastByte, entry.direction(), scratch_);

    PacketVerdict verdict;
    verdict.packet = p;
    verdict.fromDevice = device;
    const Framing framing = Check(scratch_, vdcp_, device);
    bool isPacket = framing.beginsLikePacket && !entry.cutOff();
    // The code is read only from a packet that holds one: a 9-pin CMD1 and CMD2, or a VDCP
    // frame's command type and code.
    const bool holdsCode =
        vdcp_ ? scratch_[0] == kVdcpStx && scratch_.size() >= 4 : scratch_.size() >= 2;
    const bool unknown = isPacket && holdsCode && IsUnknownCode(scratch_, device);
    // On a 9-pin line any byte opens a packet: one that breaks its framing and names no known
    // code is line noise rather than a damaged packet.
    if (!vdcp_ && unknown && !framing.Passes()) isPacket = false;

    if (!isPacket) {
        verdict.kinds |= Bit(VerdictKind::kStrayBytes);
        verdict.notAPacket = true;
    } else {
        if (framing.ChecksumWrong()) {
            verdict.kinds |= Bit(VerdictKind::kChecksum);
            verdict.received = framing.received;
            verdict.expected = framing.expected;
        }
        if (framing.length != framing.announced) {
            verdict.kinds |= Bit(framing.length < framing.announced ? VerdictKind::kShortPacket
                                                                    : VerdictKind::kLongPacket);
        }
        if (framing.nak) {
            verdict.kinds |= Bit(VerdictKind::kNak);
            verdict.nakReasons = framing.nakReasons;
        }
        if (unknown) verdict.kinds |= Bit(VerdictKind::kUnknownCode);
    }
    verdict.length = framing.length;
    verdict.announced = framing.announced;

    // Bytes of the side before its first packet belong to none: the first packet tells.
    if (!sideSeen_[device ? 1 : 0]) {
        sideSeen_[device ? 1 : 0] = true;
        const LeadingRun& run = capture_.packets().Leading(device);
        if (run.present && run.lastByte < entry.firstByte) {
            for (std::uint64_t i = run.firstByte; i <= run.lastByte; ++i) {
                if (bytes.Direction(i) == entry.direction()) ++verdict.strayBefore;
            }
            if (verdict.strayBefore > 0) verdict.kinds |= Bit(VerdictKind::kStrayBytes);
        }
    }

    const std::vector<SequenceGap>& gaps = capture_.sequenceGaps();
    while (gapCursor_ < gaps.size() && gaps[gapCursor_].firstByte <= entry.lastByte) {
        verdict.kinds |= Bit(VerdictKind::kLostMessages);
        verdict.lostMessages += gaps[gapCursor_++].lostMessages;
    }

    // The exchange: a command waits for one reply until the next command or until 100 ms
    // have passed; bytes that are no packet take no part.
    std::int64_t firstMs = 0;
    if (waiting_) {
        firstMs = bytes.TimeMs(entry.firstByte);
        if (firstMs - waitingLastMs_ > kReplyWaitMs) StopWaiting(true);
    }
    std::uint8_t latency = kNoLatency;
    if (isPacket && !device) {
        if (waiting_) StopWaiting(true);
        dense_.push_back(kNoLatency);
        waiting_ = true;
        waitingVerdict_ = verdict;
        waitingLastMs_ = bytes.TimeMs(entry.lastByte);
        return;
    }
    if (isPacket && waiting_) {
        const std::int64_t latencyMs = std::max<std::int64_t>(0, firstMs - waitingLastMs_);
        latency = static_cast<std::uint8_t>(latencyMs);  // at most kReplyWaitMs
        const std::int64_t lateMs =
            vdcp_ ? latencyMs : bytes.TimeMs(entry.lastByte) - waitingLastMs_;
        if (lateMs > (vdcp_ ? kVdcpReplyBeginMs : kSonyReplyDoneMs)) {
            verdict.kinds |= Bit(VerdictKind::kLateReply);
            verdict.lateByMs = static_cast<std::uint32_t>(lateMs);
        }
        StopWaiting(false);
    } else if (isPacket) {
        verdict.kinds |= Bit(VerdictKind::kReplyToNothing);
    }
    dense_.push_back(static_cast<std::uint8_t>(latency | (verdict.kinds != 0 ? kHasProblem : 0)));
    if (verdict.kinds == 0) return;
    // Noise while a command waits: its verdict follows the command's.
    if (waiting_) {
        heldBack_.push_back(verdict);
    } else {
        problems_.push_back(verdict);
    }
}

void PacketAnalysis::StopWaiting(bool noReply) {
    waiting_ = false;
    if (noReply) waitingVerdict_.kinds |= Bit(VerdictKind::kNoReply);
    if (waitingVerdict_.kinds != 0) {
        dense_[waitingVerdict_.packet] |= kHasProblem;
        problems_.push_back(waitingVerdict_);
    }
    for (const PacketVerdict& verdict : heldBack_) problems_.push_back(verdict);
    heldBack_.clear();
}

bool PacketAnalysis::IsUnknownCode(std::span<const std::uint8_t> bytes, bool device) {
    // The key holds what the vocabularies read a code from: CMD1 and CMD2 (and the mode byte of
    // a Doremi channel control), or a VDCP frame's command type and code.
    std::uint64_t key = std::uint64_t{device} << 40;
    if (vdcp_) {
        key |= (std::uint64_t{bytes[2]} << 8) | bytes[3];
    } else {
        const std::uint8_t third =
            bytes.size() >= 3 && (bytes[0] & 0xF0) == 0x30 && bytes[1] == 0x10 ? bytes[2] : 0;
        key |= (std::uint64_t{bytes.size() >= 3} << 32) | (std::uint64_t{bytes[0]} << 16) |
               (std::uint64_t{bytes[1]} << 8) | third;
    }
    CodeMemo& memo = codeMemo_[(key * 0x9E3779B97F4A7C15u) >> 56];
    if (memo.key != key) {
        memo.key = key;
        memo.unknown = IsUnknownDescription(decoder_.DecodeBytes(bytes));
    }
    return memo.unknown;
}

void PacketAnalysis::ReleaseBefore(std::size_t packet) {
    packet = std::min(packet, AnalyzedCount());
    if (packet <= packetsReleased_) return;
    packetsReleased_ = packet;
    dense_.ReleaseBefore(packet);
    problemsReleased_ = FirstProblemFrom(packet);
    problems_.ReleaseBefore(problemsReleased_);
}

std::size_t PacketAnalysis::FirstProblemFrom(std::size_t packet) const {
    std::size_t low = problemsReleased_;
    std::size_t high = problems_.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (problems_[middle].packet < packet) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

std::optional<std::uint32_t> PacketAnalysis::LatencyMs(std::size_t packet) const {
    if (packet >= dense_.size() || packet < packetsReleased_) return std::nullopt;
    const std::uint8_t latency = dense_[packet] & ~kHasProblem;
    if (latency == kNoLatency) return std::nullopt;
    return latency;
}

std::int64_t PacketAnalysis::SincePreviousMs(std::size_t packet) const {
    const PacketIndex& packets = capture_.packets();
    if (packet == 0 || packet >= packets.size()) return 0;
    const SerialByteStore& bytes = capture_.bytes();
    return bytes.TimeMs(packets[packet].firstByte) - bytes.TimeMs(packets[packet - 1].firstByte);
}

const PacketVerdict* PacketAnalysis::VerdictOf(std::size_t packet) const {
    if (packet >= AnalyzedCount() || packet < packetsReleased_) return nullptr;
    if ((dense_[packet] & kHasProblem) == 0) return nullptr;
    const std::size_t at = FirstProblemFrom(packet);
    if (at == problems_.size() || problems_[at].packet != packet) return nullptr;
    return &problems_[at];
}

Severity PacketAnalysis::SeverityOf(std::size_t packet) const {
    const PacketVerdict* verdict = VerdictOf(packet);
    return verdict == nullptr ? Severity::kNone : SeverityOfKinds(verdict->kinds);
}

std::string PacketAnalysis::LatencyText(std::size_t packet) const {
    const std::optional<std::uint32_t> latency = LatencyMs(packet);
    return latency ? std::to_string(*latency) + " ms" : std::string();
}

std::string PacketAnalysis::VerdictText(std::size_t packet) const {
    const PacketVerdict* verdict = VerdictOf(packet);
    if (verdict == nullptr) return {};
    const PacketVerdict& v = *verdict;
    std::string text;
    if (v.Has(VerdictKind::kChecksum)) {
        AppendPart(text, "checksum " + HexPair(v.received) + ", expected " + HexPair(v.expected));
    }
    if (v.Has(VerdictKind::kShortPacket) || v.Has(VerdictKind::kLongPacket)) {
        AppendPart(text, std::string(v.Has(VerdictKind::kShortPacket) ? "short: " : "long: ") +
                             std::to_string(v.length) + " of " + std::to_string(v.announced) +
                             " bytes");
    }
    if (v.notAPacket) AppendPart(text, "not a packet");
    if (v.strayBefore > 0)
        AppendPart(text, CountText(v.strayBefore, "stray byte", "stray bytes") + " before");
    if (v.Has(VerdictKind::kNak)) {
        std::string nak = "NAK";
        const char* separator = ": ";
        for (int bit = 0; bit < 8; ++bit) {
            const char* name = NakReasonName(bit);
            if (name == nullptr || ((v.nakReasons >> bit) & 1) == 0) continue;
            nak.append(separator).append(name);
            separator = ", ";
        }
        if (nak.size() == 3) nak += ": error byte " + HexPair(v.nakReasons);
        AppendPart(text, nak);
    }
    if (v.Has(VerdictKind::kLateReply)) {
        AppendPart(text, (vdcp_ ? "late reply: " : "late reply: complete after ") +
                             std::to_string(v.lateByMs) + " ms");
    }
    if (v.Has(VerdictKind::kNoReply)) AppendPart(text, "no reply");
    if (v.Has(VerdictKind::kReplyToNothing)) AppendPart(text, "reply to nothing");
    if (v.Has(VerdictKind::kUnknownCode)) {
        AppendPart(text, v.fromDevice ? "unknown reply" : "unknown command");
    }
    if (v.Has(VerdictKind::kLostMessages)) {
        AppendPart(text, CountText(v.lostMessages, "message lost", "messages lost"));
    }
    return text;
}

const ChunkedArray<PacketVerdict>& PacketAnalysis::Problems() const { return problems_; }

std::optional<std::size_t> PacketAnalysis::NextProblem(std::size_t packet) const {
    const std::size_t at = FirstProblemFrom(packet + 1);
    if (at == problems_.size()) return std::nullopt;
    return problems_[at].packet;
}

std::optional<std::size_t> PacketAnalysis::PreviousProblem(std::size_t packet) const {
    const std::size_t at = FirstProblemFrom(packet);
    if (at == problemsReleased_) return std::nullopt;
    return problems_[at - 1].packet;
}

std::size_t PacketAnalysis::MemoryBytes() const {
    return dense_.capacityBytes() + problems_.capacityBytes() +
           heldBack_.capacity() * sizeof(PacketVerdict);
}

ProtocolFit CheckProtocolFit(const ContinuousCapture& capture) {
    const SerialByteStore& bytes = capture.bytes();
    const std::size_t byteCount = std::min(bytes.size(), kProtocolFitBytes);
    const bool vdcp = capture.packets().protocolMode() == ProtocolMode::kVdcp;
    const FitCount own = CountFit(bytes, byteCount, vdcp);
    const FitCount other = CountFit(bytes, byteCount, !vdcp);
    ProtocolFit fit;
    fit.packetsChecked = own.checked;
    fit.packetsFailing = own.checked - own.passing;
    fit.otherPacketsChecked = other.checked;
    fit.otherPacketsPassing = other.passing;
    // A handful of packets says little either way.
    constexpr std::size_t kFewest = 3;
    fit.otherFitsBetter = fit.packetsChecked >= kFewest && fit.otherPacketsChecked >= kFewest &&
                          fit.packetsFailing * 2 > fit.packetsChecked &&
                          fit.otherPacketsPassing * 2 > fit.otherPacketsChecked;
    return fit;
}

}  // namespace orvane
