// The log file: what a list shows, as TAB-separated lines with CR LF, under a title and a header.
#include "views/log_writer.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace orvane {

namespace {

constexpr std::size_t kLogColumns = 5;  // "Packet #", the sixth column, stays out of the log

void AppendTwoDigits(std::string& out, int value) {
    out.push_back(static_cast<char>('0' + (value / 10) % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

void AppendCell(std::string& out, std::string_view cell, const LogCellTransform& transform) {
    if (transform) {
        out.append(transform(LogCellText(cell)));
        return;
    }
    const std::size_t start = out.size();
    out.append(cell.substr(0, cell.find('\0')));
    for (std::size_t i = start; i < out.size(); ++i) {
        if (out[i] == '\t' || out[i] == '\r' || out[i] == '\n') out[i] = ' ';
    }
}

void AppendRow(std::string& out, const ListModel& list, int row,
               const LogCellTransform& transform) {
    for (std::size_t column = 0; column < kLogColumns; ++column) {
        if (column > 0) out.push_back('\t');
        AppendCell(out, list.CellView(row, static_cast<int>(column)), transform);
    }
    out.append("\r\n");
}

}  // namespace

void AppendLogRow(std::string& out, std::span<const std::string> cells,
                  const LogCellTransform& transform) {
    for (std::size_t column = 0; column < kLogColumns && column < cells.size(); ++column) {
        if (column > 0) out.push_back('\t');
        AppendCell(out, cells[column], transform);
    }
    out.append("\r\n");
}

namespace {

std::string ErrnoReason(const std::string& path, int error) {
    return path + ": " + (error != 0 ? std::strerror(error) : "the file could not be written");
}

}  // namespace

LocalDateTime CurrentLocalDateTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string LogTitleLine(const LocalDateTime& time) {
    std::string line = "\t\t\t\tOrvane Log ";
    AppendTwoDigits(line, time.month);
    line.push_back('-');
    AppendTwoDigits(line, time.day);
    line.push_back('-');
    const int year = time.year;
    AppendTwoDigits(line, (year / 100) % 100);
    AppendTwoDigits(line, year % 100);
    line.push_back(' ');
    AppendTwoDigits(line, time.hour);
    line.push_back(':');
    AppendTwoDigits(line, time.minute);
    line.push_back(':');
    AppendTwoDigits(line, time.second);
    line.append("\r\n");
    return line;
}

std::string_view LogHeaderLine(ViewKind view) {
    return view == ViewKind::Packet ? "Event\tTime\tID\tPacket\tCommand\r\n"
                                    : "Event\tTime\tCtrl\tVTR\tCommand\r\n";
}

std::string LogCellText(std::string_view cell) {
    std::string text;
    AppendCell(text, cell, {});
    return text;
}

std::string LogRowLine(const ListModel& list, int row, const LogCellTransform& transform) {
    std::string line;
    AppendRow(line, list, row, transform);
    return line;
}

std::string BuildLogText(const ListModel& list, ViewKind view, const LocalDateTime& time,
                         const LogCellTransform& transform) {
    const int rows = list.GetItemCount();
    if (rows == 0) return {};
    std::string text = LogTitleLine(time);
    text.append(LogHeaderLine(view));
    for (int row = 0; row < rows; ++row) AppendRow(text, list, row, transform);
    return text;
}

LogWriteResult WriteLogFile(const std::string& path, std::string_view logText) {
    if (logText.empty()) return {};
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {LogWriteResult::Status::Failed, ErrnoReason(path, errno)};
    const std::size_t written = std::fwrite(logText.data(), 1, logText.size(), file);
    if (written != logText.size() || std::fflush(file) != 0) {
        LogWriteResult failed{LogWriteResult::Status::Failed, ErrnoReason(path, errno)};
        std::fclose(file);
        return failed;
    }
    if (std::fclose(file) != 0) {
        return {LogWriteResult::Status::Failed, ErrnoReason(path, errno)};
    }
    return {LogWriteResult::Status::Written, {}};
}

LogWriteResult SaveLogFile(const std::string& path, const ListModel& list, ViewKind view,
                           const LocalDateTime& time) {
    return WriteLogFile(path, BuildLogText(list, view, time));
}

}  // namespace orvane
