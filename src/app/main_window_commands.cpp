// The main window's command handlers: the four buttons, the view options and the filter boxes.
#include <QGuiApplication>
#include <QRadioButton>

#include "app/capture_sequence.hpp"
#include "app/main_window.hpp"
#include "app/program.hpp"
#include "capture/packet_assembly.hpp"
#include "ui/setup_dialog.hpp"

namespace orvane {

void MainWindow::OnCaptureClicked() { capture_->RunCapture(); }

void MainWindow::OnClearClicked() {
    // Discards the byte list; the packet list stays unseen until the next capture replaces it,
    // and every refresh shows nothing while the byte list is empty.
    program_.listViews.ClearLists(*this);
    ClearCapturedBytes(program_.captureModel);
}

void MainWindow::OnSaveLogClicked() {
    const ViewKind view = IsPacketViewSelected() ? ViewKind::Packet : ViewKind::Byte;
    SaveLog(this, program_.look, program_.listViews.ListFor(view), view, askSaveFileName_);
}

void MainWindow::OnSetupClicked() {
    const std::int32_t previousMode = program_.settings.protocolMode;
    ShowSetupDialog(this, program_.look, program_.settings);
    if (program_.settings.protocolMode != previousMode) ReshowList();
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
    program_.listViews.ClearLists(*this);
    program_.listViews.ShowListForView(*this);
    RefreshList();
}

void MainWindow::RefreshList() {
    program_.decoder.SetProtocolMode(program_.settings.protocolMode);
    program_.listViews.RefreshList(program_.captureModel, program_.decoder, *this, program_.trace);
}

}  // namespace orvane
