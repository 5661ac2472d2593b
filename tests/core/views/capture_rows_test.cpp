// The rows of a continuous capture: the same as the bounded lists' rows, whether formed all at
// once, a window at a time, or written out while the capture grows and frees what it used.
#include "views/capture_rows.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../capture/capture_test_support.hpp"
#include "capture/packet_assembly.hpp"
#include "capture/receive_stream.hpp"
#include "scratch_folder.hpp"
#include "views/capture_lists.hpp"

namespace orvane::testing {
namespace {

using Rows = std::vector<RowCells>;

class NoEvents final : public ReceiveEvents {
  public:
    void SetCounterText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void EndCapture() override {}
};

Rows BoundedRows(const std::vector<std::string>& reads, ProtocolMode mode, ViewKind view,
                 FilterFlags flags) {
    CaptureModel model;
    const Trace trace;
    NoEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    for (const std::string& read : reads) {
        if (!stream.storeFull()) stream.OnReceive(read);
    }
    AssembleCapture(model, mode, trace);
    CaptureLists lists;
    Decoder decoder(mode);
    FixedViewState state(view, flags);
    lists.RefreshList(model, decoder, state, trace);
    const ListModel& list = lists.ListFor(view);
    Rows rows(static_cast<std::size_t>(list.GetItemCount()));
    for (int row = 0; row < list.GetItemCount(); ++row) {
        for (int c = 0; c < 6; ++c)
            rows[static_cast<std::size_t>(row)][c] = list.GetItemText(row, c);
    }
    return rows;
}

Rows AllRows(const CaptureRows& rows) {
    Rows all;
    rows.FormRows(0, rows.RowCount(), [&](std::uint64_t, std::uint64_t, const RowCells& cells) {
        all.push_back(cells);
    });
    return all;
}

// A long line of traffic: a controller polling time and status, the deck answering with time
// data, status data, acknowledgements and now and then a NAK, stray bytes on either side, and
// ticks that wrap many times. Messages of up to 16 entries, one per read.
std::vector<std::string> LongStream(std::size_t messages, std::uint32_t seed) {
    // Each packet: the side, then its bytes.
    const char* const packets[] = {
        "80 61 0C 03 70", "C0 74 04 10 20 30 01 DC",
        "80 61 20 0F 90", "C0 7F 20 00 81 20 00 80 00 00 00 00 00 00 00 00 00 00 00 40",
        "80 20 01 21",    "C0 10 01 11",
        "80 00 11 11",    "C0 12 11 20 10 55",
        "C0 11 12 04 27", "80 02 02 30 06 C8",
        "C0 04",          "C0 05 01"};
    std::uint32_t state = seed;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::vector<std::string> reads;
    std::string message;
    std::uint32_t sequence = 100;
    int tick = 0;
    const auto add = [&](int code, int value) {
        if (message.empty()) message = Header(sequence++);
        tick = (tick + static_cast<int>(next() % 5)) % 4096;
        AppendEntry(message, {code, tick, value});
        if (message.size() >= 8 + 16 * 3) {
            reads.push_back(message);
            message.clear();
        }
    };
    while (reads.size() < messages) {
        if (next() % 17 == 0) {
            add(next() % 2 ? 0x80 : 0xC0, static_cast<int>(next() % 256));  // a stray byte
            continue;
        }
        const std::string packet = HexBytes(packets[next() % std::size(packets)]);
        for (const char value : packet.substr(1)) add(packet[0] & 0xFF, value & 0xFF);
    }
    return reads;
}

struct Choice {
    ViewKind view;
    FilterFlags flags;
};

const Choice kChoices[] = {
    {ViewKind::Packet, FilterFlags::ShowAll()},
    {ViewKind::Packet, FilterFlags{}},
    {ViewKind::Packet, FilterFlags{false, true, false, true, true, false}},
    {ViewKind::Byte, FilterFlags::ShowAll()},
    {ViewKind::Byte, FilterFlags{}},
    {ViewKind::Byte, FilterFlags{true, false, false, true, false, true}},
};

constexpr ProtocolMode kModes[] = {ProtocolMode::kSony, ProtocolMode::kOdetics,
                                   ProtocolMode::kVdcp};

TEST(CaptureRows, SameRowsAsTheBoundedLists) {
    // Hand-made sessions and a stream that fits the bounded store. The continuous capture counts
    // whole tick cycles where the bounded one restarts from the last time, so times are compared
    // only before the first wrap.
    const std::vector<std::vector<std::string>> streams = {
        {test::ReadFileBytes(ORVANE_TEST_DATA_DIR "/cli/sony_session.bin")},
        {test::ReadFileBytes(ORVANE_TEST_DATA_DIR "/cli/vdcp_session.bin")},
        {test::ReadFileBytes(ORVANE_TEST_DATA_DIR "/cli/polls_only.bin")},
        LongStream(900, 7),
    };
    for (std::size_t s = 0; s < streams.size(); ++s) {
        for (const ProtocolMode mode : kModes) {
            ContinuousCapture capture(mode, Trace{});
            for (const std::string& read : streams[s]) capture.OnRead(read);
            capture.Finish();
            for (const Choice& choice : kChoices) {
                SCOPED_TRACE("stream " + std::to_string(s) + " mode " +
                             std::to_string(ProtocolNumber(mode)) + " view " +
                             std::to_string(static_cast<int>(choice.view)));
                const Rows expected = BoundedRows(streams[s], mode, choice.view, choice.flags);
                Rows actual = AllRows(CaptureRows(capture, choice.view, choice.flags));
                ASSERT_EQ(actual.size(), expected.size());
                bool wrapped = false;
                for (std::size_t r = 0; r < actual.size(); ++r) {
                    // From the first wrap on, the continuous time is the later one.
                    wrapped = wrapped || actual[r][1] != expected[r][1];
                    if (wrapped) {
                        ASSERT_GT(actual[r][1], expected[r][1]) << "row " << r;
                        actual[r][1] = expected[r][1];
                    }
                    ASSERT_EQ(actual[r], expected[r]) << "row " << r;
                }
            }
        }
    }
}

TEST(CaptureRows, ByteViewTakenWhileASidesFirstPacketGrows) {
    // VDCP, the tap started inside the deck's traffic: bytes before the deck's first ACK are a
    // leading run, taken while that ACK's packet is still open. Every filter choice's rows,
    // brought up to date after each read, are those of the finished capture.
    std::uint32_t sequence = 1;
    const auto read = [&sequence](const std::vector<Entry>& entries) {
        std::string message = Header(sequence++);
        for (const Entry& entry : entries) AppendEntry(message, entry);
        return message;
    };
    const int d = 0xC0;
    const int c = 0x80;
    const std::vector<std::string> reads = {
        read({{d, 1, 0x11}, {d, 2, 0x22}, {d, 3, 0x02}, {d, 4, 0x02}, {d, 5, 0x30}}),
        read({{d, 6, 0x86}, {d, 7, 0xC8}}),
        read({{d, 8, 0x04},
              {c, 9, 0x02},
              {c, 10, 0x02},
              {c, 11, 0x30},
              {c, 12, 0x06},
              {c, 13, 0xC8}}),
        read({{d, 14, 0x04}}),
    };
    ContinuousCapture whole(ProtocolMode::kVdcp, Trace{});
    for (const std::string& r : reads) whole.OnRead(r);
    whole.Finish();
    for (int bits = 0; bits < 64; ++bits) {
        const FilterFlags flags{(bits & 1) != 0, (bits & 2) != 0,  (bits & 4) != 0,
                                (bits & 8) != 0, (bits & 16) != 0, (bits & 32) != 0};
        ContinuousCapture growing(ProtocolMode::kVdcp, Trace{});
        CaptureRows rows(growing, ViewKind::Byte, flags);
        for (const std::string& r : reads) {
            growing.OnRead(r);
            rows.Update();
        }
        growing.Finish();
        rows.Update();
        EXPECT_EQ(AllRows(rows), AllRows(CaptureRows(whole, ViewKind::Byte, flags)))
            << "filter choice " << bits;
    }
}

TEST(CaptureRows, AnyWindowReadsAsTheWholeList) {
    // A status reply's description depends on the last Status Sense request shown before it,
    // which a window of rows far into the list must find again.
    const std::vector<std::string> reads = LongStream(12000, 11);
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        ContinuousCapture capture(mode, Trace{});
        for (const std::string& read : reads) capture.OnRead(read);
        capture.Finish();
        for (const Choice& choice : kChoices) {
            const CaptureRows rows(capture, choice.view, choice.flags);
            const Rows all = AllRows(rows);
            for (const std::uint64_t first :
                 {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{4095}, std::uint64_t{4097},
                  rows.RowCount() / 2, rows.RowCount() - 50}) {
                rows.FormRows(first, 50, [&](std::uint64_t row, std::uint64_t, const RowCells& c) {
                    ASSERT_EQ(c, all[row]) << "window at " << first << ", row " << row;
                });
            }
        }
    }
}

TEST(CaptureRows, RowsWrittenWhileTheCaptureGrowsAndFreesMemory) {
    // Rows formed after every read, with what they no longer need freed each time, equal the
    // rows of the whole capture formed at its end; the freed capture holds less.
    const std::vector<std::string> reads = LongStream(40000, 3);
    for (const ProtocolMode mode : {ProtocolMode::kSony, ProtocolMode::kVdcp}) {
        ContinuousCapture whole(mode, Trace{});
        for (const std::string& read : reads) whole.OnRead(read);
        whole.Finish();
        for (const Choice& choice : kChoices) {
            const Rows expected = AllRows(CaptureRows(whole, choice.view, choice.flags));
            ContinuousCapture growing(mode, Trace{});
            CaptureRows rows(growing, choice.view, choice.flags);
            Rows written;
            const auto pump = [&] {
                rows.Update();
                rows.FormNewRows([&](std::uint64_t, std::uint64_t, const RowCells& cells) {
                    written.push_back(cells);
                });
                growing.ReleaseBefore(rows.FirstByteNeeded(), rows.FirstPacketNeeded());
            };
            for (std::size_t i = 0; i < reads.size(); ++i) {
                growing.OnRead(reads[i]);
                if (i % 7 == 0) pump();
            }
            growing.Finish();
            pump();
            ASSERT_EQ(written.size(), expected.size());
            for (std::size_t r = 0; r < written.size(); ++r) ASSERT_EQ(written[r], expected[r]);
            EXPECT_LT(growing.bytes().MemoryBytes(), whole.bytes().MemoryBytes());
            EXPECT_LT(growing.packets().MemoryBytes(), whole.packets().MemoryBytes());
        }
    }
}

}  // namespace
}  // namespace orvane::testing
