// The main window's Open Capture: from the File menu, a recent capture, a file dropped on the
// window or the command line; continuous files read in slices with the rows showing as they come.
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProgressDialog>
#include <QStatusBar>
#include <cerrno>
#include <fstream>

#include "app/capture_file_io.hpp"
#include "app/capture_file_probe.hpp"
#include "app/capture_sequence.hpp"
#include "app/live_capture.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "ui/continuous_list.hpp"

namespace orvane {
namespace {

// Reads a file in slices of about this long before the window is serviced.
constexpr qint64 kSliceMs = 40;
// A bounded capture needs far less than this of a file; reading stops there.
constexpr std::uint64_t kBoundedReadLimit = 256u << 20;
constexpr int kProgressSteps = 1000;

}  // namespace

void MainWindow::OnOpenCaptureClicked() {
    const QString path =
        askFileName_(this, FileQuestion::OpenCapture, DisplayPath(program_.captureSettings.folder));
    if (!path.isEmpty()) OpenCapture(path);
}

bool MainWindow::OpenCapture(const QString& path) {
    // A file dropped while another is read, or a capture running, turns it away.
    if (opening_ || (live_ != nullptr && live_->running())) return false;
    opening_ = true;
    const std::string localPath = LocalPath(path);
    const CaptureFileProbe probe = ProbeCaptureFile(localPath);
    bool opened = false;
    if (probe.kind == CaptureFileProbe::Kind::Foreign) {
        ShowError("Cannot open " + FileNameOf(localPath) + ": " + probe.problem);
    } else {
        const bool captureFile = probe.kind == CaptureFileProbe::Kind::CaptureFile;
        // A raw stream follows the capture mode chosen in Set Up; a capture file its own.
        const bool continuous =
            captureFile ? probe.info.continuous : program_.captureSettings.continuous;
        errno = 0;
        std::ifstream in(localPath, std::ios::binary);
        if (!in) {
            ShowError("Cannot open " + ErrnoText(localPath));
        } else if (continuous) {
            opened = OpenContinuousFile(in, localPath, captureFile, probe.info);
        } else {
            opened = OpenBoundedFile(in, localPath, captureFile, probe.info);
        }
    }
    opening_ = false;
    return opened;
}

bool MainWindow::OpenContinuousFile(std::ifstream& in, const std::string& path, bool captureFile,
                                    const CaptureFileInfo& fileInfo) {
    const std::uint64_t size = FileSize(in);
    CaptureFileReader reader(in);
    std::string error;
    if (captureFile && !reader.ReadHeader(error)) {
        ShowError("Cannot open " + FileNameOf(path) + ": " + error);
        return false;
    }
    CaptureFileInfo info = fileInfo;
    if (!captureFile) {
        info = RawStreamInfo(program_.settings.protocolMode, true);
    }
    HoldCapture(std::make_unique<ContinuousCapture>(info.protocolMode, program_.trace),
                HeldSource{path, captureFile, info});
    ContinuousCapture& capture = *held_;

    // Slices of reads with the window serviced between them: the first rows show at once, and
    // the progress dialog (shown once the read takes a while) can cancel.
    QProgressDialog progress(QStringLiteral("Opening ") + DisplayPath(path),
                             QStringLiteral("Cancel"), 0, kProgressSteps, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    QElapsedTimer slice;
    slice.start();
    bool cancelled = false;
    const auto service = [&] {
        if (slice.elapsed() < kSliceMs) return true;
        continuousList_->Grow();
        UpdateAnalysis();
        const auto at = static_cast<std::uint64_t>(std::max<std::streamoff>(0, in.tellg()));
        progress.setValue(size > 0 ? static_cast<int>(at * kProgressSteps / size) : 0);
        // Until the dialog shows, only paints and socket events are let through, so no command
        // can reach the window in the middle of a read.
        if (!progress.isVisible()) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        cancelled = progress.wasCanceled();
        slice.restart();
        return !cancelled;
    };
    if (captureFile) {
        CaptureRead read;
        while (reader.NextRead(read)) {
            capture.OnRead(read.bytes, read.timeUs);
            if (!service()) break;
        }
    } else {
        ReadRawStream(in, [&](std::string_view bytes) {
            capture.OnRead(bytes, ContinuousCapture::kNoReceiptTime);
            return service();
        });
    }
    capture.Finish();
    continuousList_->Grow();
    UpdateAnalysis();
    progress.reset();
    RememberRecent(path);
    ShowCaptureStatus();
    if (cancelled) {
        statusBar_->showMessage(statusBar_->currentMessage() +
                                QStringLiteral(" | opening cancelled: the rest is not shown"));
    } else {
        OfferBetterProtocol();
    }
    if (captureFile && reader.damaged()) ShowDamage(path, reader.DamageText());
    return true;
}

bool MainWindow::OpenBoundedFile(std::ifstream& in, const std::string& path, bool captureFile,
                                 const CaptureFileInfo& fileInfo) {
    std::vector<CaptureRead> reads;
    std::uint64_t total = 0;
    CaptureFileInfo info = fileInfo;
    std::string damage;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    if (captureFile) {
        CaptureFileReader reader(in);
        std::string error;
        CaptureRead read;
        if (reader.ReadHeader(error)) {
            while (total < kBoundedReadLimit && reader.NextRead(read)) {
                total += read.bytes.size();
                reads.push_back(std::move(read));
            }
        }
        if (reader.damaged()) damage = reader.DamageText();
    } else {
        info = RawStreamInfo(program_.settings.protocolMode, false);
        ReadRawStream(in, [&](std::string_view bytes) {
            reads.push_back(CaptureRead{0, std::string(bytes)});
            total += bytes.size();
            return total < kBoundedReadLimit;
        });
    }
    QApplication::restoreOverrideCursor();
    // A capture file is grouped and described under its own protocol until Set Up changes it;
    // a raw stream under Set Up's.
    if (captureFile) pendingFileProtocol_ = info.protocolMode;
    capture_->LoadReads(std::move(reads), info, info.protocolMode);
    pendingFileProtocol_.reset();
    RememberRecent(path);
    if (!damage.empty()) ShowDamage(path, damage);
    return true;
}

void MainWindow::ShowDamage(const std::string& path, const std::string& damage) {
    ShowError(FileNameOf(path) + " is " + damage + ". The reads before the damage are shown.");
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) return;
    event->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // Opened once the drop has ended, so the source of the drag is not kept waiting.
    QMetaObject::invokeMethod(
        this, [this, path] { OpenCapture(path); }, Qt::QueuedConnection);
}

}  // namespace orvane
