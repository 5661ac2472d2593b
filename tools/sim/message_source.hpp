// The capture unit's messages, ready to send: packed from line traffic, or cut from a raw file.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/line_traffic.hpp"
#include "sim/sim_random.hpp"

namespace orvane::sim {

// One message of the capture unit: the marker, the sequence number and the entries.
struct SimMessage {
    std::string bytes;
    std::int64_t dueUs = 0;  // when the unit would send it, counted from the connection's start
};

// Packs line bytes into messages as the capture unit does: a message is sent when it holds
// maxEntries entries or when the line has been quiet for flushGapUs after its last byte.
class MessagePacker {
  public:
    MessagePacker(std::uint32_t firstSeq, int maxEntries, std::int64_t flushGapUs,
                  int tickOffsetMs);

    void Add(const LineByte& lineByte, std::deque<SimMessage>& out);
    void Flush(std::deque<SimMessage>& out);
    // Loses sequence numbers, as a unit does when it drops messages.
    void SkipSequence(std::uint32_t count) { seq_ = (seq_ + count) & 0xFFFFFF; }

  private:
    void Emit(std::int64_t dueUs, std::deque<SimMessage>& out);

    std::uint32_t seq_;
    int maxEntries_;
    std::int64_t flushGapUs_;
    int tickOffsetMs_;
    std::string current_;
    int entries_ = 0;
    std::int64_t lastUs_ = 0;
};

struct SourceOptions {
    std::uint64_t seed = 1;
    int maxEntries = 16;
    std::int64_t flushGapUs = 2000;
    std::int64_t firstSeq = -1;  // -1: chosen from the seed
};

// A stream of messages; each connection gets a fresh source, so every connection sees the same
// bytes for the same options.
class MessageSource {
  public:
    virtual ~MessageSource() = default;
    // The next message; false when the stream has ended.
    virtual bool Next(SimMessage& message) = 0;
};

// Scenario names: sony, odetics, vdcp, noise, faults, vdcp-faults. Null for an unknown name.
std::unique_ptr<MessageSource> MakeScenarioSource(const std::string& scenario,
                                                  const SourceOptions& options);

// A raw capture file sent as is, cut into its messages for pacing and write patterns.
std::unique_ptr<MessageSource> MakeFileSource(std::string content);

// The same cut, exposed for tests of the simulator's own logic.
std::vector<std::string> CutIntoMessages(const std::string& content);

}  // namespace orvane::sim
