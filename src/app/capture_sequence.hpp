// One capture from the Capture button to the refreshed list: connect, the "Capturing Data"
// dialog, drain, close, assembly, refresh.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "capture/capture_file.hpp"
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

// Shown in the status bar when a bounded capture ended because its store was full.
inline constexpr char kStoreFullStatus[] =
    "Capture ended: the store is full at 1000 messages. A continuous capture (Set Up) has no "
    "such limit.";

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

    // How long a connect may take before it counts as failed.
    void SetConnectTimeoutMs(int timeoutMs) { connectTimeoutMs_ = timeoutMs; }
    int connectTimeoutMs() const { return connectTimeoutMs_; }

    // The reads of the last bounded capture, each with its time of receipt, and where and when
    // it was taken: what Save Capture As writes. Kept from connect to the next capture.
    const std::vector<CaptureRead>& reads() const { return reads_; }
    const CaptureFileInfo& info() const { return info_; }

    // Holds reads from a file as a bounded capture: the store fills as a capture would fill it
    // (up to 1000 messages), grouped under `protocolMode`, then the list is refilled.
    void LoadReads(std::vector<CaptureRead> reads, const CaptureFileInfo& info,
                   ProtocolMode protocolMode);

    // Forgets the kept reads (Clear).
    void ForgetReads() { reads_.clear(); }

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
    bool recording_ = false;
    std::vector<CaptureRead> reads_;
    CaptureFileInfo info_;
};

}  // namespace orvane
