// A continuous capture: the capture unit's reads, without a length limit, into the byte store
// and the packet index, as they arrive.
#include "capture/continuous_capture.hpp"

#include <algorithm>
#include <cmath>

#include "capture/message_layout.hpp"

namespace orvane {
namespace {

constexpr int kTickCycleMs = 4096;
// Below this much quiet between two reads the ticks alone are trusted; above it, the time of
// receipt says how many whole tick cycles the line was quiet for.
constexpr std::int64_t kQuietUsForCycles = 3'000'000;

int Byte(std::string_view bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

// The same tests as the bounded capture's byte list makes of a block, but the one about the
// message after it (see OnMessage).
bool IsMessageUsable(std::string_view message) {
    if (message.size() < kMarkerSize || message.find_first_not_of('\0') < kMarkerSize) {
        return false;
    }
    if (HasZeroRun(message, 6)) return false;
    return message.size() >= kHeaderSize + kEntrySize;
}

}  // namespace

ContinuousCapture::ContinuousCapture(ProtocolMode protocolMode, const Trace& trace)
    : trace_(trace), stream_(streamModel_, trace_, events_), packets_(protocolMode) {
    stream_.StartContinuousCapture(
        [this](std::string_view message, std::int64_t stamp) { OnMessage(message, stamp); });
}

void ContinuousCapture::OnRead(std::string_view data, std::int64_t receiptTimeUs) {
    if (finished_) return;
    ++counters_.reads;
    counters_.streamBytes += data.size();
    stream_.OnReceive(data, receiptTimeUs);
}

void ContinuousCapture::Finish() {
    if (finished_) return;
    stream_.FinishCapture();
    if (holding_) {
        // The last message has no successor to judge it by. It may end with the first bytes of
        // a next header that the capture stopped before completing: they are no entries.
        const std::string_view last = held_;
        TakeBytes(last.substr(0, FindPendingHeader(last)), heldStamp_);
        holding_ = false;
    }
    packets_.Finish();
    finished_ = true;
}

void ContinuousCapture::OnMessage(std::string_view message, std::int64_t stamp) {
    ++counters_.messages;
    if (holding_) {
        const std::int64_t heldSequence = SequenceOf(held_);
        const std::int64_t sequence = SequenceOf(message);
        if (sequence == heldSequence + 1) {
            TakeBytes(held_, heldStamp_);
        } else {
            // A message was lost after the held one, whose continuation may have been appended
            // to it: the held message gives no bytes, as in the bounded capture.
            ++counters_.skippedMessages;
            if (sequence > heldSequence) {
                ++counters_.sequenceGaps;
                const auto lost = static_cast<std::uint64_t>(sequence - heldSequence - 1);
                counters_.lostMessages += lost;
                lostBeforeNextByte_ = static_cast<std::uint32_t>(
                    std::min<std::uint64_t>(lostBeforeNextByte_ + lost, UINT32_MAX));
            } else {
                ++counters_.sequenceBreaks;
            }
        }
    }
    held_.assign(message);
    heldStamp_ = stamp;
    holding_ = true;
}

std::int64_t ContinuousCapture::NextTimeMs(int tick, std::int64_t stamp) {
    if (!anyByte_) {
        anyByte_ = true;
        lastTick_ = tick;
        lastTimeMs_ = tick;
        lastStamp_ = stamp;
        firstByteReceiptUs_ = stamp;
        firstByteTimeMs_ = tick;
        return lastTimeMs_;
    }
    std::int64_t step = (tick - lastTick_ + kTickCycleMs) % kTickCycleMs;
    if (stamp != kNoReceiptTime && lastStamp_ != kNoReceiptTime &&
        stamp - lastStamp_ >= kQuietUsForCycles) {
        const double quietMs = static_cast<double>(stamp - lastStamp_) / 1000.0;
        const auto cycles = std::llround((quietMs - static_cast<double>(step)) / kTickCycleMs);
        if (cycles > 0) step += cycles * kTickCycleMs;
    }
    lastTick_ = tick;
    lastStamp_ = stamp;
    lastTimeMs_ += step;
    return lastTimeMs_;
}

void ContinuousCapture::TakeBytes(std::string_view message, std::int64_t stamp) {
    if (!IsMessageUsable(message)) {
        ++counters_.skippedMessages;
        return;
    }
    const auto sequence = static_cast<std::uint32_t>(SequenceOf(message));
    bool first = true;
    for (std::size_t at = kHeaderSize; at + kEntrySize <= message.size(); at += kEntrySize) {
        const int code = Byte(message, at) & 0xC0;
        if (code == 0x40) continue;  // an entry the unit marks to be ignored
        if (bytes_.size() >= kMaxStoredBytes) {
            storeFull_ = true;
            return;
        }
        const auto index = static_cast<std::uint32_t>(bytes_.size());
        if (first) {
            const std::size_t place = messageStarts_.size();
            if (place == 0 || SequenceOfMessage(place - 1) + 1 != sequence) {
                sequenceRuns_.emplace_back(place, sequence);
            }
            messageStarts_.push_back(index);
            first = false;
            if (lostBeforeNextByte_ > 0) {
                gaps_.push_back({index, lostBeforeNextByte_});
                lostBeforeNextByte_ = 0;
            }
        }
        const int tick = ((Byte(message, at) & 0x0F) << 8) | Byte(message, at + 1);
        const auto value = static_cast<std::uint8_t>(Byte(message, at + 2));
        bytes_.Append(value, code, NextTimeMs(tick, stamp));
        packets_.AddByte(index, value, code);
    }
}

void ContinuousCapture::Regroup(ProtocolMode protocolMode) {
    packets_ = PacketIndex(protocolMode);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        packets_.AddByte(static_cast<std::uint32_t>(i), bytes_.Value(i), bytes_.Direction(i));
    }
    if (finished_) packets_.Finish();
}

std::size_t ContinuousCapture::MessagesStartingBy(std::uint32_t index, std::size_t from) const {
    return messageStarts_.UpperBound(index, from);
}

void ContinuousCapture::ReleaseBefore(std::uint32_t firstByte, std::size_t firstPacket) {
    bytes_.ReleaseBefore(firstByte);
    packets_.ReleaseBefore(firstPacket);
    // A message's start is needed while a byte from `firstByte` on may lie in it.
    const std::size_t starting = MessagesStartingBy(firstByte, messagesReleased_);
    if (starting > messagesReleased_ + 1) {
        messagesReleased_ = starting - 1;
        messageStarts_.ReleaseBefore(messagesReleased_);
    }
}

std::uint32_t ContinuousCapture::SequenceOfByte(std::uint32_t index) const {
    const std::size_t starting = MessagesStartingBy(index, messagesReleased_);
    return starting == messagesReleased_ ? 0 : SequenceOfMessage(starting - 1);
}

std::uint32_t ContinuousCapture::SequenceOfMessage(std::size_t message) const {
    const auto run =
        std::upper_bound(sequenceRuns_.begin(), sequenceRuns_.end(), message,
                         [](std::size_t at, const std::pair<std::size_t, std::uint32_t>& entry) {
                             return at < entry.first;
                         }) -
        1;
    return run->second + static_cast<std::uint32_t>(message - run->first);
}

std::uint32_t ContinuousCapture::SequenceOfByte(std::uint32_t index, std::size_t& hint) const {
    const std::size_t count = messageStarts_.size();
    if (hint < messagesReleased_ || hint >= count || messageStarts_[hint] > index) {
        hint = messagesReleased_;
    }
    // A few steps on from the last place; a search when the byte is far ahead.
    for (int step = 0; step < 8 && hint + 1 < count && messageStarts_[hint + 1] <= index; ++step) {
        ++hint;
    }
    if (hint + 1 < count && messageStarts_[hint + 1] <= index) {
        hint = MessagesStartingBy(index, hint + 1) - 1;
    }
    if (hint >= count || messageStarts_[hint] > index) return 0;
    return SequenceOfMessage(hint);
}

std::int64_t ContinuousCapture::AbsoluteTimeUs(std::uint32_t index) const {
    const std::int64_t startUs = firstByteReceiptUs_ == kNoReceiptTime ? 0 : firstByteReceiptUs_;
    return startUs + (bytes_.TimeMs(index) - firstByteTimeMs_) * 1000;
}

std::size_t ContinuousCapture::MemoryBytes() const {
    return bytes_.MemoryBytes() + packets_.MemoryBytes() + messageStarts_.MemoryBytes() +
           sequenceRuns_.capacity() * sizeof(sequenceRuns_[0]) +
           gaps_.capacity() * sizeof(SequenceGap);
}

}  // namespace orvane
