// A continuous capture: the capture unit's reads, without a length limit, into the byte store
// and the packet index, as they arrive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_model.hpp"
#include "capture/packet_index.hpp"
#include "capture/receive_stream.hpp"
#include "capture/rising_column.hpp"
#include "capture/serial_byte_store.hpp"
#include "capture/trace.hpp"

namespace orvane {

// What a capture has seen so far, for the status line and the end-of-capture report.
struct CaptureCounters {
    std::uint64_t reads = 0;
    std::uint64_t streamBytes = 0;      // bytes of the capture unit's stream
    std::uint64_t messages = 0;         // messages of the capture unit taken
    std::uint64_t skippedMessages = 0;  // malformed, or cut short by a sequence gap after them
    std::uint64_t lostMessages = 0;     // sequence numbers that never arrived
    std::uint64_t sequenceGaps = 0;     // places where numbers were lost
    std::uint64_t sequenceBreaks = 0;   // places where the number went back (the unit restarted)
};

// Where capture unit messages were lost: the first byte stored after the gap in the sequence
// numbers, and how many numbers never arrived.
struct SequenceGap {
    std::uint32_t firstByte = 0;
    std::uint32_t lostMessages = 0;
};

// The capture unit's ticks wrap every 4096 ms. A continuous capture counts every wrap, so times
// stay true across a whole day: a tick lower than the one before is one wrap on, and where the
// reads say the line was quiet for longer than a cycle, the time of receipt tells how many
// cycles passed. Times count from the first byte's tick, as the bounded capture's do, so the two
// agree until the first wrap.
class ContinuousCapture {
  public:
    // Receipt times are unknown (a raw stream file): ticks alone give the time.
    static constexpr std::int64_t kNoReceiptTime = INT64_MIN;
    // A capture stops storing at this many serial bytes (byte indices are 32-bit).
    static constexpr std::uint64_t kMaxStoredBytes = 0xFFFF0000u;

    ContinuousCapture(ProtocolMode protocolMode, const Trace& trace);
    ContinuousCapture(const ContinuousCapture&) = delete;
    ContinuousCapture& operator=(const ContinuousCapture&) = delete;

    // One read from the capture unit, with its time of receipt in microseconds since 1970 UTC.
    void OnRead(std::string_view data, std::int64_t receiptTimeUs = kNoReceiptTime);

    // The capture has ended: its last message and the packets still open are complete.
    void Finish();
    bool finished() const { return finished_; }

    // Frees what rows formed from here on no longer need: the bytes below `firstByte` and the
    // packets below `firstPacket`, as far as whole chunks allow. A long capture whose rows are
    // written as it grows then keeps only its recent part. Regroup needs every byte.
    void ReleaseBefore(std::uint32_t firstByte, std::size_t firstPacket);

    // Begins again on the same bytes with another protocol's grouping.
    void Regroup(ProtocolMode protocolMode);

    const SerialByteStore& bytes() const { return bytes_; }
    const PacketIndex& packets() const { return packets_; }
    const CaptureCounters& counters() const { return counters_; }
    // The sequence gaps that bytes followed, in byte order (a gap at the very end, with no byte
    // after it, is in the counters only).
    const std::vector<SequenceGap>& sequenceGaps() const { return gaps_; }
    bool storeFull() const { return storeFull_; }

    // The capture unit message sequence number that carried a byte.
    std::uint32_t SequenceOfByte(std::uint32_t index) const;
    // The same for bytes asked for in rising order: `hint` keeps the place between calls.
    std::uint32_t SequenceOfByte(std::uint32_t index, std::size_t& hint) const;

    // Receipt time of the message that carried the first byte (kNoReceiptTime when unknown),
    // and that byte's time: absolute times of bytes count from there.
    std::int64_t firstByteReceiptUs() const { return firstByteReceiptUs_; }
    std::int64_t firstByteTimeMs() const { return firstByteTimeMs_; }
    // A byte's time in microseconds since 1970 UTC (from 1970 itself when receipt times are
    // unknown).
    std::int64_t AbsoluteTimeUs(std::uint32_t index) const;

    // Bytes held by the stored bytes, the packet index and the message places, for memory
    // figures.
    std::size_t MemoryBytes() const;

  private:
    class NoEvents final : public ReceiveEvents {
      public:
        void SetCounterText(const std::string&) override {}
        void SetStatusText(const std::string&) override {}
        void EndCapture() override {}
    };

    void OnMessage(std::string_view message, std::int64_t stamp);
    // How many message starts, from place `from` on, lie at or before byte `index`, plus `from`.
    std::size_t MessagesStartingBy(std::uint32_t index, std::size_t from) const;
    void TakeBytes(std::string_view message, std::int64_t stamp);
    std::int64_t NextTimeMs(int tick, std::int64_t stamp);

    Trace trace_;               // a copy: the receive stream keeps a reference to it
    CaptureModel streamModel_;  // the receive stream's open message
    NoEvents events_;
    ReceiveStream stream_;
    SerialByteStore bytes_;
    PacketIndex packets_;
    CaptureCounters counters_;
    // The last message waits for the next one: a sequence gap after it means a lost message's
    // continuation may have been appended to it, so its entries cannot be trusted.
    std::string held_;
    std::int64_t heldStamp_ = 0;
    bool holding_ = false;
    // The first byte index of each message that gave bytes. Their sequence numbers mostly
    // count up by one, so only where they do not is a number kept: (message place, number).
    std::uint32_t SequenceOfMessage(std::size_t message) const;
    RisingColumn messageStarts_;
    std::vector<std::pair<std::size_t, std::uint32_t>> sequenceRuns_;
    std::size_t messagesReleased_ = 0;  // message starts freed at the front
    std::vector<SequenceGap> gaps_;
    std::uint32_t lostBeforeNextByte_ = 0;  // messages lost since the last byte stored

    bool anyByte_ = false;
    int lastTick_ = 0;
    std::int64_t lastTimeMs_ = 0;
    std::int64_t lastStamp_ = kNoReceiptTime;
    std::int64_t firstByteReceiptUs_ = kNoReceiptTime;
    std::int64_t firstByteTimeMs_ = 0;
    bool finished_ = false;
    bool storeFull_ = false;
};

}  // namespace orvane
