// The modal "Capturing Data" dialog: the running count of stored messages and the Stop button.
#include "ui/capture_dialog.hpp"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

#include "ui/background_graphic.hpp"
#include "ui/dialog_frame.hpp"
#include "ui/dialog_units.hpp"
#include "ui/look.hpp"
#include "ui/owner_button.hpp"

namespace orvane {

CaptureDialog::CaptureDialog(QWidget* owner, const Look& look)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(QStringLiteral("Capturing Data"));
    setModal(true);
    ApplyWindowLook(this);
    const DialogUnits units(font());
    setFixedSize(units.ToPixels(QSize(180, 79)));

    new BackgroundGraphic(this, units.ToPixels(QSize(180, 79)));
    PaintGradientBackground(this, 175, 40, 80);

    // The caption sits transparently on the bands.
    auto* caption = new QLabel(QStringLiteral("Packets Received:"), this);
    PlaceControl(caption, kIdPacketsReceivedLabel, units, QRect(5, 8, 120, 12));
    caption->setFont(look.Font(kSystemFont));

    // The counter is a value field: black on white in a sunken frame.
    counter_ = new QLabel(this);
    PlaceControl(counter_, kIdCaptureCounter, units, QRect(95, 7, 80, 12));
    counter_->setFont(look.Font(kSystemFont));
    counter_->setAlignment(Qt::AlignCenter);
    counter_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette valueColours = counter_->palette();
    valueColours.setColor(QPalette::Window, PaletteColor(kPaletteWhite));
    valueColours.setColor(QPalette::WindowText, PaletteColor(kPaletteBlack));
    counter_->setPalette(valueColours);
    counter_->setAutoFillBackground(true);

    stop_ = new OwnerButton(QStringLiteral("Stop"), look.Font(kAnsiVarFont), this);
    PlaceControl(stop_, kIdStopButton, units, QRect(65, 34, 53, 30));
    connect(stop_, &QPushButton::clicked, this, &CaptureDialog::StopCapture);
    stop_->setFocus();
}

void CaptureDialog::SetCounterText(const QString& text) { counter_->setText(text); }

QString CaptureDialog::counterText() const { return counter_->text(); }

void CaptureDialog::EndCapture() { close(); }

void CaptureDialog::StopCapture() { done(QDialog::Rejected); }

void CaptureDialog::keyPressEvent(QKeyEvent* event) {
    // No control answers Escape: the capture ends only by Stop or the store-full close.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CaptureDialog::closeEvent(QCloseEvent* event) {
    done(QDialog::Rejected);
    event->accept();
}

void CaptureDialog::showEvent(QShowEvent* event) {
    // Centred on the screen rather than over the main window.
    CentreOnScreen(this);
    QDialog::showEvent(event);
}

}  // namespace orvane
