// orvane-cli replay, run as a process over hand-made raw captures: both views, filters, escape,
// the log file, and captures split across files anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

struct GoldenCase {
    std::vector<std::string> options;
    const char* capture;
    const char* expectedLog;  // every line after the title; empty: the view has no rows
};

const GoldenCase kGoldenCases[] = {
    {{}, "sony_session.bin", "sony_session.packet.log"},
    {{"--view", "byte"}, "sony_session.bin", "sony_session.byte.log"},
    // Only Play and In Preset stay; the controller's 10 01 is an acknowledgement in this view.
    {{"--show", "none"}, "sony_session.bin", "sony_session.none.log"},
    // The Byte View has no controller row for 10 01: it stays whatever the filters say.
    {{"--view=byte", "--show=none"}, "sony_session.bin", "sony_session.none_byte.log"},
    // The Status Sense request is hidden, so the status reply is read with none remembered.
    {{"--show", "status-reply,acks"}, "sony_session.bin", "sony_session.status_reply_acks.log"},
    // Sony grouping with the Odetics texts (the raw time code after In Preset).
    {{"--protocol", "1"}, "sony_session.bin", "sony_session.odetics.log"},
    // Identifiers with a TAB (written as a space), a NUL (the cell ends there), 0x92 and a
    // backslash.
    {{"--protocol", "vdcp"}, "vdcp_session.bin", "vdcp_session.packet.log"},
    {{"--protocol", "vdcp", "--view", "byte", "--escape"},
     "vdcp_session.bin",
     "vdcp_session.byte_escaped.log"},
    {{"--protocol", "vdcp", "--show", "time-sense,status-reply"},
     "vdcp_session.bin",
     "vdcp_session.time_sense_status_reply.log"},
    // Polls only: rows while their filters are checked, none when unchecked.
    {{}, "polls_only.bin", "polls_only.log"},
    {{"--show", "none"}, "polls_only.bin", ""},
    {{"--view", "byte", "--show", "none"}, "polls_only.bin", ""},
    // Entries of neither side: messages, but no rows.
    {{}, "neither_side.bin", ""},
    {{"--view", "byte"}, "neither_side.bin", ""},
};

TEST(ReplayCli, WritesTheGoldenLogToStandardOutputAndFile) {
    ScratchFolder dir;
    for (const GoldenCase& c : kGoldenCases) {
        SCOPED_TRACE(std::string(c.capture) + " " + c.expectedLog);
        std::vector<std::string> argv = Join({ORVANE_CLI_PATH, "replay"}, c.options);
        argv.push_back(DataPath(c.capture));
        const std::string expected = *c.expectedLog ? ReadFileBytes(DataPath(c.expectedLog)) : "";
        const ProcessResult toStdout = RunProcess(argv);
        ASSERT_EQ(toStdout.exitCode, 0) << toStdout.err;
        EXPECT_EQ(toStdout.err, "");
        EXPECT_TRUE(expected.empty() ? toStdout.out.empty() : HasTitleLine(toStdout.out));
        EXPECT_TRUE(SameLines(expected, LogBody(toStdout.out)));

        // --out truncates a longer old file; with no rows it creates no file.
        const std::string out = dir.Path(expected.empty() ? "new.csv" : "old.csv");
        if (!expected.empty()) WriteFileBytes(out, std::string(10000, 'x'));
        argv.insert(argv.begin() + 2, {"--out", out});
        const ProcessResult toFile = RunProcess(argv);
        ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
        EXPECT_EQ(toFile.out, "");
        EXPECT_EQ(std::filesystem::exists(out), !expected.empty());
        if (!expected.empty()) {
            EXPECT_TRUE(HasTitleLine(ReadFileBytes(out)));
            EXPECT_TRUE(SameLines(expected, LogBody(ReadFileBytes(out))));
        }
    }
}

TEST(ReplayCli, CaptureSplitIntoTwoFilesAnywhereGivesTheSameLog) {
    // The files are fed in the order given (not by name), each as reads of its own: a message
    // cut between two files continues in the next one, even inside the first header.
    ScratchFolder dir;
    const std::string whole = ReadFileBytes(DataPath("sony_session.bin"));
    const std::string expected = ReadFileBytes(DataPath("sony_session.packet.log"));
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        WriteFileBytes(dir.Path("b.bin"), whole.substr(0, cut));
        WriteFileBytes(dir.Path("a.bin"), whole.substr(cut));
        const ProcessResult result = RunCli({"replay", dir.Path("b.bin"), dir.Path("a.bin")});
        ASSERT_EQ(result.exitCode, 0);
        ASSERT_TRUE(SameLines(expected, LogBody(result.out))) << "cut at byte " << cut;
    }
}

TEST(ReplayCli, AReaderClosingThePipeEarlyEndsItQuietly) {
    // Far more log than a pipe holds, read by a reader that stops after a few bytes.
    std::string command = "'" + std::string(ORVANE_CLI_PATH) + "' replay --continuous --view byte";
    for (int copy = 0; copy < 300; ++copy) command += " '" + DataPath("sony_session.bin") + "'";
    const ProcessResult result = RunProcess({"/bin/sh", "-c", command + " | head -c 100"});
    EXPECT_EQ(result.out.size(), 100u);
    EXPECT_EQ(result.err, "");
}

// The output's lines; a log's without its title.
std::vector<std::string> RunLines(const std::vector<std::string>& options, const char* capture) {
    const ProcessResult result = RunCli(Join(Join({"replay"}, options), {DataPath(capture)}));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return SplitLines(HasTitleLine(result.out) ? LogBody(result.out) : result.out);
}

struct AnalysisCase {
    std::vector<std::string> options;
    const char* capture;
    std::vector<std::string> cells;  // "latency|verdict" of each Packet View row
};

const AnalysisCase kAnalysisCases[] = {
    {{},
     "sony_session.bin",
     {"|", "4 ms|", "|", "4 ms|", "|", "4 ms|", "|", "4 ms|", "|", "4 ms|", "|",
      "4 ms|checksum 00, expected 89", "|", "4 ms|short: 5 of 18 bytes"}},
    {{"--protocol", "vdcp"},
     "vdcp_session.bin",
     {"|", "4 ms|", "|", "3 ms|", "|", "3 ms|", "|", "2 ms|", "|", "3 ms|NAK: undefined command",
      "|", "3 ms|"}},
};

TEST(ReplayCli, AnalysisColumnsAndJsonlFieldsFollowTheStandardRows) {
    for (const AnalysisCase& c : kAnalysisCases) {
        for (const std::string continuous : {"", "--continuous"}) {
            SCOPED_TRACE(std::string(c.capture) + " " + continuous);
            std::vector<std::string> options = c.options;
            if (!continuous.empty()) options.push_back(continuous);
            for (const std::string view : {"packet", "byte"}) {
                const std::vector<std::string> viewOptions = Join(options, {"--view", view});
                const std::vector<std::string> standard = RunLines(viewOptions, c.capture);
                const std::vector<std::string> analysis =
                    RunLines(Join(viewOptions, {"--columns", "analysis"}), c.capture);
                ASSERT_EQ(analysis.size(), standard.size());
                ASSERT_FALSE(standard.empty());
                EXPECT_EQ(analysis[0], standard[0] + "\tLatency\tVerdict");
                // Each row as before, then its two cells; the Byte View shows them once per
                // packet, on its first byte.
                std::vector<std::string> cells;
                for (std::size_t i = 1; i < standard.size(); ++i) {
                    ASSERT_EQ(analysis[i].rfind(standard[i] + "\t", 0), 0u) << analysis[i];
                    std::string added = analysis[i].substr(standard[i].size() + 1);
                    ASSERT_EQ(std::count(added.begin(), added.end(), '\t'), 1) << analysis[i];
                    added[added.find('\t')] = '|';
                    if (view == "packet" || added != "|") cells.push_back(added);
                }
                std::vector<std::string> expected = c.cells;
                if (view == "byte") std::erase(expected, "|");
                EXPECT_EQ(cells, expected) << view;
            }
            // The export gives the same two cells as fields.
            const std::vector<std::string> lines =
                RunLines(Join(options, {"--format", "jsonl"}), c.capture);
            ASSERT_EQ(lines.size(), c.cells.size());
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const std::string& cell = c.cells[i];
                const std::size_t bar = cell.find('|');
                const std::string latency = bar == 0 ? "null" : cell.substr(0, bar - 3);
                const std::string tail =
                    ",\"latency_ms\":" + latency + ",\"verdict\":\"" + cell.substr(bar + 1) + "\"}";
                EXPECT_TRUE(lines[i].ends_with(tail)) << lines[i] << "\n" << tail;
            }
        }
    }
}

TEST(ReplayCli, SaysWhichProtocolReadsBetter) {
    const struct {
        const char* protocol;
        const char* capture;
        const char* note;
    } cases[] = {
        {"sony", "sony_session.bin", ""},
        {"vdcp", "sony_session.bin",
         "orvane-cli: most packets fail their checks as VDCP; they read as Sony (--protocol "
         "sony)\n"},
        {"odetics", "vdcp_session.bin",
         "orvane-cli: most packets fail their checks as Odetics; they read as VDCP (--protocol "
         "vdcp)\n"},
    };
    for (const auto& c : cases) {
        for (const std::string continuous : {"--view=packet", "--continuous"}) {
            const ProcessResult result =
                RunCli({"replay", continuous, "--protocol", c.protocol, DataPath(c.capture)});
            EXPECT_EQ(result.exitCode, 0);
            EXPECT_EQ(result.err, c.note) << c.protocol << " " << continuous;
        }
    }
}

}  // namespace
}  // namespace orvane::test
