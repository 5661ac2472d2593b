// orvane-cli's continuous capture, capture files and exports, run as processes: a continuous
// capture keeps every message, its capture file and its raw bytes replay to its log, a killed or
// cut capture file gives the reads it holds, and the exports hold exactly the Packet
// View's rows.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

constexpr const char* kEnded = "orvane-cli: capture ended: ";

ProcessResult Capture(int port, const std::vector<std::string>& options) {
    return RunProcess(CaptureArgs(port, options), {}, 60000);
}

ProcessResult Replay(const std::vector<std::string>& options) {
    return RunCli(Join({"replay"}, options));
}

// The log's rows, without the title and the column header.
std::vector<std::string> Rows(const std::string& log) {
    std::vector<std::string> rows = LogLines(log);
    if (!rows.empty()) rows.erase(rows.begin());
    return rows;
}

// One cell of a log row: 0 Event, 1 Time, 2 ID, 3 Packet, 4 Command.
std::string Cell(const std::string& row, int column) {
    std::size_t start = 0;
    for (int i = 0; i < column; ++i) start = row.find('\t', start) + 1;
    return row.substr(start, row.find('\t', start) - start);
}

struct StreamCase {
    const char* scenario;
    std::vector<std::string> protocol;
};

const StreamCase kStreams[] = {{"sony", {}}, {"vdcp", {"--protocol", "vdcp"}}};

// 20000 messages, twenty times the store: the continuous capture keeps them all. Its capture
// file (which records the protocol) and its raw bytes replayed continuously give its log.
TEST(ContinuousCli, CaptureKeepsEveryMessageAndItsFilesReplayToItsLog) {
    for (const StreamCase& c : kStreams) {
        SCOPED_TRACE(c.scenario);
        ScratchFolder dir;
        const std::string file = dir.Path("capture.pcapng"), raw = dir.Path("raw.bin");
        Simulator sim({"--scenario", c.scenario, "--rate", "fast", "--messages", "20000"});
        const ProcessResult captured =
            Capture(sim.port(),
                    Join(c.protocol, {"--continuous", "--capture-file", file, "--save-raw", raw}));
        ASSERT_EQ(captured.exitCode, 0) << captured.err;
        EXPECT_EQ(captured.err,
                  std::string(kEnded) + "the capture unit closed the connection; 20000 messages\n");
        EXPECT_TRUE(HasTitleLine(captured.out));
        EXPECT_GT(Rows(captured.out).size(), Rows(Replay(Join(c.protocol, {raw})).out).size())
            << "more rows than a bounded capture of the same stream";

        const ProcessResult fromFile = Replay({file});
        EXPECT_EQ(fromFile.exitCode, 0) << fromFile.err;
        EXPECT_EQ(fromFile.err, "");
        EXPECT_TRUE(SameLines(LogBody(captured.out), LogBody(fromFile.out)));
        EXPECT_TRUE(SameLines(LogBody(captured.out),
                              LogBody(Replay(Join(c.protocol, {"--continuous", raw})).out)));
    }
}

std::uint32_t Word(const std::string& bytes, std::size_t at) {
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i) word = word << 8 | static_cast<unsigned char>(bytes[at + i]);
    return word;
}

// Where the capture file's packet blocks (one per read) start, the last perhaps cut short.
std::vector<std::size_t> ReadBlocks(const std::string& bytes) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at + 8 <= bytes.size() && Word(bytes, at + 4) >= 12;
         at += Word(bytes, at + 4)) {
        if (Word(bytes, at) == 6) starts.push_back(at);
    }
    return starts;
}

// Killed outright on a quiet line: the reads that the once-a-second flush got to the disk replay
// to the rows a clean capture of the stream starts with (the last may be a packet cut short).
TEST(ContinuousCli, KilledCaptureFileReplaysWhatReachedTheDisk) {
    const std::vector<std::string> unit{"--scenario", "sony", "--seed", "31", "--rate", "fast"};
    ScratchFolder dir;
    WriteFileBytes(dir.Path("clean.bin"), UnitStream(Join(unit, {"--messages", "40"})));
    const std::vector<std::string> clean =
        Rows(Replay({"--continuous", dir.Path("clean.bin")}).out);

    // 40 messages, one read or two, stay in the file's write buffer until the flush.
    Simulator sim(Join(unit, {"--idle-after", "40"}));
    const std::string file = dir.Path("killed.pcapng");
    ChildProcess capture(CaptureArgs(sim.port(), {"--continuous", "--capture-file", file}), {});
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10) &&
           (ReadBlocks(ReadFileBytes(file)).empty() ||
            std::chrono::steady_clock::now() - start < std::chrono::seconds(2))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    capture.Signal(SIGKILL);
    capture.Finish(10000);

    const ProcessResult replayed = Replay({file});
    if (replayed.exitCode == 2) {  // the kill cut a block
        const std::string tail = " bytes could not be read; the reads before it were replayed\n";
        EXPECT_EQ(replayed.err.rfind("orvane-cli: " + file + ": damaged after ", 0), 0u);
        EXPECT_EQ(replayed.err.find('\n'), replayed.err.size() - 1) << replayed.err;
        EXPECT_NE(replayed.err.find(tail), std::string::npos) << replayed.err;
    } else {
        EXPECT_EQ(replayed.exitCode, 0) << replayed.err;
        EXPECT_EQ(replayed.err, "");
    }
    const std::vector<std::string> rows = Rows(replayed.out);
    ASSERT_GT(rows.size(), 1u) << replayed.err;
    ASSERT_LE(rows.size(), clean.size());
    for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        ASSERT_EQ(rows[i], clean[i]) << "row " << i + 1;
    }
}

// A capture file cut inside a block: the reads before the cut are replayed and written, with
// the damage named and exit status 2.
TEST(ContinuousCli, CaptureFileCutInsideABlockReplaysTheReadsBeforeIt) {
    ScratchFolder dir;
    const std::string full = dir.Path("full.pcapng");
    Simulator sim({"--scenario", "vdcp", "--rate", "3000", "--messages", "300"});
    ASSERT_EQ(Capture(sim.port(), {"--protocol", "vdcp", "--continuous", "--capture-file", full})
                  .exitCode,
              0);
    const std::string bytes = ReadFileBytes(full);
    const std::vector<std::size_t> readBlocks = ReadBlocks(bytes);
    ASSERT_GE(readBlocks.size(), 10u);
    const std::size_t reads = readBlocks.size() / 2, cut = readBlocks[reads];
    const std::size_t kept = cut + Word(bytes, cut + 4) / 2;
    WriteFileBytes(dir.Path("whole.pcapng"), bytes.substr(0, cut));
    WriteFileBytes(dir.Path("cut.pcapng"), bytes.substr(0, kept));

    const ProcessResult whole = Replay({dir.Path("whole.pcapng")});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_LT(Rows(whole.out).size(), Rows(Replay({full}).out).size());
    const ProcessResult damaged = Replay({"--out", dir.Path("log.csv"), dir.Path("cut.pcapng")});
    EXPECT_EQ(damaged.exitCode, 2);
    EXPECT_EQ(damaged.err, "orvane-cli: " + dir.Path("cut.pcapng") + ": damaged after " +
                               std::to_string(reads) + " reads: " + std::to_string(kept - cut) +
                               " bytes could not be read; the reads before it were replayed\n");
    EXPECT_TRUE(SameLines(LogBody(whole.out), LogBody(ReadFileBytes(dir.Path("log.csv")))));
}

// Views of sony_session.bin: filters, and a protocol that leaves a packet undescribed.
const std::vector<std::string> kExportCases[] = {
    {},
    {"--show", "none"},
    {"--show", "status-reply,acks"},
    {"--protocol", "vdcp"},
};

// Both exports hold the Packet View's rows in order: the JSON lines as fields, the pcapng export
// as tshark reads it.
TEST(ContinuousCli, ExportsHoldThePacketViewsRowsInOrder) {
    ScratchFolder dir;
    const std::string file = dir.Path("export.pcapng"), session = DataPath("sony_session.bin");
    for (const std::vector<std::string>& view : kExportCases) {
        SCOPED_TRACE(view.empty() ? "all" : view[1]);
        const std::vector<std::string> rows = Rows(Replay(Join(view, {session})).out);
        const ProcessResult jsonl = Replay(Join(view, {"--format", "jsonl", session}));
        ASSERT_EQ(jsonl.exitCode, 0) << jsonl.err;
        const std::vector<std::string> lines = SplitLines(jsonl.out);
        ASSERT_EQ(lines.size(), rows.size());
        std::string expected;  // a packet without a description has no comment: an empty field
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const std::string& row = rows[i];
            const std::string head = "{\"number\":" + std::to_string(std::stoi(Cell(row, 0))) +
                                     ",\"time\":\"" + Cell(row, 1) + "\",\"time_us\":";
            const std::string tail =
                std::string(",\"side\":\"") + (Cell(row, 2) == "Ctrl" ? "controller" : "deck") +
                "\",\"bytes\":\"" + Cell(row, 3).substr(0, Cell(row, 3).size() - 1) +
                "\",\"description\":\"" + Cell(row, 4) + "\",\"latency_ms\":";
            EXPECT_EQ(lines[i].rfind(head, 0), 0u) << lines[i] << "\n" << row;
            EXPECT_NE(lines[i].find(tail), std::string::npos) << lines[i] << "\n" << row;
            expected += Cell(row, 4) + "\t" + std::to_string(Cell(row, 3).size() / 3) + "\n";
        }
        ASSERT_EQ(Replay(Join(view, {"--format", "pcapng", "--out", file, session})).exitCode, 0);
        const ProcessResult shark =
            RunProcess({"/usr/bin/env", "tshark", "-r", file, "-T", "fields", "-e", "frame.comment",
                        "-e", "frame.len"});
        ASSERT_NE(shark.exitCode, 127) << "tshark is missing: run scripts/install-deps.sh";
        ASSERT_EQ(shark.exitCode, 0) << shark.err;
        EXPECT_EQ(shark.out, expected);
    }
}

}  // namespace
}  // namespace orvane::test
