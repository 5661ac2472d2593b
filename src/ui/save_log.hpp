// "Save Log": the list of the view in use written to a log file the user names.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "views/list_model.hpp"
#include "views/log_writer.hpp"
#include "views/packet_filter.hpp"

class QFileDialog;
class QWidget;

namespace orvane {

class Look;

// Asks the user for the log file's name; returns the chosen full path, or the empty text when
// the user cancelled. Tests put their own function in its place.
using AskSaveFileNameFunction = std::function<QString(QWidget* owner)>;

// The save-file dialog as Save Log shows it: title "Save Orvane Log", the "Orvane Log" filter
// for *.csv, default suffix csv, confirmation before overwriting, opening in the current
// directory with an empty name.
std::unique_ptr<QFileDialog> MakeSaveLogDialog(QWidget* owner);

// Runs that dialog modally.
QString AskSaveFileName(QWidget* owner);

// Writes `list` (the list of `view`) to a file chosen through `askSaveFileName`: nothing at all
// for an empty list or a cancelled dialog. After a confirmed choice the current directory is
// the chosen file's folder, as with the platform's classic save dialog; the settings file
// follows it. A log that cannot be written is reported as "Error writing log: " and the reason.
void SaveLog(QWidget* owner, const Look& look, const ListModel& list, ViewKind view,
             const AskSaveFileNameFunction& askSaveFileName = AskSaveFileName);

// Writes the log to the file at a path in the file system's encoding.
using WriteLogFunction = std::function<LogWriteResult(const std::string& path)>;

// The same flow for any list: nothing when it has no rows, the same dialog, the same folder
// change and the same "Error writing log: " message; `write` writes the file.
void SaveLogWith(QWidget* owner, const Look& look, bool hasRows, const WriteLogFunction& write,
                 const AskSaveFileNameFunction& askSaveFileName = AskSaveFileName);

}  // namespace orvane
