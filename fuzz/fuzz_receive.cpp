// Fuzz target: the receive stream fed arbitrary reads, then packet assembly and both list fills
// in every protocol mode.
//
// Two kinds of input, chosen by the input's last byte (the settings of a run are read from the
// input's end, the bytes from its front, so a raw stream with a few bytes after it is a seed):
// - raw: any bytes, cut into reads of one size, of one byte, or of drawn lengths;
// - messages: well-formed capture-unit messages (marker, rising sequence numbers, entries from
//   the input, up to 1100 of them so the block store fills) after a few stray bytes, sent in
//   reads of one byte, one message, many messages or any length, optionally with sequence gaps.
// Checked beyond "no crash", after every capture:
// - the store holds at most 1000 blocks, the byte list at most 100,000 bytes, entry 0 stays
//   all-zero, times never decrease, packet numbers never fall within one side;
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
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "views/list_model.hpp"
#include "views/list_views.hpp"
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

class FixedViewState final : public orvane::ViewState {
  public:
    FixedViewState(ViewKind view, FilterFlags flags) : view_(view), flags_(flags) {}
    bool IsByteViewSelected() const override { return view_ == ViewKind::Byte; }
    bool IsPacketViewSelected() const override { return view_ == ViewKind::Packet; }
    FilterFlags GetFilterFlags() const override { return flags_; }
    void SetStatusText(std::string_view) override {}
    void ShowList(ViewKind) override {}

  private:
    ViewKind view_;
    FilterFlags flags_;
};

std::string TimeText(std::int32_t timeMs) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d.%03d", timeMs / 1000, timeMs % 1000);
    return text;
}

std::string EventText(int row) {
    char text[32];
    std::snprintf(text, sizeof text, "%05d", row);
    return text;
}

std::string HexText(int value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

bool IsSide(std::int32_t direction) {
    return direction == orvane::kDirectionController || direction == orvane::kDirectionDevice;
}

// The bytes of the capture grouped into packets as the views see them: a packet is a maximal run
// of one side's bytes (passing over the other side's) with one packet number.
struct Packets {
    std::vector<int> nextOnSide;    // next index of a byte of the same side, 0 when none
    std::vector<int> lastOfPacket;  // for a packet's first byte: index of its last byte
    std::vector<bool> startsPacket;
};

Packets GroupPackets(const CaptureModel& model) {
    const int count = model.byteCount;
    const auto& bytes = model.capturedBytes;
    Packets packets;
    packets.nextOnSide.assign(static_cast<std::size_t>(count) + 2, 0);
    packets.lastOfPacket.assign(static_cast<std::size_t>(count) + 2, 0);
    packets.startsPacket.assign(static_cast<std::size_t>(count) + 2, false);
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
    Check(model.capturedBytes.size() == static_cast<std::size_t>(orvane::kMaxBytes) + 1,
          "the byte list keeps its 100001 entries");
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
    for (const orvane::PacketLine& line : model.packetLines) {
        const int first = line.firstByteIndex;
        Check(first > lastFirst && first <= model.byteCount, "lines in order of their first byte");
        lastFirst = first;
        const CapturedByte& start = bytes[static_cast<std::size_t>(first)];
        Check(IsSide(start.direction) && start.packetNo != 0, "a line starts with a numbered byte");
        Check(packets.startsPacket[static_cast<std::size_t>(first)], "a line starts its packet");
        std::string expected(1, static_cast<char>(start.direction));
        expected += TimeText(start.timeMs);
        expected += '\t';
        for (int j = first; j != 0; j = packets.nextOnSide[static_cast<std::size_t>(j)]) {
            if (j != first && packets.startsPacket[static_cast<std::size_t>(j)]) break;
            expected += HexText(bytes[static_cast<std::size_t>(j)].value, "%02X ");
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
    std::vector<bool> shown(static_cast<std::size_t>(model.byteCount) + 1, false);
    int row = 0;
    const int rows = list.GetItemCount();
    for (int i = 1; i <= model.byteCount; ++i) {
        const CapturedByte& byte = bytes[static_cast<std::size_t>(i)];
        if (!IsSide(byte.direction)) continue;
        const bool controller = byte.direction == orvane::kDirectionController;
        const bool matches =
            row < rows && list.CellView(row, 1) == TimeText(byte.timeMs) + " " &&
            list.CellView(row, controller ? 2 : 3) == HexText(byte.value, "%02X ") &&
            list.CellView(row, controller ? 3 : 2).empty() &&
            list.CellView(row, 5) == " " + std::to_string(byte.packetNo) + " ";
        if (showAll) Check(matches, "with every box checked every byte is shown");
        if (!matches) continue;
        shown[static_cast<std::size_t>(i)] = true;
        Check(list.CellView(row, 0) == EventText(row + 1), "rows are numbered from 00001");
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
                           list.CellView(row, 5) == HexText(blockSeq, "%X");
        if (showAll) Check(shown, "with every box checked every packet is shown");
        if (!shown) continue;
        Check(list.CellView(row, 0) == EventText(row + 1), "rows are numbered from 00001");
        ++row;
    }
    Check(row == rows, "every Packet View row is one packet line, in order");
}

void CheckCapture(CaptureModel& model, const FilterFlags& flags, ViewKind filteredView,
                  bool debugTrace) {
    std::vector<std::string> traced;
    orvane::Trace trace;
    trace.debugTrace = debugTrace;
    trace.output = [&traced](std::string_view line) {
        if (traced.size() < 64) traced.emplace_back(line);
    };
    for (const std::int32_t mode :
         {orvane::kProtocolSony, orvane::kProtocolOdetics, orvane::kProtocolVdcp}) {
        orvane::AssembleCapture(model, mode, trace);
        CheckByteList(model);
        const Packets packets = GroupPackets(model);
        CheckPacketLines(model, packets);

        orvane::ListViews views;
        orvane::Decoder decoder(mode);
        // Both views with every box checked, then the input's boxes in the input's view.
        for (const int fill : {0, 1, 2}) {
            const bool showAll = fill < 2;
            const ViewKind view = fill == 0 || (fill == 2 && filteredView == ViewKind::Byte)
                                      ? ViewKind::Byte
                                      : ViewKind::Packet;
            FixedViewState viewState(view, showAll ? FilterFlags::ShowAll() : flags);
            views.RefreshList(model, decoder, viewState, trace);
            const ListModel& other = view == ViewKind::Byte ? views.packetList : views.byteList;
            Check(other.GetItemCount() == 0, "a refresh fills only the chosen list");
            if (model.byteCount == 0) {
                Check(views.ListFor(view).GetItemCount() == 0, "no bytes, no rows");
            } else if (view == ViewKind::Byte) {
                CheckByteView(model, packets, views.byteList, showAll);
            } else {
                CheckPacketView(model, views.packetList, showAll);
            }
        }
    }
}

// A capture-unit message with the given sequence number and entries.
std::string Message(std::uint32_t sequence, std::string_view entries) {
    std::string message(5, '\0');
    message.push_back(static_cast<char>((sequence >> 16) & 0xFF));
    message.push_back(static_cast<char>((sequence >> 8) & 0xFF));
    message.push_back(static_cast<char>(sequence & 0xFF));
    message.append(entries);
    return message;
}

bool HasZeroRun(std::string_view bytes, std::size_t from) {
    int run = 0;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        run = bytes[i] == '\0' ? run + 1 : 0;
        if (run == 5) return true;
    }
    return false;
}

// A small deterministic generator for read lengths, seeded from the input.
struct SplitRandom {
    std::uint64_t state;
    std::uint64_t Next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 33;
    }
};

enum class ReadPattern { kOneByte, kPerMessage, kCoalesced, kAnyLength, kLargest };

struct MessageStream {
    std::vector<std::string> messages;
    std::vector<std::string> reads;
    bool wellFormed = true;  // numbers rise by one, no run of five 0x00 but the markers
};

MessageStream BuildMessageStream(FuzzedDataProvider& provider) {
    MessageStream stream;
    // A store-filling stream costs a thousand times a short one; one input in sixteen is one.
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
    std::string pool = provider.ConsumeRemainingBytesAsString();
    if (pool.empty()) pool.assign(kEntrySize, '\x81');

    // Bytes before the first marker (a serial server's greeting), none of them 0x00 so that
    // they cannot be taken for the start of a marker.
    std::string all;
    for (int g = 0; g < garbage; ++g) all.push_back(static_cast<char>(1 + random.Next() % 255));
    std::size_t at = 0;
    std::vector<std::size_t> starts;
    for (int m = 0; m < count; ++m) {
        std::string entries;
        for (int e = 0; e < entriesPerMessage * static_cast<int>(kEntrySize); ++e) {
            entries.push_back(pool[at++ % pool.size()]);
        }
        if (gaps && random.Next() % 5 == 0) {
            sequence += 1 + static_cast<std::uint32_t>(random.Next() % 3);
            stream.wellFormed = false;
        }
        if (sequence > 0xFFFFFF) {
            sequence &= 0xFFFFFF;
            stream.wellFormed = false;  // numbers do not wrap: the unit never sends this
        }
        std::string message = Message(sequence, entries);
        if (HasZeroRun(message, kHeaderSize - 1)) stream.wellFormed = false;
        starts.push_back(all.size());
        all += message;
        stream.messages.push_back(std::move(message));
        ++sequence;
    }

    std::size_t pos = 0;
    std::size_t nextMessage = 0;
    while (pos < all.size()) {
        std::size_t length = 0;
        switch (pattern) {
            case ReadPattern::kOneByte:
                length = 1;
                break;
            case ReadPattern::kPerMessage:
            case ReadPattern::kCoalesced: {
                const std::size_t step = pattern == ReadPattern::kPerMessage ? 1 : coalesce;
                nextMessage = std::min(nextMessage + step, starts.size());
                const std::size_t end =
                    nextMessage == starts.size() ? all.size() : starts[nextMessage];
                length = end - pos;
                break;
            }
            case ReadPattern::kAnyLength:
                length = 1 + random.Next() % static_cast<std::uint64_t>(maxRead);
                break;
            case ReadPattern::kLargest:
                length = orvane::kReadLimit;
                break;
        }
        length = std::min({length, all.size() - pos, static_cast<std::size_t>(orvane::kReadLimit)});
        stream.reads.push_back(all.substr(pos, length));
        pos += length;
    }
    return stream;
}

// Raw bytes cut into reads by a pattern from the input: whole reads of the largest size, one
// byte per read, or lengths drawn up to a limit (the last pattern also draws empty reads).
std::vector<std::string> BuildRawReads(FuzzedDataProvider& provider) {
    const int pattern = provider.ConsumeIntegralInRange(0, 3);
    const int maxRead = provider.ConsumeIntegralInRange(1, 2048);
    SplitRandom random{provider.ConsumeIntegral<std::uint64_t>()};
    const std::string all = provider.ConsumeRemainingBytesAsString();
    std::vector<std::string> reads;
    std::size_t pos = 0;
    while (pos < all.size()) {
        std::size_t length = 0;
        switch (pattern) {
            case 0:
                length = orvane::kReadLimit;
                break;
            case 1:
                length = 1;
                break;
            case 2:
                length = 1 + random.Next() % static_cast<std::uint64_t>(maxRead);
                break;
            default:
                length = random.Next() % (static_cast<std::uint64_t>(maxRead) + 1);
                break;
        }
        length = std::min(length, all.size() - pos);
        reads.push_back(all.substr(pos, length));
        pos += length;
    }
    return reads;
}

// Feeds the reads as the capture loop does: it stops reading once the store is full.
void Receive(orvane::ReceiveStream& stream, const std::vector<std::string>& reads) {
    for (const std::string& read : reads) {
        if (stream.storeFull()) break;
        stream.OnReceive(read);
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
    FilterFlags flags;
    flags.timeSense = provider.ConsumeBool();
    flags.timeReply = provider.ConsumeBool();
    flags.statusSense = provider.ConsumeBool();
    flags.statusReply = provider.ConsumeBool();
    flags.displayAcks = provider.ConsumeBool();
    flags.dispDevType = provider.ConsumeBool();
    const ViewKind filteredView = provider.ConsumeBool() ? ViewKind::Byte : ViewKind::Packet;

    MessageStream stream;
    if (messages) {
        stream = BuildMessageStream(provider);
    } else {
        stream.reads = BuildRawReads(provider);
        stream.wellFormed = false;
    }

    CaptureModel model;
    orvane::Trace trace;
    trace.debugTrace = debugTrace;
    RecordingEvents events;
    orvane::ReceiveStream receiver(model, trace, events);
    if (captureBefore) {
        // An earlier capture on the same stream object leaves nothing behind.
        receiver.StartCapture();
        Receive(receiver, stream.reads);
        events = RecordingEvents();
    }
    receiver.StartCapture();
    Check(model.blockCount == 0 && !receiver.storeFull(), "a capture starts empty");
    Receive(receiver, stream.reads);
    CheckStore(model, receiver, events);

    if (stream.wellFormed) {
        const std::size_t expected =
            std::min(stream.messages.size(), static_cast<std::size_t>(orvane::kMaxBlocks));
        Check(static_cast<std::size_t>(model.blockCount) == expected, "every message is stored");
        for (std::size_t k = 0; k < expected; ++k) {
            Check(model.receivedBlocks[k + 1] == stream.messages[k], "a block is its message");
        }
        Check(receiver.storeFull() == (stream.messages.size() > expected), "full only on a 1001st");
    }

    CheckCapture(model, flags, filteredView, debugTrace);
    return 0;
}
