// The main window's command handlers: the four buttons, the view options and the filter boxes.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QRadioButton>

#include "app/capture_analysis.hpp"
#include "app/capture_sequence.hpp"
#include "app/live_capture.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/packet_assembly.hpp"
#include "settings/settings_store.hpp"
#include "ui/continuous_list.hpp"
#include "ui/setup_dialog.hpp"
#include "views/analysis_columns.hpp"
#include "views/capture_rows_output.hpp"
#include "views/log_writer.hpp"

namespace orvane {

void MainWindow::OnCaptureClicked() {
    // While a continuous capture runs, the button reads "Stop" and ends it.
    if (live_ != nullptr && live_->running()) {
        live_->Stop();
        return;
    }
    if (program_.captureSettings.continuous) {
        StartLiveCapture();
        return;
    }
    capture_->RunCapture();
}

void MainWindow::OnClearClicked() {
    // Discards the byte list; the packet list stays unseen until the next capture replaces it,
    // and every refresh shows nothing while the byte list is empty.
    if (live_ != nullptr && live_->running()) return;
    DropHeldCapture();
    program_.captureLists.ClearLists(*this);
    ClearCapturedBytes(program_.captureModel);
    capture_->ForgetReads();
    AttachAnalysis(nullptr);
    UpdateCommands();
}

void MainWindow::OnSaveLogClicked() {
    const ViewKind view = GetViewOptions().view;
    if (held_ == nullptr) {
        const ListModel& list = program_.captureLists.ListFor(view);
        WriteLog(list.GetItemCount() > 0, [this, &list, view](const std::string& path) {
            if (!analysisColumns_) return SaveLogFile(path, list, view, CurrentLocalDateTime());
            // The two columns as the list shows them: empty where there is no analysis.
            const bool rowsOfView = boundedRows_ != nullptr && boundedRows_->view() == view;
            return WriteLogFile(
                path, BuildAnalysisLogText(list, view, CurrentLocalDateTime(),
                                           rowsOfView ? boundedRows_.get() : nullptr,
                                           analysis_ != nullptr ? &analysis_->rows() : nullptr));
        });
        return;
    }
    // What the list shows, formed and written a slice of rows at a time; the rows are looked up
    // when the file is written, since a live capture goes on while the dialog is up.
    const CaptureRows* shown = continuousList_->rows();
    WriteLog(shown != nullptr && shown->RowCount() > 0, [this](const std::string& path) {
        const CaptureRows* rows = continuousList_->rows();
        if (rows == nullptr) return LogWriteResult{};
        UpdateAnalysis();
        const bool analysed = analysisColumns_ && analysis_ != nullptr;
        return WriteCaptureRowsLog(path, *rows, CurrentLocalDateTime(),
                                   analysed ? &analysis_->rows() : nullptr);
    });
}

void MainWindow::OnSetupClicked() {
    const std::optional<SetupChoice> choice =
        RunSetupDialog(this, program_.look, program_.settings, program_.captureSettings);
    if (!choice.has_value()) return;
    const ProtocolMode previousMode = program_.settings.protocolMode;
    const CaptureSettings previousCapture = program_.captureSettings;
    program_.settings = choice->settings;
    program_.captureSettings = choice->capture;
    // The three connection keys are written on every Ok, as always; the capture keys only once
    // the user has changed them, so a settings file without them stays without them.
    SaveSetup(program_.settings);
    SaveCaptureSettings(program_.captureSettings, previousCapture);
    QCoreApplication::processEvents();
    if (program_.settings.protocolMode == previousMode) return;
    RegroupShownCapture();
}

void MainWindow::OnViewOptionClicked(QRadioButton* clicked) {
    // An automatic option: a click selects it, even when it was selected already, and clears
    // the other one.
    clicked->setChecked(true);
    (clicked == packetOption_ ? byteOption_ : packetOption_)->setChecked(false);
    ReshowList();
}

void MainWindow::OnFilterClicked() { ReshowList(); }

void MainWindow::ReshowList() {
    if (held_ != nullptr) {
        ShowHeldRows();
        return;
    }
    program_.captureLists.ClearLists(*this);
    program_.captureLists.ShowListForView(*this);
    RefreshList();
}

void MainWindow::RefreshList() {
    SyncBoundedAnalysis();
    program_.decoder.SetProtocolMode(fileProtocol_.value_or(program_.settings.protocolMode));
    program_.captureLists.RefreshList(program_.captureModel, program_.decoder, *this,
                                      program_.trace);
}

}  // namespace orvane
