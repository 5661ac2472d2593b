// One capture from the Capture button to the refreshed list: connect, the "Capturing Data"
// dialog, drain, close, assembly, refresh.
#include "app/capture_sequence.hpp"

#include <QApplication>
#include <QCursor>
#include <string_view>

#include "capture/packet_assembly.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"

namespace orvane {

namespace {

// The hourglass for as long as the program does not service the window.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Event-loop passes after the dialog has ended, so reads already queued are still stored.
constexpr int kDrainPasses = 4;

}  // namespace

CaptureSequence::CaptureSequence(QWidget* owner, const Look& look, CaptureModel& model,
                                 ConnectionSettings& settings, const Trace& trace,
                                 CaptureHooks hooks)
    : owner_(owner),
      look_(look),
      model_(model),
      settings_(settings),
      trace_(trace),
      hooks_(std::move(hooks)),
      stream_(model, trace, *this) {
    connect(&connection_, &CaptureConnection::DataReceived, this, [this](const QByteArray& data) {
        stream_.OnReceive(
            std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    });
    // The unit closing its end closes the connection (done by CaptureConnection); the dialog
    // stays up and what arrived so far is kept.
}

CaptureSequence::~CaptureSequence() = default;

void CaptureSequence::RunCapture() {
    // The capture dialog is modal, so the Capture button cannot be clicked again meanwhile;
    // the guard only keeps a programmatic second call from nesting captures.
    if (running_) return;
    running_ = true;
    if (OpenCaptureConnection()) {
        ShowCaptureDialog();
        for (int pass = 0; pass < kDrainPasses; ++pass) QCoreApplication::processEvents();
        connection_.Close();
        {
            BusyCursor busy;
            AssembleCapture(model_, settings_.protocolMode, trace_);
        }
        if (hooks_.refreshList) hooks_.refreshList();
    }
    running_ = false;
}

bool CaptureSequence::OpenCaptureConnection() {
    stream_.StartCapture();
    ApplyConnectionDefaults(settings_);
    std::string reason;
    {
        BusyCursor busy;
        reason = connection_.Open(settings_.captureUnitAddress, settings_.captureUnitPort,
                                  connectTimeoutMs_);
    }
    if (reason.empty()) return true;
    ShowMessage(owner_, look_, "Error opening port: " + reason);
    return false;
}

void CaptureSequence::ShowCaptureDialog() {
    CaptureDialog dialog(owner_, look_);
    dialog_ = &dialog;
    dialog.exec();
    dialog_ = nullptr;
}

void CaptureSequence::SetCounterText(const std::string& text) {
    if (dialog_ != nullptr) dialog_->SetCounterText(QString::fromLatin1(text));
}

void CaptureSequence::SetStatusText(const std::string& text) {
    if (hooks_.setStatusText) hooks_.setStatusText(text);
}

void CaptureSequence::EndCapture() {
    if (dialog_ != nullptr) dialog_->EndCapture();
}

}  // namespace orvane
