// The modal "Capturing Data" dialog: the running count of stored messages and the Stop button.
#pragma once

#include <QDialog>

class QLabel;

namespace orvane {

class Look;
class OwnerButton;

inline constexpr int kIdCaptureCounter = 175;
inline constexpr int kIdStopButton = 180;
inline constexpr int kIdPacketsReceivedLabel = 2000;

// Shown while a capture runs. It has no close box and ignores Escape: it ends when Stop is
// clicked or when it is asked to close (the receive stream does so when the block store is full).
// Socket events keep flowing while it runs, since exec() runs a nested event loop.
class CaptureDialog : public QDialog {
    Q_OBJECT
  public:
    CaptureDialog(QWidget* owner, const Look& look);

    // The count beside "Packets Received:".
    void SetCounterText(const QString& text);
    QString counterText() const;

    // Ends the dialog the way the window-close command does.
    void EndCapture();

    OwnerButton* stopButton() const { return stop_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void StopCapture();

    QLabel* counter_;
    OwnerButton* stop_;
};

}  // namespace orvane
