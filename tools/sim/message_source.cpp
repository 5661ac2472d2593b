// Packing line traffic into capture-unit messages, and cutting raw files back into them.
#include "sim/message_source.hpp"

#include <utility>

#include "capture/message_layout.hpp"

namespace orvane::sim {

MessagePacker::MessagePacker(std::uint32_t firstSeq, int maxEntries, std::int64_t flushGapUs,
                             int tickOffsetMs)
    : seq_(firstSeq & 0xFFFFFF),
      maxEntries_(maxEntries),
      flushGapUs_(flushGapUs),
      tickOffsetMs_(tickOffsetMs) {}

void MessagePacker::Add(const LineByte& lineByte, std::deque<SimMessage>& out) {
    if (entries_ > 0 && lineByte.timeUs - lastUs_ > flushGapUs_) {
        Emit(lastUs_ + kByteUs + flushGapUs_, out);
    }
    if (entries_ == 0) {
        current_.clear();
        AppendMessageHeader(current_, seq_);
    }
    // The unit's 12-bit millisecond tick runs freely; it does not start at the connection.
    const auto tick = static_cast<int>((tickOffsetMs_ + lineByte.timeUs / 1000) % 4096);
    AppendMessageEntry(current_, lineByte.code, tick, lineByte.value);
    ++entries_;
    lastUs_ = lineByte.timeUs;
    if (entries_ >= maxEntries_) Emit(lastUs_ + kByteUs, out);
}

void MessagePacker::Flush(std::deque<SimMessage>& out) {
    if (entries_ > 0) Emit(lastUs_ + kByteUs + flushGapUs_, out);
}

void MessagePacker::Emit(std::int64_t dueUs, std::deque<SimMessage>& out) {
    out.push_back({std::move(current_), dueUs});
    current_.clear();
    entries_ = 0;
    seq_ = (seq_ + 1) & 0xFFFFFF;
}

namespace {

// Sequence numbers start high enough that neither a header cut in two by the network nor the
// 24-bit wrap comes near a five-zero run, and low enough to stay clear of the wrap for millions
// of messages.
std::uint32_t FirstSequence(const SourceOptions& options, SimRandom& random) {
    if (options.firstSeq >= 0) return static_cast<std::uint32_t>(options.firstSeq & 0xFFFFFF);
    return static_cast<std::uint32_t>(random.Between(0x100000, 0x7FFFFF));
}

class ScenarioSource : public MessageSource {
  public:
    ScenarioSource(std::unique_ptr<LineTraffic> traffic, const SourceOptions& options,
                   SimRandom& random)
        : traffic_(std::move(traffic)),
          packer_(FirstSequence(options, random), options.maxEntries, options.flushGapUs,
                  static_cast<int>(random.Below(4096))) {}

    bool Next(SimMessage& message) override {
        while (ready_.empty()) {
            lineBytes_.clear();
            traffic_->NextField(lineBytes_);
            for (const LineByte& lineByte : lineBytes_) packer_.Add(lineByte, ready_);
            // Lost messages never arrive: neither their bytes nor their sequence numbers.
            toLose_ += traffic_->TakeLostMessages();
            for (; toLose_ > 0 && !ready_.empty(); --toLose_) ready_.pop_front();
        }
        message = std::move(ready_.front());
        ready_.pop_front();
        return true;
    }

  protected:
    std::unique_ptr<LineTraffic> traffic_;
    MessagePacker packer_;
    std::deque<SimMessage> ready_;
    std::vector<LineByte> lineBytes_;
    std::uint32_t toLose_ = 0;
};

// Noise on top of random line bytes: garbage before the first marker, lost sequence numbers,
// and stray bytes after a message's last entry.
class NoiseSource final : public ScenarioSource {
  public:
    NoiseSource(const SourceOptions& options, SimRandom random)
        : ScenarioSource(MakeNoiseTraffic(random.Next()), options, random), random_(random) {}

    bool Next(SimMessage& message) override {
        if (!garbageSent_) {
            garbageSent_ = true;
            message.bytes.clear();
            const auto length = random_.Between(16, 64);
            for (std::int64_t i = 0; i < length; ++i) {
                message.bytes.push_back(static_cast<char>(random_.Between(1, 255)));
            }
            message.dueUs = 0;
            return true;
        }
        while (ready_.empty()) {
            lineBytes_.clear();
            traffic_->NextField(lineBytes_);
            for (const LineByte& lineByte : lineBytes_) {
                const std::size_t before = ready_.size();
                packer_.Add(lineByte, ready_);
                if (ready_.size() > before && random_.OneIn(20)) {
                    packer_.SkipSequence(static_cast<std::uint32_t>(random_.Between(1, 3)));
                }
            }
        }
        message = std::move(ready_.front());
        ready_.pop_front();
        if (random_.OneIn(40))
            message.bytes.append(static_cast<std::size_t>(random_.Between(1, 2)), '\x5A');
        return true;
    }

  private:
    SimRandom random_;
    bool garbageSent_ = false;
};

bool MarkerAt(const std::string& content, std::size_t pos) {
    if (pos + 5 > content.size()) return false;
    for (std::size_t i = pos; i < pos + 5; ++i) {
        if (content[i] != '\0') return false;
    }
    return true;
}

std::uint32_t SequenceAt(const std::string& content, std::size_t pos) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(content[i]); };
    return (static_cast<std::uint32_t>(byte(pos)) << 16) | (byte(pos + 1) << 8) | byte(pos + 2);
}

// The tick of a message's last entry, or -1 when it has none.
int LastTick(const std::string& message) {
    if (message.size() < 11 || !MarkerAt(message, 0)) return -1;
    const std::size_t last = 8 + ((message.size() - 8) / 3 - 1) * 3;
    return ((static_cast<std::uint8_t>(message[last]) & 0x0F) << 8) |
           static_cast<std::uint8_t>(message[last + 1]);
}

class FileSource final : public MessageSource {
  public:
    explicit FileSource(const std::string& content) : messages_(CutIntoMessages(content)) {}

    bool Next(SimMessage& message) override {
        if (next_ >= messages_.size()) return false;
        message.bytes = messages_[next_++];
        // Real-time pacing follows the unit's tick, counting its wraps as the program does.
        const int tick = LastTick(message.bytes);
        if (tick >= 0) {
            if (base_ + tick < lastMs_) base_ = lastMs_;
            lastMs_ = base_ + tick;
            if (firstMs_ < 0) firstMs_ = lastMs_;
        }
        message.dueUs = firstMs_ < 0 ? 0 : (lastMs_ - firstMs_) * 1000;
        return true;
    }

  private:
    std::vector<std::string> messages_;
    std::size_t next_ = 0;
    std::int64_t base_ = 0;
    std::int64_t lastMs_ = 0;
    std::int64_t firstMs_ = -1;
};

}  // namespace

std::vector<std::string> CutIntoMessages(const std::string& content) {
    std::vector<std::string> messages;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.size();
        if (MarkerAt(content, start) && start + 8 <= content.size()) {
            // A message ends where, at an entry boundary, the next marker and a sequence number
            // that is not all zeros (entries of neither side can hold zero runs) begin.
            for (std::size_t p = start + 8; p + 8 <= content.size(); p += 3) {
                if (MarkerAt(content, p) && SequenceAt(content, p + 5) != 0) {
                    end = p;
                    break;
                }
            }
        } else {
            // Bytes before a marker go out on their own.
            for (std::size_t p = start + 1; p + 5 <= content.size(); ++p) {
                if (MarkerAt(content, p)) {
                    end = p;
                    break;
                }
            }
        }
        messages.push_back(content.substr(start, end - start));
        start = end;
    }
    return messages;
}

std::unique_ptr<MessageSource> MakeScenarioSource(const std::string& scenario,
                                                  const SourceOptions& options) {
    SimRandom random(options.seed);
    const std::uint64_t trafficSeed = random.Next();
    if (scenario == "sony" || scenario == "odetics") {
        return std::make_unique<ScenarioSource>(MakeSonyTraffic(trafficSeed, scenario == "odetics"),
                                                options, random);
    }
    if (scenario == "vdcp") {
        return std::make_unique<ScenarioSource>(MakeVdcpTraffic(trafficSeed), options, random);
    }
    if (scenario == "faults" || scenario == "vdcp-faults") {
        return std::make_unique<ScenarioSource>(
            MakeFaultTraffic(trafficSeed, scenario == "vdcp-faults"), options, random);
    }
    if (scenario == "noise") return std::make_unique<NoiseSource>(options, random);
    return nullptr;
}

std::unique_ptr<MessageSource> MakeFileSource(std::string content) {
    return std::make_unique<FileSource>(content);
}

}  // namespace orvane::sim
