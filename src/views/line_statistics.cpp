// Figures over a whole capture, gathered packet by packet as the analysis takes them in.
#include "views/line_statistics.hpp"

#include <algorithm>

#include "capture/hex_dump.hpp"
#include "capture/packet_numbering.hpp"
#include "decode/decoder.hpp"
#include "decode/sony_packet.hpp"
#include "decode/vdcp_names.hpp"
#include "views/capture_rows.hpp"

namespace orvane {
namespace {

// Replies gathered before their times are looked up.
constexpr std::size_t kPendingReplies = 4096;

// What a packet key holds besides its side: which bytes it took.
enum class KeyForm : std::uint32_t {
    kSony = 1,       // CMD1 CMD2
    kSonyShort = 2,  // a one-byte packet
    kVdcp = 3,       // CMD1 without its low nibble (the vocabulary and filter ignore it), CMD2
    kVdcpAcknowledge = 4,  // ACK, or NAK with or without its error byte
    kVdcpOther = 5,        // anything else: its first two bytes
};

struct KeyParts {
    KeyForm form;
    std::uint8_t high;
    std::uint8_t low;
};

KeyParts KeyPartsOf(bool vdcp, std::span<const std::uint8_t> first, std::size_t length) {
    if (!vdcp) {
        if (first.size() < 2) {
            return {KeyForm::kSonyShort, first.empty() ? std::uint8_t{0} : first[0], 0};
        }
        return {KeyForm::kSony, first[0], first[1]};
    }
    if (first.size() >= 4 && first[0] == kVdcpStx) {
        return {KeyForm::kVdcp, static_cast<std::uint8_t>(first[2] & 0xF0), first[3]};
    }
    if ((first[0] == kVdcpAck && length == 1) || (first[0] == kVdcpNak && length <= 2)) {
        return {KeyForm::kVdcpAcknowledge, first[0], 0};
    }
    return {KeyForm::kVdcpOther, first[0], first.size() > 1 ? first[1] : std::uint8_t{0}};
}

// The high bit keeps every key apart from the memo's empty slots (key 0).
std::uint32_t KeyOf(bool device, const KeyParts& parts) {
    return 0x80000000u | (device ? 0x40000000u : 0u) |
           (static_cast<std::uint32_t>(parts.form) << 16) |
           (static_cast<std::uint32_t>(parts.high) << 8) | parts.low;
}

std::string UnknownName(const KeyParts& parts) {
    std::string name = "unknown ";
    AppendHexPair(name, parts.high);
    if (parts.form != KeyForm::kSonyShort) {
        name.push_back(' ');
        AppendHexPair(name, parts.low);
    }
    return name;
}

// A description no vocabulary gave ("", " Unknown Sense Request", "Unknown Data Response").
bool IsUnknown(std::string_view description) {
    description = TrimSpaces(description);
    return description.empty() || description.find("Unknown") != std::string_view::npos;
}

// The words a Sony key's descriptions share whatever its data bytes say. The packet is decoded
// as it is and with its data bytes all 00, all 11 and all FF (checksum made good; a packet
// without data gets four, since the decoders read missing data as 00): what stays the same, cut
// back to whole words and before the first ':', ',' or '=' that brings data, is the name.
// "LTC Time Data 01:00:00:00" gives "LTC Time Data", "Status Sense, Start at 0 get 4 bytes"
// gives "Status Sense", "Program Play + 1.7%" gives "Program Play +".
std::string SonyName(ProtocolMode protocolMode, std::span<const std::uint8_t> packet) {
    std::vector<std::string> known;
    const auto describe = [&](std::span<const std::uint8_t> bytes) {
        Decoder decoder(protocolMode);
        std::string description = decoder.DecodeBytes(bytes);
        if (!IsUnknown(description)) known.push_back(std::move(description));
    };
    describe(packet);
    std::vector<std::uint8_t> variant(packet.begin(), packet.begin() + 2);
    const std::size_t dataBytes = packet.size() > 3 ? packet.size() - 3 : 4;
    if (packet.size() <= 3) variant[0] = static_cast<std::uint8_t>((variant[0] & 0xF0) | 4);
    for (const std::uint8_t fill : {0x00, 0x11, 0xFF}) {
        variant.resize(2);
        variant.insert(variant.end(), dataBytes, fill);
        unsigned sum = 0;
        for (const std::uint8_t byte : variant) sum += byte;
        variant.push_back(static_cast<std::uint8_t>(sum));
        describe(variant);
    }
    if (known.empty()) return {};

    std::string_view shared = known.front();
    for (const std::string& other : known) {
        std::size_t same = 0;
        while (same < shared.size() && same < other.size() && shared[same] == other[same]) ++same;
        shared = shared.substr(0, same);
    }
    // Where the descriptions part inside a word, that word is data too.
    const bool cutInWord = std::any_of(known.begin(), known.end(), [&](const std::string& d) {
        return d.size() > shared.size() && d[shared.size()] != ' ';
    });
    if (cutInWord && !shared.empty() && shared.back() != ' ') {
        const std::size_t space = shared.rfind(' ');
        shared = space == std::string_view::npos ? std::string_view{} : shared.substr(0, space);
    }
    std::string_view name = TrimSpaces(shared.substr(0, shared.find_first_of(":,=")));
    // Descriptions that share no word: the packet's own, up to its data.
    if (name.empty()) {
        const std::string_view own = known.front();
        name = TrimSpaces(own.substr(0, own.find_first_of(":,=")));
    }
    return std::string(name);
}

}  // namespace

std::string PacketKindName(ProtocolMode protocolMode, std::span<const std::uint8_t> packet) {
    if (packet.empty()) return "unknown";
    const bool vdcp = protocolMode == ProtocolMode::kVdcp;
    const KeyParts parts =
        KeyPartsOf(vdcp, packet.first(std::min<std::size_t>(packet.size(), 4)), packet.size());
    std::string name;
    switch (parts.form) {
        case KeyForm::kSony:
            name = SonyName(protocolMode, packet);
            break;
        case KeyForm::kVdcp:
            name = VdcpCommandName(parts.high >> 4, parts.low);
            break;
        case KeyForm::kVdcpAcknowledge:
            name = parts.high == kVdcpAck ? "Ack" : "Nak";
            break;
        case KeyForm::kSonyShort:
        case KeyForm::kVdcpOther:
            break;
    }
    return name.empty() ? UnknownName(parts) : name;
}

void LatencyHistogram::Add(std::uint32_t ms) {
    if (ms < kBinCount) {
        if (bins_.empty()) bins_.assign(kBinCount, 0);
        ++bins_[ms];
    } else {
        ++overflow_[ms];
    }
    ++count_;
    min_ = std::min(min_, ms);
    max_ = std::max(max_, ms);
}

std::uint64_t LatencyHistogram::BinCount(std::uint32_t ms) const {
    return ms < bins_.size() ? bins_[ms] : 0;
}

std::uint32_t LatencyHistogram::Percentile(unsigned percent) const {
    // The rank (from 1) of the value sought: the smallest with rank * 100 >= percent * count.
    const std::uint64_t rank = std::max<std::uint64_t>(1, (count_ * percent + 99) / 100);
    std::uint64_t below = 0;
    for (std::uint32_t ms = 0; ms < bins_.size(); ++ms) {
        below += bins_[ms];
        if (below >= rank) return ms;
    }
    for (const auto& [ms, count] : overflow_) {
        below += count;
        if (below >= rank) return ms;
    }
    return max_;
}

namespace {

using Bucket = std::vector<std::pair<std::uint32_t, std::uint64_t>>;

void AddToBucket(Bucket& bucket, std::uint32_t latency, std::uint64_t count) {
    const auto at =
        std::lower_bound(bucket.begin(), bucket.end(), latency,
                         [](const auto& entry, std::uint32_t l) { return entry.first < l; });
    if (at != bucket.end() && at->first == latency) {
        at->second += count;
    } else {
        bucket.insert(at, {latency, count});
    }
}

}  // namespace

void LatencyTimeline::Add(std::int64_t sinceStartMs, std::uint32_t latencyMs) {
    auto index = static_cast<std::size_t>(std::max<std::int64_t>(sinceStartMs, 0) / bucketMs_);
    while (index >= kMaxPoints) {
        // Twice as long a stretch: each pair of stretches becomes one.
        for (std::size_t i = 0; i < buckets_.size(); i += 2) {
            Bucket merged = std::move(buckets_[i]);
            if (i + 1 < buckets_.size()) {
                for (const auto& [latency, count] : buckets_[i + 1]) {
                    AddToBucket(merged, latency, count);
                }
            }
            buckets_[i / 2] = std::move(merged);
        }
        buckets_.resize((buckets_.size() + 1) / 2);
        bucketMs_ *= 2;
        index /= 2;
    }
    if (index >= buckets_.size()) buckets_.resize(index + 1);
    AddToBucket(buckets_[index], latencyMs, 1);
}

std::vector<LatencyPoint> LatencyTimeline::Points() const {
    std::vector<LatencyPoint> points;
    for (std::size_t i = 0; i < buckets_.size(); ++i) {
        const Bucket& bucket = buckets_[i];
        if (bucket.empty()) continue;
        LatencyPoint point;
        point.startMs = static_cast<std::int64_t>(i) * bucketMs_;
        for (const auto& entry : bucket) point.count += entry.second;
        point.min = bucket.front().first;
        point.max = bucket.back().first;
        // The lower middle, as LatencyHistogram's median.
        const std::uint64_t rank = (point.count + 1) / 2;
        std::uint64_t below = 0;
        for (const auto& [latency, count] : bucket) {
            below += count;
            if (below >= rank) {
                point.median = latency;
                break;
            }
        }
        points.push_back(point);
    }
    return points;
}

LineStatistics::LineStatistics(const ContinuousCapture& capture, const PacketAnalysis& analysis)
    : capture_(capture), analysis_(analysis) {
    tally_.protocolMode = capture_.packets().protocolMode();
    Update();
}

double LineStatistics::PollsPerSecond() const {
    if (tally_.durationMs <= 0) return 0;
    return static_cast<double>(tally_.polls) * 1000.0 / static_cast<double>(tally_.durationMs);
}

LineStatistics::KeySlot LineStatistics::NewSlot(std::size_t packet, std::uint32_t key) {
    const PacketEntry& entry = capture_.packets()[packet];
    std::vector<std::uint8_t> bytes;
    GatherPacketBytes(capture_.bytes(), entry.firstByte, entry.lastByte, entry.direction(), bytes);
    const std::string name = PacketKindName(tally_.protocolMode, bytes);

    const std::string sideAndName = (entry.fromDevice() ? "D" : "C") + name;
    const auto [at, added] =
        tally_.nameIndex.try_emplace(sideAndName, static_cast<std::uint32_t>(tally_.names.size()));
    if (added) tally_.names.push_back({name, entry.fromDevice(), 0, {}});
    KeySlot slot{at->second, false};
    if (!entry.fromDevice()) {
        FilterFlags routine = FilterFlags::ShowAll();
        routine.timeSense = false;
        routine.statusSense = false;
        slot.poll = entry.packetViewClass.IsHidden(routine);
    }
    tally_.keySlots.emplace(key, slot);
    return slot;
}

LineStatistics::KeySlot LineStatistics::SlotOf(std::size_t packet) {
    const PacketEntry& entry = capture_.packets()[packet];
    const SerialByteStore& bytes = capture_.bytes();
    const bool vdcp = tally_.protocolMode == ProtocolMode::kVdcp;
    // The first bytes of the packet's side; bytes of the other side may lie between them.
    std::array<std::uint8_t, 4> first{};
    std::size_t taken = 0;
    const std::size_t wanted = vdcp ? 4 : 2;
    const std::int32_t direction = entry.direction();
    std::uint32_t last = entry.firstByte;
    for (std::uint64_t i = entry.firstByte; i <= entry.lastByte && taken < wanted; ++i) {
        if (bytes.Direction(i) != direction) continue;
        first[taken++] = bytes.Value(i);
        last = static_cast<std::uint32_t>(i);
    }
    // Only whether a VDCP acknowledge has more bytes counts: a length of 1, 2 or more.
    const std::size_t length = last < entry.lastByte ? taken + 1 : taken;
    const KeyParts parts = KeyPartsOf(vdcp, std::span(first).first(taken), length);
    const std::uint32_t key = KeyOf(entry.fromDevice(), parts);

    auto& memo = tally_.slotMemo[(key ^ (key >> 8) ^ (key >> 16)) & 0xFF];
    if (memo.first != key) {
        const auto found = tally_.keySlots.find(key);
        memo = {key, found != tally_.keySlots.end() ? found->second : NewSlot(packet, key)};
    }
    return memo.second;
}

void LineStatistics::TakePacket(std::size_t packet) {
    const PacketEntry& entry = capture_.packets()[packet];
    if (entry.cutOff()) return;  // the Packet View leaves it out: no kind can be told
    Tally& t = tally_;
    if (!t.anyPacket) {
        t.anyPacket = true;
        t.firstTimeMs = capture_.bytes().TimeMs(entry.firstByte);
    }
    const KeySlot slot = SlotOf(packet);
    ++t.packets;
    ++t.names[slot.name].count;
    if (slot.poll) ++t.polls;
    if (!entry.fromDevice()) {
        // Bytes that do not begin like a packet are no command: a reply answers the one before.
        const PacketVerdict* verdict = analysis_.VerdictOf(packet);
        if (verdict == nullptr || !verdict->notAPacket) t.lastCommand = slot.name;
        return;
    }
    const std::optional<std::uint32_t> latency = analysis_.LatencyMs(packet);
    if (!latency) return;
    t.names[slot.name].latency.Add(*latency);
    t.replyLatency.Add(*latency);
    t.pending.emplace_back(entry.firstByte, *latency);
    if (t.pending.size() >= kPendingReplies) PlacePending();
    // A reply has a latency only while a command waits for it: the last one taken in.
    if (t.lastCommand != kNoCommand) t.names[t.lastCommand].latency.Add(*latency);
}

std::int64_t LineStatistics::SinceFirstMs(std::uint32_t byte) const {
    return capture_.bytes().TimeMs(byte) - tally_.firstTimeMs;
}

// Places pending replies low..high (both included), the first `lowMs` and the last `highMs`
// after the first packet. Times only rise, so when the two share a stretch of the timeline all
// between do too; otherwise the halves are placed apart. A busy line crosses into a new stretch
// seldom, so most replies need no time of their own.
void LineStatistics::Place(std::size_t low, std::size_t high, std::int64_t lowMs,
                           std::int64_t highMs) {
    Tally& t = tally_;
    const std::int64_t bucketMs = t.timeline.bucketMs();
    if (lowMs / bucketMs == highMs / bucketMs || high == low + 1) {
        for (std::size_t i = low; i < high; ++i) t.timeline.Add(lowMs, t.pending[i].second);
        t.timeline.Add(highMs, t.pending[high].second);
        return;
    }
    const std::size_t middle = low + (high - low) / 2;
    Place(low, middle, lowMs, SinceFirstMs(t.pending[middle].first));
    Place(middle + 1, high, SinceFirstMs(t.pending[middle + 1].first), highMs);
}

void LineStatistics::PlacePending() {
    Tally& t = tally_;
    if (t.pending.empty()) return;
    const std::size_t last = t.pending.size() - 1;
    Place(0, last, SinceFirstMs(t.pending.front().first), SinceFirstMs(t.pending[last].first));
    t.pending.clear();
}

void LineStatistics::Update() {
    // A regrouped capture is analysed again from its first packet, possibly by other rules.
    if (analysis_.AnalyzedCount() < tally_.packetsDone ||
        analysis_.Problems().size() < tally_.problemsDone ||
        capture_.packets().protocolMode() != tally_.protocolMode) {
        tally_ = Tally{};
        tally_.protocolMode = capture_.packets().protocolMode();
    }
    Tally& t = tally_;
    const std::size_t analyzed = std::min(analysis_.AnalyzedCount(), capture_.packets().size());
    std::uint32_t lastByte = 0;
    for (std::size_t packet = t.packetsDone; packet < analyzed; ++packet) {
        TakePacket(packet);
        lastByte = std::max(lastByte, capture_.packets()[packet].lastByte);
    }
    if (analyzed > t.packetsDone && t.anyPacket) {
        t.durationMs = std::max(t.durationMs, capture_.bytes().TimeMs(lastByte) - t.firstTimeMs);
    }
    t.packetsDone = std::max(t.packetsDone, analyzed);

    PlacePending();

    const auto& problems = analysis_.Problems();
    for (; t.problemsDone < problems.size(); ++t.problemsDone) {
        const PacketVerdict& verdict = problems[t.problemsDone];
        for (std::size_t kind = 0; kind < t.verdicts.size(); ++kind) {
            if (verdict.Has(static_cast<VerdictKind>(kind))) ++t.verdicts[kind];
        }
        if (!verdict.Has(VerdictKind::kNak)) continue;
        for (std::size_t bit = 0; bit < t.naks.size(); ++bit) {
            if ((verdict.nakReasons >> bit) & 1) ++t.naks[bit];
        }
    }
}

}  // namespace orvane
