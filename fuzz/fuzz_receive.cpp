// Fuzz target: the receive stream fed arbitrary reads, then packet assembly and both list fills
// in a protocol mode the input chooses (Sony, Odetics or VDCP).
//
// Two kinds of input, chosen by the input's last byte (the settings of a run are read from the
// input's end, the bytes from its front, so a raw stream with a few bytes after it is a seed):
// - raw: any bytes, cut into reads of one size, of one byte, or of drawn lengths;
// - messages: well-formed capture-unit messages (marker, rising sequence numbers, entries from
//   the input, each input byte used once, up to 1100 messages so the block store fills) after a
//   few stray bytes, sent in reads of one byte, one message, many messages or any length,
//   optionally with sequence gaps.
// The byte list, the reads and the lists grow only with the bytes really sent, so that a short
// input runs fast.
// Checked beyond "no crash", after every capture:
// - the store holds at most 1000 blocks, the byte list at most 100,000 bytes and one entry more
//   than it has bytes, entry 0 stays all-zero, times never decrease, packet numbers never fall
//   within one side;
// - every packet line holds exactly the bytes of its packet, and every numbered byte is in
//   exactly one line;
// - with every filter box checked, the Byte View shows every byte of either side once, in order,
//   the description on its packet's last byte, and the Packet View shows every packet line;
//   under the input's filter boxes each shown byte is in exactly one row and a packet is shown
//   whole or not at all;
// - for well-formed messages, the stored blocks are exactly the messages, whatever the reads and
//   the stray bytes before the first marker: nothing is lost, nothing is joined.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_model.hpp"
#include "capture/message_layout.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "views/capture_lists.hpp"
#include "views/list_model.hpp"
#include "views/packet_filter.hpp"

namespace {

using orvane::CapturedByte;
using orvane::CaptureModel;
using orvane::FilterFlags;
using orvane::ListModel;
using orvane::ViewKind;

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 3;
constexpr int kMaxMessages = 1100;

// The checks are the judge, not the code under test: their branches would only add features
// that lead the fuzzer nowhere, and instrumenting them would cost a good part of every run.
#pragma clang attribute push(__attribute__((no_sanitize("coverage"))), apply_to = function)

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_receive: broken invariant: %s\n", what);
        std::abort();
    }
}

class RecordingEvents final : public orvane::ReceiveEvents {
  public:
    void SetCounterText(const std::string& text) override { counterText = text; }
    void SetStatusText(const std::string& text) override { statusText = text; }
    void EndCapture() override { ++endCount; }

    std::string counterText;
    std::string statusText;
    int endCount = 0;
};

using orvane::FixedViewState;

// An expected cell text, written here rather than with the views' own helpers so that a fault in
// those shows, and built in place: the cells checked hold a few characters each. Every number is
// checked to be non-negative before it is written.
class ShortText {
  public:
    // `value` in upper-case digits of `base`, zero-padded to at least `width` digits.
    ShortText& Number(std::uint32_t value, int width = 1, std::uint32_t base = 10) {
        char digits[16];
        int count = 0;
        do {
            digits[count++] = "0123456789ABCDEF"[value % base];
            value /= base;
        } while (value > 0 || count < width);
        while (count > 0) text_[size_++] = digits[--count];
        return *this;
    }
    ShortText& Char(char c) {
        text_[size_++] = c;
        return *this;
    }
    std::string_view view() const { return {text_.data(), size_}; }

  private:
    std::array<char, 32> text_{};
    std::size_t size_ = 0;
};

// "0012.345": seconds with at least four digits, milliseconds with three.
ShortText TimeText(std::int32_t timeMs) {
    const auto ms = static_cast<std::uint32_t>(timeMs);
    return ShortText().Number(ms / 1000, 4).Char('.').Number(ms % 1000, 3);
}

// "00042": a row number with at least five digits.
ShortText EventText(int row) { return ShortText().Number(static_cast<std::uint32_t>(row), 5); }

// "0F ": a byte as two upper-case hexadecimal digits and a space.
ShortText ByteText(std::int32_t value) {
    return ShortText().Number(static_cast<std::uint32_t>(value), 2, 16).Char(' ');
}

// "1A2B": upper-case hexadecimal without leading zeros.
ShortText HexText(std::int32_t value) {
    return ShortText().Number(static_cast<std::uint32_t>(value), 1, 16);
}

// " 12 ": a packet number in decimal between two spaces.
ShortText PacketNumberText(std::int32_t packetNo) {
    return ShortText().Char(' ').Number(static_cast<std::uint32_t>(packetNo)).Char(' ');
}

bool IsSide(std::int32_t direction) {
    return direction == orvane::kDirectionController || direction == orvane::kDirectionDevice;
}

// The bytes of the capture grouped into packets as the views see them: a packet is a maximal run
// of one side's bytes (passing over the other side's) with one packet number.
struct Packets {
    std::vector<int> nextOnSide;    // next index of a byte of the same side, 0 when none
    std::vector<int> lastOfPacket;  // for a packet's first byte: index of its last byte
    std::vector<std::uint8_t> startsPacket;
};

Packets GroupPackets(const CaptureModel& model) {
    const int count = model.byteCount;
    const auto& bytes = model.capturedBytes;
    Packets packets;
    packets.nextOnSide.assign(static_cast<std::size_t>(count) + 2, 0);
    packets.lastOfPacket.assign(static_cast<std::size_t>(count) + 2, 0);
    packets.startsPacket.assign(static_cast<std::size_t>(count) + 2, 0);
    int lastController = 0;
    int lastDevice = 0;
    for (int i = 1; i <= count; ++i) {
        const CapturedByte& byte = bytes[static_cast<std::size_t>(i)];
        int* last = byte.direction == orvane::kDirectionController ? &lastController
                    : byte.direction == orvane::kDirectionDevice   ? &lastDevice
                                                                   : nullptr;
        if (last == nullptr) continue;
        if (*last != 0) packets.nextOnSide[static_cast<std::size_t>(*last)] = i;
        const bool starts =
            *last == 0 || bytes[static_cast<std::size_t>(*last)].packetNo != byte.packetNo;
        *last = i;
        packets.startsPacket[static_cast<std::size_t>(i)] = starts;
    }
    for (int i = count; i >= 1; --i) {
        if (!IsSide(bytes[static_cast<std::size_t>(i)].direction)) continue;
        const int next = packets.nextOnSide[static_cast<std::size_t>(i)];
        const bool endsPacket = next == 0 || packets.startsPacket[static_cast<std::size_t>(next)];
        packets.lastOfPacket[static_cast<std::size_t>(i)] =
            endsPacket ? i : packets.lastOfPacket[static_cast<std::size_t>(next)];
    }
    return packets;
}

void CheckByteList(const CaptureModel& model) {
    Check(model.byteCount >= 0 && model.byteCount <= orvane::kMaxBytes, "byteCount <= 100000");
    Check(model.capturedBytes.size() == static_cast<std::size_t>(model.byteCount) + 1,
          "the byte list holds entry 0 and byteCount bytes");
    const CapturedByte& zero = model.capturedBytes[0];
    Check(zero.blockSeq == 0 && zero.timeMs == 0 && zero.direction == 0 && zero.value == 0 &&
              zero.packetNo == 0,
          "entry 0 stays all-zero");
    std::int32_t lastTime = 0;
    std::array<std::int32_t, 2> lastPacketNo{0, 0};
    for (int i = 1; i <= model.byteCount; ++i) {
        const CapturedByte& byte = model.capturedBytes[static_cast<std::size_t>(i)];
        Check(byte.timeMs >= lastTime, "times never decrease");
        lastTime = byte.timeMs;
        Check(byte.value >= 0 && byte.value <= 255, "a byte value is 0..255");
        Check(byte.blockSeq >= 0 && byte.blockSeq <= 0xFFFFFF, "a block number has 24 bits");
        Check(byte.direction == 0 || IsSide(byte.direction), "a byte is of a side or of neither");
        if (!IsSide(byte.direction)) {
            Check(byte.packetNo == 0, "a byte of neither side is in no packet");
            continue;
        }
        std::int32_t& last = lastPacketNo[byte.direction == orvane::kDirectionDevice ? 1 : 0];
        Check(byte.packetNo >= last, "packet numbers rise on each side");
        last = byte.packetNo;
    }
}

// Every packet line against the bytes of its packet.
void CheckPacketLines(const CaptureModel& model, const Packets& packets) {
    const auto& bytes = model.capturedBytes;
    const int lineCount = model.lastPacketIndex + 1;
    Check(lineCount >= 0 && static_cast<std::size_t>(lineCount) == model.packetLines.size(),
          "lastPacketIndex names the last packet line");
    int lastFirst = 0;
    int bytesInLines = 0;
    std::string expected;
    for (const orvane::PacketLine& line : model.packetLines) {
        const int first = line.firstByteIndex;
        Check(first > lastFirst && first <= model.byteCount, "lines in order of their first byte");
        lastFirst = first;
        const CapturedByte& start = bytes[static_cast<std::size_t>(first)];
        Check(IsSide(start.direction) && start.packetNo != 0, "a line starts with a numbered byte");
        Check(packets.startsPacket[static_cast<std::size_t>(first)], "a line starts its packet");
        expected.assign(1, static_cast<char>(start.direction));
        expected += TimeText(start.timeMs).view();
        expected += '\t';
        for (int j = first; j != 0; j = packets.nextOnSide[static_cast<std::size_t>(j)]) {
            if (j != first && packets.startsPacket[static_cast<std::size_t>(j)]) break;
            expected += ByteText(bytes[static_cast<std::size_t>(j)].value).view();
            ++bytesInLines;
        }
        Check(line.text == expected, "a line holds exactly its packet's bytes");
    }
    int numberedBytes = 0;
    for (int i = 1; i <= model.byteCount; ++i) {
        const CapturedByte& byte = bytes[static_cast<std::size_t>(i)];
        if (IsSide(byte.direction) && byte.packetNo != 0) ++numberedBytes;
    }
    Check(bytesInLines == numberedBytes, "every numbered byte is in exactly one line");
}

// The Byte View: rows are bytes of either side, in order, each at most once, the description on
// the row of a packet's last byte; a packet is shown whole or not at all; with every box
// checked, every byte is shown. A side's packet number names one packet only, so a row can be
// matched to the first byte that fits it.
void CheckByteView(const CaptureModel& model, const Packets& packets, const ListModel& list,
                   bool showAll) {
    const auto& bytes = model.capturedBytes;
    std::vector<std::uint8_t> shown(static_cast<std::size_t>(model.byteCount) + 1, 0);
    int row = 0;
    const int rows = list.GetItemCount();
    for (int i = 1; i <= model.byteCount; ++i) {
        const CapturedByte& byte = bytes[static_cast<std::size_t>(i)];
        if (!IsSide(byte.direction)) continue;
        const bool controller = byte.direction == orvane::kDirectionController;
        const bool matches =
            row < rows && list.CellView(row, 1) == TimeText(byte.timeMs).Char(' ').view() &&
            list.CellView(row, controller ? 2 : 3) == ByteText(byte.value).view() &&
            list.CellView(row, controller ? 3 : 2).empty() &&
            list.CellView(row, 5) == PacketNumberText(byte.packetNo).view();
        if (showAll) Check(matches, "with every box checked every byte is shown");
        if (!matches) continue;
        shown[static_cast<std::size_t>(i)] = 1;
        Check(list.CellView(row, 0) == EventText(row + 1).view(), "rows are numbered from 00001");
        const bool last = packets.lastOfPacket[static_cast<std::size_t>(i)] == i;
        Check(list.CellView(row, 4).empty() != last, "the description is on the last byte");
        ++row;
    }
    Check(row == rows, "every Byte View row is one byte, in order");
    for (int i = 1; i <= model.byteCount; ++i) {
        if (!packets.startsPacket[static_cast<std::size_t>(i)]) continue;
        for (int j = packets.nextOnSide[static_cast<std::size_t>(i)];
             j != 0 && !packets.startsPacket[static_cast<std::size_t>(j)];
             j = packets.nextOnSide[static_cast<std::size_t>(j)]) {
            Check(shown[static_cast<std::size_t>(j)] == shown[static_cast<std::size_t>(i)],
                  "a packet is shown whole or not at all");
        }
    }
}

// The Packet View: rows are packet lines in order, each at most once; with every box checked,
// every line that holds a packet.
void CheckPacketView(const CaptureModel& model, const ListModel& list, bool showAll) {
    int row = 0;
    const int rows = list.GetItemCount();
    for (const orvane::PacketLine& line : model.packetLines) {
        if (line.text.empty()) continue;  // a cut-off first VDCP packet, blanked by the fill
        const std::string_view text = line.text;
        const std::size_t tab = text.find('\t');
        const bool controller =
            static_cast<unsigned char>(text.front()) == orvane::kDirectionController;
        const std::int32_t blockSeq =
            model.capturedBytes[static_cast<std::size_t>(line.firstByteIndex)].blockSeq;
        const bool shown = row < rows && list.CellView(row, 1) == text.substr(1, tab - 1) &&
                           list.CellView(row, 2) == (controller ? "Ctrl" : "VTR") &&
                           list.CellView(row, 3) == text.substr(tab + 1) &&
                           list.CellView(row, 5) == HexText(blockSeq).view();
        if (showAll) Check(shown, "with every box checked every packet is shown");
        if (!shown) continue;
        Check(list.CellView(row, 0) == EventText(row + 1).view(), "rows are numbered from 00001");
        ++row;
    }
    Check(row == rows, "every Packet View row is one packet line, in order");
}

void CheckCapture(CaptureModel& model, orvane::ProtocolMode mode, const FilterFlags& flags,
                  ViewKind filteredView, bool debugTrace) {
    std::vector<std::string> traced;
    orvane::Trace trace;
    trace.debugTrace = debugTrace;
    trace.output = [&traced](std::string_view line) {
        if (traced.size() < 64) traced.emplace_back(line);
    };
    // One pair of lists, as in the main window: each refresh clears both first. The mode comes
    // from the input, so each input pays for one assembly and three fills.
    orvane::CaptureLists lists;
    {
        orvane::AssembleCapture(model, mode, trace);
        CheckByteList(model);
        const Packets packets = GroupPackets(model);
        CheckPacketLines(model, packets);

        orvane::Decoder decoder(mode);
        // Both views with every box checked, then the input's boxes in the input's view.
        for (const int fill : {0, 1, 2}) {
            const bool showAll = fill < 2;
            const ViewKind view = fill == 0 || (fill == 2 && filteredView == ViewKind::Byte)
                                      ? ViewKind::Byte
                                      : ViewKind::Packet;
            FixedViewState viewState(view, showAll ? FilterFlags::ShowAll() : flags);
            lists.RefreshList(model, decoder, viewState, trace);
            const ListModel& other = view == ViewKind::Byte ? lists.packetList : lists.byteList;
            Check(other.GetItemCount() == 0, "a refresh fills only the chosen list");
            if (model.byteCount == 0) {
                Check(lists.ListFor(view).GetItemCount() == 0, "no bytes, no rows");
            } else if (view == ViewKind::Byte) {
                CheckByteView(model, packets, lists.byteList, showAll);
            } else {
                CheckPacketView(model, lists.packetList, showAll);
            }
        }
    }
}

#pragma clang attribute pop

// A small deterministic generator for read lengths, seeded from the input.
struct SplitRandom {
    std::uint64_t state;
    std::uint64_t Next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 33;
    }
};

// How the sent bytes are cut into reads. Messages are read one byte at a time, one message or
// many messages at a time, in lengths drawn up to a limit, or in reads of the largest size; raw
// bytes in the largest reads, one byte at a time, or in drawn lengths, empty reads included.
enum class ReadPattern { kOneByte, kPerMessage, kCoalesced, kAnyLength, kLargest, kAnyOrEmpty };

struct ReadPlan {
    ReadPattern pattern = ReadPattern::kLargest;
    std::size_t step = 1;       // messages per read for kPerMessage and kCoalesced
    std::uint64_t maxRead = 1;  // longest drawn length
    SplitRandom random{0};      // draws the lengths; each sending starts from this state
};

// A stretch of the sent bytes: one message.
struct Stretch {
    std::size_t offset = 0;
    std::size_t length = 0;
};

// Everything the capture unit sends in one run, kept once, and how it is cut into reads: the
// reads are made as the stream is sent, so a stream of many one-byte reads costs nothing to hold.
struct SentStream {
    std::string bytes;
    std::vector<Stretch> messages;  // empty for raw bytes
    bool wellFormed = true;         // numbers rise by one, no run of five 0x00 but the markers
    ReadPlan reads;

    std::string_view At(Stretch stretch) const {
        return std::string_view(bytes).substr(stretch.offset, stretch.length);
    }
};

SentStream BuildMessageStream(FuzzedDataProvider& provider) {
    SentStream stream;
    // A store-filling stream costs many times a short one; one input in sixteen is one.
    const bool big = provider.ConsumeIntegralInRange(0, 15) == 0;
    const int count = big ? provider.ConsumeIntegralInRange(990, kMaxMessages)
                          : provider.ConsumeIntegralInRange(1, 40);
    const int entriesPerMessage = provider.ConsumeIntegralInRange(0, big ? 40 : 64);
    auto sequence = provider.ConsumeIntegralInRange<std::uint32_t>(0, 0xFFFFFF);
    const bool gaps = provider.ConsumeIntegralInRange(0, 7) == 0;
    const auto pattern = static_cast<ReadPattern>(provider.ConsumeIntegralInRange(0, 4));
    const int coalesce = provider.ConsumeIntegralInRange(1, 60);
    const int maxRead = provider.ConsumeIntegralInRange(1, 600);
    const int garbage = provider.ConsumeIntegralInRange(0, 24);
    SplitRandom random{provider.ConsumeIntegral<std::uint64_t>()};
    // The entries come from the rest of the input, each byte once, so that a stream costs in
    // proportion to its input: once they run out, the messages carry headers alone.
    std::string pool = provider.ConsumeRemainingBytesAsString();
    pool.resize(pool.size() - pool.size() % kEntrySize);
    if (pool.empty()) pool.assign(kEntrySize, '\x81');

    // Bytes before the first marker (a serial server's greeting), none of them 0x00 so that
    // they cannot be taken for the start of a marker.
    std::string& all = stream.bytes;
    const std::size_t entryBytes = static_cast<std::size_t>(entriesPerMessage) * kEntrySize;
    all.reserve(static_cast<std::size_t>(garbage) + static_cast<std::size_t>(count) * kHeaderSize +
                pool.size());
    for (int g = 0; g < garbage; ++g) all.push_back(static_cast<char>(1 + random.Next() % 255));
    std::size_t at = 0;
    stream.messages.reserve(static_cast<std::size_t>(count));
    for (int m = 0; m < count; ++m) {
        if (gaps && random.Next() % 5 == 0) {
            sequence += 1 + static_cast<std::uint32_t>(random.Next() % 3);
            stream.wellFormed = false;
        }
        if (sequence > 0xFFFFFF) {
            sequence &= 0xFFFFFF;
            stream.wellFormed = false;  // numbers do not wrap: the unit never sends this
        }
        const std::size_t start = all.size();
        orvane::AppendMessageHeader(all, sequence);
        const std::size_t take = std::min(entryBytes, pool.size() - at);
        all.append(pool, at, take);
        at += take;
        const Stretch message{start, all.size() - start};
        if (orvane::HasZeroRun(stream.At(message), kHeaderSize - 1)) stream.wellFormed = false;
        stream.messages.push_back(message);
        ++sequence;
    }
    stream.reads.pattern = pattern;
    stream.reads.step = pattern == ReadPattern::kCoalesced ? static_cast<std::size_t>(coalesce) : 1;
    stream.reads.maxRead = static_cast<std::uint64_t>(maxRead);
    stream.reads.random = random;
    return stream;
}

// Raw bytes: any bytes from the input, in the largest reads, one byte per read, or in lengths
// drawn up to a limit (the last pattern also draws empty reads).
SentStream BuildRawStream(FuzzedDataProvider& provider) {
    constexpr ReadPattern kRawPatterns[] = {ReadPattern::kLargest, ReadPattern::kOneByte,
                                            ReadPattern::kAnyLength, ReadPattern::kAnyOrEmpty};
    SentStream stream;
    stream.reads.pattern = kRawPatterns[provider.ConsumeIntegralInRange(0, 3)];
    stream.reads.maxRead = static_cast<std::uint64_t>(provider.ConsumeIntegralInRange(1, 2048));
    stream.reads.random = SplitRandom{provider.ConsumeIntegral<std::uint64_t>()};
    stream.bytes = provider.ConsumeRemainingBytesAsString();
    stream.wellFormed = false;
    return stream;
}

// Sends the stream in the reads of its plan as the capture loop does: it stops reading once the
// store is full.
void Receive(orvane::ReceiveStream& receiver, const SentStream& stream) {
    const std::string_view bytes = stream.bytes;
    const ReadPlan& plan = stream.reads;
    SplitRandom random = plan.random;
    std::size_t nextMessage = 0;
    for (std::size_t pos = 0; pos < bytes.size() && !receiver.storeFull();) {
        std::size_t length = 0;
        switch (plan.pattern) {
            case ReadPattern::kOneByte:
                length = 1;
                break;
            case ReadPattern::kPerMessage:
            case ReadPattern::kCoalesced: {
                nextMessage = std::min(nextMessage + plan.step, stream.messages.size());
                const std::size_t end = nextMessage == stream.messages.size()
                                            ? bytes.size()
                                            : stream.messages[nextMessage].offset;
                length = end - pos;
                break;
            }
            case ReadPattern::kAnyLength:
                length = 1 + random.Next() % plan.maxRead;
                break;
            case ReadPattern::kLargest:
                length = orvane::kReadLimit;
                break;
            case ReadPattern::kAnyOrEmpty:
                length = random.Next() % (plan.maxRead + 1);
                break;
        }
        length =
            std::min({length, bytes.size() - pos, static_cast<std::size_t>(orvane::kReadLimit)});
        receiver.OnReceive(bytes.substr(pos, length));
        pos += length;
    }
}

void CheckStore(const CaptureModel& model, const orvane::ReceiveStream& stream,
                const RecordingEvents& events) {
    Check(model.blockCount >= 0 && model.blockCount <= orvane::kMaxBlocks, "blockCount <= 1000");
    Check(model.receivedBlocks.size() > static_cast<std::size_t>(model.blockCount),
          "every counted block is stored");
    Check(events.endCount == (stream.storeFull() ? 1 : 0), "a full store ends the capture once");
    Check(!stream.storeFull() || model.blockCount == orvane::kMaxBlocks, "full means 1000 blocks");
    if (model.blockCount > 0) {
        Check(events.counterText == std::to_string(model.blockCount), "the counter shows blocks");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const bool messages = provider.ConsumeBool();
    const bool debugTrace = provider.ConsumeBool();
    const bool captureBefore = provider.ConsumeBool();
    const orvane::ProtocolMode mode =
        orvane::ProtocolModeFromNumber(provider.ConsumeIntegralInRange(0, 2));
    FilterFlags flags;
    flags.timeSense = provider.ConsumeBool();
    flags.timeReply = provider.ConsumeBool();
    flags.statusSense = provider.ConsumeBool();
    flags.statusReply = provider.ConsumeBool();
    flags.displayAcks = provider.ConsumeBool();
    flags.dispDevType = provider.ConsumeBool();
    const ViewKind filteredView = provider.ConsumeBool() ? ViewKind::Byte : ViewKind::Packet;

    const SentStream stream = messages ? BuildMessageStream(provider) : BuildRawStream(provider);

    CaptureModel model;
    orvane::Trace trace;
    trace.debugTrace = debugTrace;
    RecordingEvents events;
    orvane::ReceiveStream receiver(model, trace, events);
    if (captureBefore) {
        // An earlier capture on the same stream object leaves nothing behind.
        receiver.StartCapture();
        Receive(receiver, stream);
        events = RecordingEvents();
    }
    receiver.StartCapture();
    Check(model.blockCount == 0 && !receiver.storeFull(), "a capture starts empty");
    Receive(receiver, stream);
    CheckStore(model, receiver, events);

    if (stream.wellFormed) {
        const std::size_t expected =
            std::min(stream.messages.size(), static_cast<std::size_t>(orvane::kMaxBlocks));
        Check(static_cast<std::size_t>(model.blockCount) == expected, "every message is stored");
        for (std::size_t k = 0; k < expected; ++k) {
            Check(model.receivedBlocks[k + 1] == stream.At(stream.messages[k]),
                  "a block is its message");
        }
        Check(receiver.storeFull() == (stream.messages.size() > expected), "full only on a 1001st");
    }

    CheckCapture(model, mode, flags, filteredView, debugTrace);
    return 0;
}
