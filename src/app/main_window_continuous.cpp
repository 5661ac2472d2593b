// The main window around a continuous capture: starting and stopping it, the list that grows
// while it runs, its account in the status bar, and the held capture that replaces the lists.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QStatusBar>
#include <chrono>

#include "app/application_name.hpp"
#include "app/capture_analysis.hpp"
#include "app/capture_file_io.hpp"
#include "app/capture_sequence.hpp"
#include "app/capture_status.hpp"
#include "app/live_capture.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "platform/text_codec.hpp"
#include "ui/continuous_list.hpp"
#include "ui/message_dialog.hpp"
#include "ui/owner_button.hpp"

namespace orvane {
namespace {

std::int64_t WallClockUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

void MainWindow::HoldCapture(std::unique_ptr<ContinuousCapture> capture, HeldSource source) {
    live_.reset();
    program_.captureLists.ClearLists(*this);
    AttachAnalysis(nullptr);  // it may read the capture held until now
    held_ = std::move(capture);
    heldSource_ = std::move(source);
    fileProtocol_.reset();
    ShowHeldRows();
    AttachAnalysis(std::make_unique<CaptureAnalysis>(*held_));
    UpdateCommands();
}

void MainWindow::DropHeldCapture() {
    if (held_ == nullptr) return;
    live_.reset();
    continuousList_->Show(nullptr, ViewKind::Packet, FilterFlags{});
    AttachAnalysis(nullptr);
    held_.reset();
    heldSource_ = HeldSource{};
    program_.captureLists.ShowListForView(*this);
    UpdateCommands();
}

void MainWindow::ShowHeldRows() {
    const ViewOptions options = GetViewOptions();
    continuousList_->Show(held_.get(), options.view, options.filters);
    program_.captureLists.ShowListForView(*this);
    ShowCaptureStatus();
}

void MainWindow::StartLiveCapture() {
    ConnectionSettings& settings = program_.settings;
    ApplyConnectionDefaults(settings);
    auto capture = std::make_unique<ContinuousCapture>(settings.protocolMode, program_.trace);
    auto live = std::make_unique<LiveCapture>(*capture);
    std::string reason;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    reason = live->Connect(settings.captureUnitAddress, settings.captureUnitPort,
                           capture_->connectTimeoutMs());
    QApplication::restoreOverrideCursor();
    if (!reason.empty()) {
        ShowError("Error opening port: " + reason);
        return;
    }
    const CaptureFileInfo info{std::string(kApplicationName),
                               settings.captureUnitAddress,
                               settings.captureUnitPort,
                               settings.protocolMode,
                               true,
                               WallClockUs()};
    std::string error;
    if (!live->OpenFile(program_.captureSettings.folder, info, error)) {
        // Nothing has changed: the connection closes with `live`, the held capture stays.
        ShowError("Error writing capture file: " + error);
        return;
    }
    HoldCapture(std::move(capture), HeldSource{live->filePath(), true, info});
    live_ = std::move(live);
    connect(live_.get(), &LiveCapture::Tick, this, &MainWindow::OnLiveTick);
    // Queued: the end may come from inside a socket signal, and its message dialog runs an
    // event loop of its own.
    connect(live_.get(), &LiveCapture::Ended, this, &MainWindow::OnLiveEnded, Qt::QueuedConnection);
    live_->Start();
    UpdateCommands();
    ShowCaptureStatus();
}

void MainWindow::OnLiveTick() {
    continuousList_->Grow();
    UpdateAnalysis();
    // What a search or the protocol check said stays readable for a moment.
    if (!NoticeShowing()) ShowCaptureStatus();
}

void MainWindow::OnLiveEnded() {
    if (live_ == nullptr) return;
    // The capture's Finish completed its last packets: the list takes them in.
    continuousList_->Grow();
    UpdateAnalysis();
    UpdateCommands();
    ShowCaptureStatus();
    OfferBetterProtocol();
    RememberRecent(live_->filePath());
    const std::string name = FileNameOf(live_->filePath());
    switch (live_->end()) {
        case LiveCaptureEnd::UnitClosed:
            ShowError(
                "The capture unit closed the connection. The capture has ended; what "
                "arrived is kept in " +
                name + ".");
            break;
        case LiveCaptureEnd::FileFailed:
            ShowError("Error writing capture file: " + live_->fileError() +
                      ". The capture has stopped; what was written before is kept.");
            break;
        default:
            break;
    }
}

void MainWindow::ShowCaptureStatus() {
    if (held_ == nullptr) return;
    const CaptureCounters& counters = held_->counters();
    CaptureStatus status;
    status.messages = counters.messages;
    status.packets = held_->packets().size();
    status.lostMessages = counters.lostMessages;
    status.sequenceGaps = counters.sequenceGaps;
    status.fileName = FileNameOf(heldSource_.path);
    if (live_ != nullptr) {
        status.state = live_->running() ? "Capturing" : "Captured";
        status.elapsedMs = live_->elapsedMs();
        status.bytesPerSecond = live_->bytesPerSecond();
        status.fileBytes = live_->fileBytes();
    } else {
        status.state = "Opened";
        status.fileBytes = static_cast<std::uint64_t>(
            QFileInfo(QFile::decodeName(heldSource_.path.c_str())).size());
    }
    statusBar_->showMessage(QString::fromStdString(CaptureStatusText(status)));
}

void MainWindow::UpdateCommands() {
    const bool running = live_ != nullptr && live_->running();
    OwnerButton* captureButton = buttons_[0];
    if (running && captureButton->text() != QStringLiteral("Stop")) {
        // "Stop" has no access key of its own: Alt+C, the key of "&Capture", ends the capture.
        captureButton->setText(QStringLiteral("Stop"));
        captureButton->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    } else if (!running && captureButton->text() != QStringLiteral("&Capture")) {
        captureButton->setText(QStringLiteral("&Capture"));
    }
    buttons_[1]->setEnabled(!running);  // Clear would drop the capture under way
    if (menuBar_ == nullptr) return;
    const auto enable = [this](MenuCommand command, bool enabled) {
        menuAction(command)->setEnabled(enabled);
    };
    enable(MenuCommand::OpenCapture, !running);
    enable(MenuCommand::SaveCaptureAs, held_ != nullptr || !capture_->reads().empty());
    enable(MenuCommand::ExportForWireshark,
           held_ != nullptr || program_.captureModel.byteCount > 0);
    recentMenu_->setEnabled(!running && !program_.recentCaptures.empty());
}

void MainWindow::ShowError(const std::string& text) {
    ShowMessage(this, program_.look, ToWindows1252(QString::fromStdString(text)));
}

}  // namespace orvane
