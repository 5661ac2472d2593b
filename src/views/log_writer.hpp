// The log file: what a list shows, as TAB-separated lines with CR LF, under a title and a header.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "views/list_model.hpp"
#include "views/packet_filter.hpp"

namespace orvane {

// A local date and time as the title line shows it.
struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
};

// The computer's local date and time now.
LocalDateTime CurrentLocalDateTime();

// "\t\t\t\tOrvane Log MM-DD-YYYY HH:MM:SS\r\n".
std::string LogTitleLine(const LocalDateTime& time);

// The header line of a view, CR LF included: "Event", "Time", "ID", "Packet", "Command" for the
// Packet View; "Event", "Time", "Ctrl", "VTR", "Command" for the Byte View.
std::string_view LogHeaderLine(ViewKind view);

// A cell as the log writes it: whole, up to its first NUL, with every TAB, CR and LF written as
// one space so that a line keeps its five fields.
std::string LogCellText(std::string_view cell);

// Applied to each row cell after LogCellText (a front end may escape bytes for a terminal).
using LogCellTransform = std::function<std::string(std::string_view)>;

// One line per row of columns 0 to 4, TAB-separated, CR LF; "Packet #" is never written.
std::string LogRowLine(const ListModel& list, int row, const LogCellTransform& transform = {});

// The same line from a row's cells (at least five), appended to `out`.
void AppendLogRow(std::string& out, std::span<const std::string> cells,
                  const LogCellTransform& transform = {});

// The whole log: title line, header line of `view`, one line per row of `list`. Empty when the
// list has no rows: an empty view writes nothing.
std::string BuildLogText(const ListModel& list, ViewKind view, const LocalDateTime& time,
                         const LogCellTransform& transform = {});

struct LogWriteResult {
    enum class Status { Written, NothingToWrite, Failed };
    Status status = Status::NothingToWrite;
    std::string reason;  // why the log could not be written; empty unless Failed

    bool ok() const { return status != Status::Failed; }
};

// Writes a log text to `path`, creating or truncating the file. An empty text creates no file
// (NothingToWrite). A file that cannot be created or written gives Failed with the reason.
LogWriteResult WriteLogFile(const std::string& path, std::string_view logText);

// BuildLogText then WriteLogFile: what "Save Log" does with the list of the view in use.
LogWriteResult SaveLogFile(const std::string& path, const ListModel& list, ViewKind view,
                           const LocalDateTime& time);

}  // namespace orvane
