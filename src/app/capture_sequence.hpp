// One capture from the Capture button to the refreshed list: connect, the "Capturing Data"
// dialog, drain, close, assembly, refresh.
#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "capture/capture_model.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "platform/capture_connection.hpp"
#include "settings/connection_settings.hpp"

class QWidget;

namespace orvane {

class CaptureDialog;
class Look;

// What a capture needs from the main window around it.
struct CaptureHooks {
    std::function<void(const std::string&)> setStatusText;  // part 0 of the status bar
    std::function<void()> refreshList;                      // refill the visible list
};

// Runs captures for the main window. The connection's events reach the receive stream while
// the capture dialog runs its nested event loop; everything happens on the GUI thread.
class CaptureSequence : public QObject, private ReceiveEvents {
    Q_OBJECT
  public:
    CaptureSequence(QWidget* owner, const Look& look, CaptureModel& model,
                    ConnectionSettings& settings, const Trace& trace, CaptureHooks hooks);
    ~CaptureSequence() override;

    // The whole capture. A failed connection shows "Error opening port: " and the reason and
    // changes nothing else.
    void RunCapture();

    // Empties the block store, applies the address and port defaults and connects under the
    // busy cursor. False after a failure that has been shown to the user.
    bool OpenCaptureConnection();

    // Shows the capture dialog modally over the owner; returns when Stop or the store-full
    // close has ended it.
    void ShowCaptureDialog();

    bool IsConnectionOpen() const { return connection_.IsOpen(); }

    // The capture dialog while it is shown, otherwise null.
    CaptureDialog* captureDialog() const { return dialog_; }

    const ReceiveStream& receiveStream() const { return stream_; }

    // How long a connect may take before it counts as failed.
    void SetConnectTimeoutMs(int timeoutMs) { connectTimeoutMs_ = timeoutMs; }

  private:
    void SetCounterText(const std::string& text) override;
    void SetStatusText(const std::string& text) override;
    void EndCapture() override;

    QWidget* owner_;
    const Look& look_;
    CaptureModel& model_;
    ConnectionSettings& settings_;
    const Trace& trace_;
    CaptureHooks hooks_;
    ReceiveStream stream_;
    CaptureConnection connection_;
    CaptureDialog* dialog_ = nullptr;
    int connectTimeoutMs_ = kConnectTimeoutMs;
    bool running_ = false;
};

}  // namespace orvane
