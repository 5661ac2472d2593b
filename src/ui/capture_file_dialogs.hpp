// The file dialogs of the File menu: which capture to open, where to save a capture, an export or
// the statistics.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

enum class FileQuestion {
    OpenCapture,         // an existing capture file (or raw stream file)
    SaveCapture,         // a new capture file
    ExportForWireshark,  // a new export for Wireshark
    SaveStatistics,      // a new CSV file of the Statistics window's figures
};

// Asks the user for a file, starting in `folder`; the chosen full path, or the empty text when
// the user cancelled. Tests put their own function in its place.
using AskFileNameFunction =
    std::function<QString(QWidget* owner, FileQuestion question, const QString& folder)>;

// The platform's file dialog for each question: pcapng files (CSV for the statistics) first, any
// file as the second filter; saving asks before overwriting and adds ".pcapng" (".csv") to a
// name without a suffix.
QString AskFileName(QWidget* owner, FileQuestion question, const QString& folder);

}  // namespace orvane
