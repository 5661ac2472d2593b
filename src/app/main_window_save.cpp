// The main window's Save Capture As, Export for Wireshark and Save Log, and the recent-captures
// list.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <cerrno>
#include <fstream>

#include "app/capture_file_io.hpp"
#include "app/capture_sequence.hpp"
#include "app/live_capture.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "settings/recent_captures.hpp"
#include "ui/save_log.hpp"
#include "views/capture_rows_output.hpp"

namespace orvane {

void MainWindow::OnSaveCaptureAsClicked() {
    const bool bounded = held_ == nullptr;
    if (bounded && capture_->reads().empty()) return;
    const QString target =
        askFileName_(this, FileQuestion::SaveCapture, DisplayPath(program_.captureSettings.folder));
    if (target.isEmpty()) return;
    const std::string to = LocalPath(target);
    std::string error;
    bool ok = true;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (!bounded && heldSource_.captureFile) {
        // The capture file is already written as the reads arrived: a copy is the capture.
        if (live_ != nullptr) live_->FlushFile();
        if (QFileInfo(target) != QFileInfo(DisplayPath(heldSource_.path))) {
            ok = CopyFile(heldSource_.path, to, error);
        }
    } else {
        CaptureFileWriter writer;
        if (bounded) {
            ok = writer.Open(to, capture_->info(), error);
            for (const CaptureRead& read : capture_->reads()) {
                ok = ok && writer.AppendRead(read.timeUs, read.bytes, error);
            }
        } else {
            // A raw stream opened as a continuous capture becomes a capture file of its reads.
            errno = 0;
            std::ifstream in(heldSource_.path, std::ios::binary);
            ok = static_cast<bool>(in);
            if (!ok) error = ErrnoText(heldSource_.path);
            ok = ok && writer.Open(to, heldSource_.info, error);
            ReadRawStream(in, [&](std::string_view bytes) {
                ok = ok && writer.AppendRead(0, bytes, error);
                return ok;
            });
        }
        std::string closeError;
        if (!writer.Close(closeError) && ok) {
            ok = false;
            error = closeError;
        }
    }
    QApplication::restoreOverrideCursor();
    if (!ok) {
        ShowError("Error saving capture: " + error);
        return;
    }
    RememberRecent(to);
}

void MainWindow::OnExportClicked() {
    if (held_ == nullptr && program_.captureModel.byteCount == 0) return;
    const QString target = askFileName_(this, FileQuestion::ExportForWireshark,
                                        DisplayPath(program_.captureSettings.folder));
    if (target.isEmpty()) return;
    const std::string to = LocalPath(target);
    errno = 0;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        ShowError("Error writing export: " + ErrnoText(to));
        return;
    }
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    bool ok = false;
    // The Packet View's packets under the filter boxes as they are now, whichever view shows.
    if (held_ != nullptr) {
        CaptureFileInfo info = heldSource_.info;
        info.protocolMode = held_->packets().protocolMode();
        ok = ExportCaptureRows(*held_, GetViewOptions().filters, info, out);
    } else {
        CaptureFileInfo info = capture_->info();
        info.protocolMode = fileProtocol_.value_or(program_.settings.protocolMode);
        ok = ExportPacketList(program_.captureModel, info.protocolMode, GetViewOptions().filters,
                              info, out);
    }
    out.close();
    ok = ok && !out.fail();
    QApplication::restoreOverrideCursor();
    if (!ok) ShowError("Error writing export: " + ErrnoText(to));
}

void MainWindow::WriteLog(bool hasRows, const WriteLogFunction& write) {
    if (!hasRows) return;
    const QString path = askSaveFileName_(this);
    // Let the window repaint where the dialog stood before the busy spell.
    QCoreApplication::processEvents();
    if (path.isEmpty()) return;
    // The classic dialog moves the current directory to the chosen folder, and the settings
    // file is looked for there afterwards; a confirmed choice does the same here.
    QDir::setCurrent(QFileInfo(path).absolutePath());
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const LogWriteResult result = write(LocalPath(path));
    QApplication::restoreOverrideCursor();
    if (!result.ok()) ReportLogWriteFailure(this, program_.look, result);
}

void MainWindow::RememberRecent(const std::string& path) {
    if (path.empty()) return;
    const std::string absolute = LocalPath(QFileInfo(DisplayPath(path)).absoluteFilePath());
    program_.recentCaptures = AddRecentCapture(program_.recentCaptures, absolute);
    SaveRecentCaptures(program_.recentCaptures);
    FillRecentMenu();
}

void MainWindow::FillRecentMenu() {
    if (recentMenu_ == nullptr) return;
    recentMenu_->clear();
    for (const std::string& file : program_.recentCaptures) {
        const QString path = DisplayPath(file);
        QAction* action = recentMenu_->addAction(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenCapture(path); });
    }
    recentMenu_->setEnabled(!program_.recentCaptures.empty() &&
                            !(live_ != nullptr && live_->running()));
}

}  // namespace orvane
