// Figures over a whole capture: what the line carried, how fast the deck answered, what went
// wrong; gathered packet by packet as the analysis takes them in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "capture/continuous_capture.hpp"
#include "views/packet_analysis.hpp"

namespace orvane {

// Latencies counted in 1-ms bins up to a cap, and exactly above it, so the median and the 95th
// percentile come out exact at 1-ms resolution from a fixed, small amount of memory.
class LatencyHistogram {
  public:
    static constexpr std::uint32_t kBinCount = 1000;  // bins for 0 .. 999 ms

    void Add(std::uint32_t ms);

    std::uint64_t count() const { return count_; }
    std::uint32_t min() const { return min_; }
    std::uint32_t max() const { return max_; }
    // Nearest rank: the least latency with at least `percent` % of all at or below it; the
    // median is Percentile(50) (the lower middle of an even count). Needs count() > 0.
    std::uint32_t Percentile(unsigned percent) const;

    // The count of one bin below the cap, and the latencies of kBinCount ms and more with their
    // counts, in rising order.
    std::uint64_t BinCount(std::uint32_t ms) const;
    const std::map<std::uint32_t, std::uint64_t>& overflow() const { return overflow_; }

  private:
    std::vector<std::uint64_t> bins_;  // empty until the first latency below the cap
    std::map<std::uint32_t, std::uint64_t> overflow_;
    std::uint64_t count_ = 0;
    std::uint32_t min_ = UINT32_MAX;
    std::uint32_t max_ = 0;
};

// One stretch of the latency chart.
struct LatencyPoint {
    std::int64_t startMs = 0;  // since the capture's first packet
    std::uint64_t count = 0;
    std::uint32_t min = 0;
    std::uint32_t median = 0;
    std::uint32_t max = 0;
};

// Latency over time in stretches of equal length: one second each at first, twice as long
// whenever the capture outgrows kMaxPoints of them, so a chart of a whole day stays small.
class LatencyTimeline {
  public:
    static constexpr std::size_t kMaxPoints = 512;

    // A reply `sinceStartMs` after the capture's first packet (never falling between calls).
    void Add(std::int64_t sinceStartMs, std::uint32_t latencyMs);

    std::int64_t bucketMs() const { return bucketMs_; }
    // The stretches that hold a reply, in order.
    std::vector<LatencyPoint> Points() const;

  private:
    // (latency, count) in rising order: a line answers in few distinct latencies.
    using Bucket = std::vector<std::pair<std::uint32_t, std::uint64_t>>;
    std::vector<Bucket> buckets_;
    std::int64_t bucketMs_ = 1000;
};

// The figures of one command or reply name on one side.
struct NameStatistics {
    std::string name;  // Windows-1252, as the decoders write
    bool fromDevice = false;
    std::uint64_t count = 0;
    // A reply's own latencies; a command's are those of the replies that answered it.
    LatencyHistogram latency;
};

// The line's figures over a capture and its analysis. Packets are counted by the name of their
// kind, found once per key (the side and the bytes that say what the packet is), so a capture of
// millions of packets costs a lookup per packet and a few decodes in all.
class LineStatistics {
  public:
    LineStatistics(const ContinuousCapture& capture, const PacketAnalysis& analysis);

    // Takes in the packets the analysis has taken in since the last call.
    void Update();

    std::uint64_t packetCount() const { return tally_.packets; }
    // In order of first appearance.
    const std::vector<NameStatistics>& names() const { return tally_.names; }

    std::uint64_t VerdictCount(VerdictKind kind) const {
        return tally_.verdicts[static_cast<std::size_t>(kind)];
    }
    // NAKs with bit `bit` (0..7) set in their error byte.
    std::uint64_t NakReasonCount(int bit) const {
        return tally_.naks[static_cast<std::size_t>(bit)];
    }
    std::uint64_t lostMessages() const { return capture_.counters().lostMessages; }

    // Routine polling: the controller's Time Sense and Status Sense requests, which the filter
    // boxes can hide.
    std::uint64_t pollCount() const { return tally_.polls; }
    // From the first packet's first byte to the last packet's last byte.
    std::int64_t durationMs() const { return tally_.durationMs; }
    double PollsPerSecond() const;

    const LatencyHistogram& replyLatency() const { return tally_.replyLatency; }
    const LatencyTimeline& latencyOverTime() const { return tally_.timeline; }

  private:
    struct KeySlot {
        std::uint32_t name;  // place in names
        bool poll;
    };
    static constexpr std::uint32_t kNoCommand = UINT32_MAX;

    // Everything counted so far; a regrouped capture starts it afresh.
    struct Tally {
        ProtocolMode protocolMode = ProtocolMode::kSony;
        std::size_t packetsDone = 0;
        std::size_t problemsDone = 0;
        std::unordered_map<std::uint32_t, KeySlot> keySlots;
        // The last slot found for each of a few keys: a line repeats the same handful of kinds.
        std::array<std::pair<std::uint32_t, KeySlot>, 256> slotMemo{};
        std::unordered_map<std::string, std::uint32_t> nameIndex;  // by side and name
        std::vector<NameStatistics> names;
        std::uint32_t lastCommand = kNoCommand;  // the name of the last command taken in

        std::uint64_t packets = 0;
        std::uint64_t polls = 0;
        std::array<std::uint64_t, kVerdictKindCount> verdicts{};
        std::array<std::uint64_t, 8> naks{};
        bool anyPacket = false;
        std::int64_t firstTimeMs = 0;
        std::int64_t durationMs = 0;
        LatencyHistogram replyLatency;
        LatencyTimeline timeline;
        // Replies not yet on the timeline, (first byte, latency): their times are looked up
        // together, most of them needing none of their own.
        std::vector<std::pair<std::uint32_t, std::uint32_t>> pending;
    };

    KeySlot SlotOf(std::size_t packet);
    KeySlot NewSlot(std::size_t packet, std::uint32_t key);
    void TakePacket(std::size_t packet);
    void PlacePending();
    void Place(std::size_t low, std::size_t high, std::int64_t lowMs, std::int64_t highMs);
    std::int64_t SinceFirstMs(std::uint32_t byte) const;

    const ContinuousCapture& capture_;
    const PacketAnalysis& analysis_;
    Tally tally_;
};

// The name of a kind of packet: the decoder's description with its data left out (the words
// every packet of the key shares), the VDCP vocabulary's name, "Ack" and "Nak" for the one-byte
// acknowledges, or "unknown XX YY" for a code no vocabulary knows. `packet` is one packet of the
// kind, all its bytes.
std::string PacketKindName(ProtocolMode protocolMode, std::span<const std::uint8_t> packet);

}  // namespace orvane
