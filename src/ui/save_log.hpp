// "Save Log": the question for the log file's name and the report of a log that could not be
// written; the main window moves the working folder and writes the file.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "views/log_writer.hpp"

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

// Shows "Error writing log: " and the reason of a write that failed.
void ReportLogWriteFailure(QWidget* owner, const Look& look, const LogWriteResult& result);

}  // namespace orvane
