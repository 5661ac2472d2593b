// Receive stream: cuts the capture unit's byte stream into blocks and keeps the block store.
#include "capture/receive_stream.hpp"

#include <algorithm>
#include <utility>

#include "capture/hex_dump.hpp"
#include "capture/message_layout.hpp"

namespace orvane {
namespace {

constexpr std::size_t npos = std::string_view::npos;

bool StartsWithMarker(std::string_view bytes) {
    return bytes.size() >= kMarkerSize && bytes.find_first_not_of('\0') >= kMarkerSize;
}

// The first offset on an entry boundary, at or after `from`, where the next message's complete
// header starts; npos when there is none.
std::size_t FindBoundary(std::string_view message, std::size_t from) {
    std::size_t p = EntryBoundaryFrom(from);
    if (p + kHeaderSize > message.size()) return npos;  // the common case of a short read
    const NextHeader next(message);
    const std::string_view header = next.view();
    if (header.empty()) return npos;
    for (; p + kHeaderSize <= message.size(); p += kEntrySize) {
        if (message[p] == '\0' && message.compare(p, kHeaderSize, header) == 0) return p;
    }
    return npos;
}

// The first entry boundary where a complete header with a number above the message's own
// stands (messages were lost between the two); npos when there is none.
std::size_t FindHeaderAfterGap(std::string_view message) {
    const std::int64_t own = SequenceOf(message);
    if (own < 0) return npos;
    for (std::size_t p = kHeaderSize; p + kHeaderSize <= message.size(); p += kEntrySize) {
        const std::string_view candidate = message.substr(p);
        if (candidate.find_first_not_of('\0') >= kMarkerSize && SequenceOf(candidate) > own) {
            return p;
        }
    }
    return npos;
}

// Whether a read that starts with five 0x00 bytes belongs to the block before it. It does when,
// appended, it holds the next message's header (or, where the read stops early, the first bytes
// of it) on an entry boundary from 7 bytes before the block's end to 4 bytes into the read: a
// message holds no run of five 0x00, so a continuation read must end the block's message within
// its first five bytes, unless that header had already begun. A whole header right at the
// block's end is the read's own: it is a new message.
bool ContinuesBlock(std::string_view block, std::string_view data, std::string_view nextHeader) {
    if (nextHeader.empty()) return false;
    const std::size_t size = block.size();
    const std::size_t end = size + data.size();
    for (std::size_t p = EntryBoundaryFrom(size - std::min(size, kHeaderSize - 1));
         p < size + kMarkerSize && p < end; p += kEntrySize) {
        const std::size_t seen = std::min(kHeaderSize, end - p);
        bool matches = true;
        for (std::size_t k = 0; matches && k < seen; ++k) {
            const std::size_t at = p + k;
            matches = (at < size ? block[at] : data[at - size]) == nextHeader[k];
        }
        if (!matches) continue;
        if (p != size) return true;
        if (seen == kHeaderSize) return false;
    }
    return false;
}

// HexDump into an existing text, reusing its storage: this runs for every read.
void SetHexText(std::string& text, std::string_view bytes) {
    text.resize(bytes.size() * 3);
    char* out = text.data();
    for (unsigned char byte : bytes) {
        *out++ = kUpperHexDigits[byte >> 4];
        *out++ = kUpperHexDigits[byte & 0x0F];
        *out++ = ' ';
    }
}

}  // namespace

ReceiveStream::ReceiveStream(CaptureModel& model, const Trace& trace, ReceiveEvents& events)
    : model_(model), trace_(trace), events_(events) {}

void ReceiveStream::StartCapture() {
    model_.receivedBlocks.assign(1, std::string());
    model_.receivedBlocks.reserve(static_cast<std::size_t>(kMaxBlocks) + 1);
    model_.blockCount = 0;
    storeFull_ = false;
    headerStart_.clear();
    sink_ = nullptr;
}

void ReceiveStream::StartContinuousCapture(MessageSink sink) {
    StartCapture();
    model_.receivedBlocks.assign(2, std::string());
    sink_ = std::move(sink);
}

void ReceiveStream::FinishCapture() {
    if (!sink_ || model_.blockCount == 0) return;
    std::string& last = LastBlock();
    sink_(last, blockStamp_);
    last.clear();
}

void ReceiveStream::OnReceive(std::string_view data, std::int64_t stamp) {
    stamp_ = stamp;
    if (storeFull_) return;  // the capture has ended; a late read is neither stored nor appended
    if (model_.blockCount == 0 && (!headerStart_.empty() || !StartsWithMarker(data))) {
        // Nothing stored yet, so the read continues no message: bytes before its first marker
        // belong to none (a serial server's greeting, stray bytes) and are dropped, and the
        // messages from that marker on are kept. A tail that can begin the first header, cut
        // off by the network, joins the next read, even one that starts with five 0x00 bytes
        // itself: those are the rest of the marker and the sequence number's leading zeros.
        std::string joined = headerStart_;
        joined.append(data);
        const bool keptHeaderStart = !headerStart_.empty();
        headerStart_.clear();
        const std::size_t marker = joined.find(std::string_view("\0\0\0\0\0", kMarkerSize));
        if (marker == npos) {
            KeepHeaderStart(joined);
            return;
        }
        std::string_view message = std::string_view(joined).substr(marker);
        // The kept tail may instead be stray zeros that ended a greeting: when the read begins
        // with a marker of its own and only under its own alignment the next message's header
        // follows, the read is taken as it stands.
        if (keptHeaderStart && StartsWithMarker(data) &&
            FindBoundary(message, kHeaderSize) == npos && FindBoundary(data, kHeaderSize) != npos) {
            message = data;
        }
        TakeMessage(message);
        return;
    }
    if (!StartsWithMarker(data)) {
        AppendToLastBlock(data);
        return;
    }
    if (model_.blockCount > 0) {
        // A read may start with 0x00 bytes that belong to the last message: the rest of its
        // header, of its last entry, or of the next message's header begun at its end.
        const std::string& last = LastBlock();
        if (last.size() < kHeaderSize) {
            AppendToLastBlock(data);
            return;
        }
        if (ContinuesBlock(last, data, NextHeader(last).view())) {
            AppendToLastBlock(data);
            return;
        }
    }
    TakeMessage(data);
}

void ReceiveStream::KeepHeaderStart(std::string_view data) {
    // The longest tail of up to 7 bytes that can begin a header: 0x00 bytes for as far as the
    // marker reaches, then the first bytes of a sequence number.
    headerStart_.clear();
    for (std::size_t n = std::min(data.size(), kHeaderSize - 1); n > 0; --n) {
        const std::string_view tail = data.substr(data.size() - n);
        if (tail.substr(0, kMarkerSize).find_first_not_of('\0') == npos) {
            headerStart_.assign(tail);
            return;
        }
    }
}

std::size_t ReceiveStream::LastBlockIndex() const {
    // A continuous capture keeps only the open message, in slot 1.
    if (sink_) return model_.blockCount > 0 ? 1 : 0;
    return static_cast<std::size_t>(model_.blockCount);
}

std::string& ReceiveStream::LastBlock() {
    const std::size_t index = LastBlockIndex();
    if (model_.receivedBlocks.size() <= index) model_.receivedBlocks.resize(index + 1);
    return model_.receivedBlocks[index];
}

void ReceiveStream::AppendToLastBlock(std::string_view data) {
    std::string& block = LastBlock();
    const std::size_t oldSize = block.size();
    block.append(data);
    if (!sink_ || trace_.debugTrace) {
        SetHexText(messageText_, data);
        trace_.Debug(messageText_);
    }
    // Boundaries wholly inside the old bytes were searched before; only a header that reaches
    // into the appended bytes can be new.
    const std::size_t from = oldSize >= kHeaderSize - 1 ? oldSize - (kHeaderSize - 1) : 0;
    const std::size_t p = FindBoundary(block, from);
    if (p == npos) return;
    rest_.assign(block, p);
    block.resize(p);
    TakeMessage(rest_);
}

void ReceiveStream::TakeMessage(std::string_view message) {
    std::string dropped;
    while (!storeFull_) {
        std::size_t cut = FindBoundary(message, kHeaderSize);
        std::string_view part = message.substr(0, cut);
        // A header still incomplete at the end is not a second marker.
        const std::size_t checkedEnd =
            cut == npos ? std::min(FindPendingHeader(part), part.size()) : part.size();
        bool mustDrop = HasZeroRun(part.substr(0, checkedEnd), kHeaderSize - 1);
        if (mustDrop && cut == npos) {
            // The unit lost messages and the next one it sent came in the same read: rather
            // than drop both, cut where that message's header stands. The byte list later
            // skips the block before the gap, as for any gap. A read already cut at the next
            // message's header needs no such cut: only the faulty part before it is dropped.
            const std::size_t gap = FindHeaderAfterGap(part);
            if (gap != npos && !HasZeroRun(part.substr(0, gap), kHeaderSize - 1)) {
                cut = gap;
                part = message.substr(0, cut);
                mustDrop = false;
            }
        }
        if (mustDrop) {
            // Another run of five 0x00 bytes: the message cannot be cut safely and is dropped.
            dropped = "Dropped: ";
            dropped += HexDump(part);
            dropped += ' ';
            trace_.Always(dropped);
        } else if (!sink_ && model_.blockCount >= kMaxBlocks) {
            storeFull_ = true;
            events_.EndCapture();
            return;
        } else {
            if (sink_ && model_.blockCount > 0) sink_(LastBlock(), blockStamp_);
            ++model_.blockCount;
            blockStamp_ = stamp_;
            LastBlock().assign(part);
            // A continuous capture reports its progress its own way; the text of every
            // message would cost more than taking it.
            if (!sink_ || trace_.debugTrace) {
                SetHexText(messageText_, part);
                trace_.Debug(messageText_);
                events_.SetCounterText(std::to_string(model_.blockCount));
                events_.SetStatusText(messageText_);
            }
        }
        if (cut == npos) return;
        message.remove_prefix(cut);
    }
}

}  // namespace orvane
