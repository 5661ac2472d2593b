// Fuzz target: the log writer on arbitrary cell texts, through the list it reads them from.
//
// The input drives a list of the Packet View's or Byte View's columns: rows inserted anywhere,
// cells set anywhere (rows and columns out of range included), texts with any bytes. A plain
// copy kept beside the list says what every cell must hold. Checked beyond "no crash":
// - the list holds every cell up to its first NUL, rows where they were inserted;
// - the log is empty for an empty list; otherwise every line ends in CR LF and no CR or LF
//   stands anywhere else, the title line is four TABs and "Orvane Log " with the date and time,
//   the header line is the view's, and every row line has exactly four TABs and the row's
//   columns 0 to 4 as the log shows a cell (cut at NUL, TAB, CR and LF as one space);
// - a cell transform gets exactly those cells, and what it gives is written as it is;
// - the log file written holds the log byte for byte; an empty log creates no file.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.hpp"
#include "views/capture_lists.hpp"
#include "views/list_model.hpp"
#include "views/log_writer.hpp"

namespace {

namespace fs = std::filesystem;
using orvane::ListModel;
using orvane::ViewKind;

constexpr int kLogColumns = 5;
constexpr char kTab = '\t';

void Check(bool condition, const char* what) {
    orvane::fuzz::CheckInvariant(condition, "fuzz_log", what);
}

using orvane::fuzz::TempFolder;

const std::string& LogPath() {
    static const TempFolder folder("fuzz_log");
    static const std::string path = (folder.path() / "capture.csv").string();
    return path;
}

std::string CutAtNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

// The cell as a log line shows it, computed apart from the writer.
std::string ExpectedCell(std::string_view cell) {
    std::string text = CutAtNul(cell);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

// A front end's escape: every byte outside the printable ASCII range as "\xHH".
std::string Escape(std::string_view cell) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : cell) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E && c != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        }
    }
    return out;
}

std::vector<std::string_view> SplitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const std::size_t at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return parts;
        text.remove_prefix(at + separator.size());
    }
}

bool IsTitleLine(std::string_view line, const orvane::LocalDateTime& time) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "\t\t\t\tOrvane Log %02d-%02d-%04d %02d:%02d:%02d",
                  time.month, time.day, time.year, time.hour, time.minute, time.second);
    return line == expected;
}

using Cells = std::array<std::string, ListModel::kMaxColumns>;

void CheckLog(const ListModel& list, ViewKind view, const std::vector<Cells>& rows,
              const orvane::LocalDateTime& time, bool escaped) {
    std::vector<std::string> transformed;
    const orvane::LogCellTransform transform = [&transformed](std::string_view cell) {
        transformed.emplace_back(cell);
        return Escape(cell);
    };
    const std::string log = escaped ? orvane::BuildLogText(list, view, time, transform)
                                    : orvane::BuildLogText(list, view, time);
    const std::string& path = LogPath();
    std::error_code ec;
    fs::remove(path, ec);
    if (rows.empty()) {
        Check(log.empty(), "an empty list gives no log");
        const orvane::LogWriteResult result = orvane::WriteLogFile(path, log);
        Check(result.status == orvane::LogWriteResult::Status::NothingToWrite, "nothing to write");
        Check(!fs::exists(path, ec), "an empty log creates no file");
        return;
    }
    Check(log.ends_with("\r\n"), "the log ends with CR LF");
    std::vector<std::string_view> lines = SplitAt(log, "\r\n");
    lines.pop_back();  // the empty rest after the last CR LF
    Check(lines.size() == rows.size() + 2, "title, header and one line per row");
    for (const std::string_view line : lines) {
        Check(line.find_first_of("\r\n") == std::string_view::npos, "no CR or LF inside a line");
    }
    Check(IsTitleLine(lines[0], time), "the title line");
    Check(std::string(lines[1]) + "\r\n" == orvane::LogHeaderLine(view), "the header line");

    std::size_t transformedAt = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string_view line = lines[r + 2];
        Check(std::count(line.begin(), line.end(), kTab) == kLogColumns - 1, "four TABs a row");
        const std::vector<std::string_view> fields = SplitAt(line, "\t");
        for (int c = 0; c < kLogColumns; ++c) {
            const std::string cell = ExpectedCell(rows[r][static_cast<std::size_t>(c)]);
            if (escaped) {
                Check(transformedAt < transformed.size() && transformed[transformedAt++] == cell,
                      "the transform gets the cell as the log shows it");
                Check(fields[static_cast<std::size_t>(c)] == Escape(cell), "a transformed cell");
            } else {
                Check(fields[static_cast<std::size_t>(c)] == cell, "a cell as the log shows it");
            }
        }
    }
    if (escaped) {
        Check(transformedAt == transformed.size(), "the transform gets only the row cells");
        return;
    }

    const orvane::LogWriteResult result = orvane::WriteLogFile(path, log);
    Check(result.status == orvane::LogWriteResult::Status::Written, "the log is written");
    std::ifstream in(path, std::ios::binary);
    const std::string onDisk{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    Check(onDisk == log, "the file holds the log byte for byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const ViewKind view = provider.ConsumeBool() ? ViewKind::Byte : ViewKind::Packet;
    const bool escaped = provider.ConsumeBool();
    orvane::LocalDateTime time;
    time.year = provider.ConsumeIntegralInRange(1980, 2099);
    time.month = provider.ConsumeIntegralInRange(1, 12);
    time.day = provider.ConsumeIntegralInRange(1, 31);
    time.hour = provider.ConsumeIntegralInRange(0, 23);
    time.minute = provider.ConsumeIntegralInRange(0, 59);
    time.second = provider.ConsumeIntegralInRange(0, 59);

    orvane::CaptureLists lists;
    ListModel& list = lists.ListFor(view);
    Check(list.ColumnCount() == ListModel::kMaxColumns, "a view's list has six columns");

    std::vector<Cells> rows;
    while (provider.remaining_bytes() > 0 && rows.size() < 4096) {
        if (provider.ConsumeBool()) {
            const int at = provider.ConsumeIntegralInRange(-2, static_cast<int>(rows.size()) + 2);
            const std::string text = provider.ConsumeRandomLengthString(64);
            const int row = list.InsertItem(at, text);
            const int expectedRow = std::clamp(at, 0, static_cast<int>(rows.size()));
            Check(row == expectedRow, "a row is inserted where asked, within the list");
            rows.insert(rows.begin() + expectedRow, Cells{CutAtNul(text)});
        } else {
            const int row = provider.ConsumeIntegralInRange(-1, static_cast<int>(rows.size()));
            const int column = provider.ConsumeIntegralInRange(-1, ListModel::kMaxColumns);
            const std::string text = provider.ConsumeRandomLengthString(300);
            list.SetItemText(row, column, text);
            if (row >= 0 && row < static_cast<int>(rows.size()) && column >= 0 &&
                column < ListModel::kMaxColumns) {
                rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                    CutAtNul(text);
            }
        }
    }

    Check(list.GetItemCount() == static_cast<int>(rows.size()), "one row per row inserted");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < ListModel::kMaxColumns; ++c) {
            Check(list.GetItemText(static_cast<int>(r), c) == rows[r][static_cast<std::size_t>(c)],
                  "a cell holds its text up to the first NUL");
        }
    }
    CheckLog(list, view, rows, time, escaped);
    return 0;
}
