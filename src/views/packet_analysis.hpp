// Timing and verdicts of every packet of a capture: what went wrong on the line, packet by
// packet, worked out once as the packets complete.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "capture/chunked_array.hpp"
#include "capture/continuous_capture.hpp"
#include "decode/decoder.hpp"

namespace orvane {

// The kinds of problem a packet can show, one bit each in PacketVerdict::kinds.
enum class VerdictKind : std::uint8_t {
    kChecksum,        // the packet's checksum byte is not the sum of its bytes
    kShortPacket,     // fewer bytes than its header announces
    kLongPacket,      // more bytes than its header announces
    kStrayBytes,      // bytes that belong to no packet
    kNak,             // a NAK; its reasons are in PacketVerdict::nakReasons
    kLateReply,       // the reply came later than the protocol allows
    kNoReply,         // a command with no reply before the next command or within 100 ms
    kReplyToNothing,  // a reply with no command waiting for it
    kUnknownCode,     // a command or reply the vocabularies do not know
    kLostMessages,    // capture unit messages were lost just before this packet
};
inline constexpr int kVerdictKindCount = 10;

// Errors break the exchange; warnings are worth a look.
enum class Severity : std::uint8_t { kNone, kWarning, kError };

// A packet with at least one problem, with what its verdict text needs.
struct PacketVerdict {
    std::size_t packet = 0;       // its place in the capture's packet index
    std::uint16_t kinds = 0;      // bit (1 << VerdictKind) per problem
    std::uint8_t nakReasons = 0;  // the NAK's error byte
    std::uint8_t received = 0;    // checksum received ...
    std::uint8_t expected = 0;    // ... and the one the bytes add up to
    std::uint16_t length = 0;     // bytes the packet has ...
    std::uint16_t announced = 0;  // ... and the bytes its header announces
    std::uint32_t lateByMs = 0;   // a late reply: 9-pin to its last byte, VDCP to its first
    std::uint32_t lostMessages = 0;
    std::uint32_t strayBefore = 0;  // kStrayBytes: bytes of its side before it in no packet
    bool notAPacket = false;        // kStrayBytes: the packet itself does not begin like one
    bool fromDevice = false;        // a reply (or a command), for the unknown code's text

    bool Has(VerdictKind kind) const { return (kinds & (1u << static_cast<int>(kind))) != 0; }
};

// Timing and verdicts of a capture's packets. Update takes in the packets completed since the
// last call (a live capture grows); queries are for packets already taken in.
class PacketAnalysis {
  public:
    explicit PacketAnalysis(const ContinuousCapture& capture);
    PacketAnalysis(const PacketAnalysis&) = delete;
    PacketAnalysis& operator=(const PacketAnalysis&) = delete;

    // Takes in the packets completed since the last call. Once the capture has finished, the
    // last command's wait is decided too. After a Regroup of the capture it begins again.
    void Update();
    // Packets before this one have final timing and verdicts; the last command may still be
    // waiting for its reply.
    std::size_t AnalyzedCount() const;

    // Frees what packets below `packet` used, as far as whole chunks allow: a capture written
    // out as it grows. Their timing and verdicts must not be asked for again.
    void ReleaseBefore(std::size_t packet);

    // A deck reply's latency: from the last byte of the command it answers to its own first
    // byte, in ms; nullopt for commands and for replies that answer nothing.
    std::optional<std::uint32_t> LatencyMs(std::size_t packet) const;
    // From the previous packet's first byte to this packet's first byte, in ms (0 for the first).
    std::int64_t SincePreviousMs(std::size_t packet) const;

    // The packet's problems, or nullptr when all is well.
    const PacketVerdict* VerdictOf(std::size_t packet) const;
    Severity SeverityOf(std::size_t packet) const;

    // Cell texts (plain ASCII): "12 ms" or empty; the problems joined by "; ", or empty.
    std::string LatencyText(std::size_t packet) const;
    std::string VerdictText(std::size_t packet) const;

    // The packets with a problem, in order, for "next problem" and for the statistics.
    const ChunkedArray<PacketVerdict>& Problems() const;
    // The first problem packet after `packet`, and the last one before it.
    std::optional<std::size_t> NextProblem(std::size_t packet) const;
    std::optional<std::size_t> PreviousProblem(std::size_t packet) const;

    // Bytes held, for memory figures.
    std::size_t MemoryBytes() const;

  private:
    // One byte a packet: the latency (0..100 ms, or kNoLatency) and whether it has a problem.
    static constexpr std::uint8_t kNoLatency = 0x7F;
    static constexpr std::uint8_t kHasProblem = 0x80;

    void Restart();
    void Analyze(std::size_t packet);
    // The waiting command stops waiting; with no reply, it gets "no reply".
    void StopWaiting(bool noReply);
    bool IsUnknownCode(std::span<const std::uint8_t> bytes, bool device);
    std::size_t FirstProblemFrom(std::size_t packet) const;

    const ContinuousCapture& capture_;
    ProtocolMode protocolMode_;
    bool vdcp_;
    Decoder decoder_;
    ChunkedArray<std::uint8_t> dense_;
    ChunkedArray<PacketVerdict> problems_;
    std::size_t problemsReleased_ = 0;
    std::size_t packetsReleased_ = 0;
    std::size_t gapCursor_ = 0;
    std::array<bool, 2> sideSeen_{};  // a packet of the side came already (for leading runs)
    // The command waiting for its reply, with its own problems so far.
    bool waiting_ = false;
    PacketVerdict waitingVerdict_;
    std::int64_t waitingLastMs_ = 0;
    std::vector<PacketVerdict> heldBack_;  // verdicts of the noise after the waiting command
    bool finishDecided_ = false;
    std::vector<std::uint8_t> scratch_;
    // Whether a code is unknown, by its leading key bytes and side: a line repeats a few codes.
    struct CodeMemo {
        std::uint64_t key = ~std::uint64_t{0};
        bool unknown = false;
    };
    std::array<CodeMemo, 256> codeMemo_{};
};

// The verdict text of one kind alone, as the statistics name it ("checksum wrong", ...).
const char* VerdictKindName(VerdictKind kind);
// The name of one NAK error bit ("undefined command", ...), nullptr for bits with no meaning.
const char* NakReasonName(int bit);
Severity SeverityOfKinds(std::uint16_t kinds);

// Whether the capture's bytes read better under the other protocol (Odetics counts as Sony):
// most packets fail their checksums or framing under the capture's protocol and most would pass
// under the other.
struct ProtocolFit {
    std::size_t packetsChecked = 0;
    std::size_t packetsFailing = 0;       // under the capture's protocol
    std::size_t otherPacketsPassing = 0;  // under the other protocol, of those it groups
    std::size_t otherPacketsChecked = 0;
    bool otherFitsBetter = false;
};
// Regroups the capture's first kProtocolFitBytes bytes (or all it has) both ways; they must not
// have been released.
inline constexpr std::size_t kProtocolFitBytes = 4096;
ProtocolFit CheckProtocolFit(const ContinuousCapture& capture);

}  // namespace orvane
