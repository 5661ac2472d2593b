// One capture from the Capture button to the refreshed list: connect, the "Capturing Data"
// dialog, drain, close, assembly, refresh.
#include "app/capture_sequence.hpp"

#include <QApplication>
#include <QCursor>
#include <chrono>
#include <string_view>

#include "app/application_name.hpp"
#include "capture/packet_assembly.hpp"
#include "ui/capture_dialog.hpp"
#include "ui/message_dialog.hpp"

namespace orvane {

namespace {

// The hourglass while the user waits: the connect and the assembly.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

std::int64_t WallClockUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

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
        const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
        if (recording_) reads_.push_back(CaptureRead{WallClockUs(), std::string(bytes)});
        stream_.OnReceive(bytes);
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
        // The reads are kept for Save Capture As, with where and when they were taken.
        reads_.clear();
        info_ = CaptureFileInfo{std::string(kApplicationName),
                                settings_.captureUnitAddress,
                                settings_.captureUnitPort,
                                settings_.protocolMode,
                                false,
                                WallClockUs()};
        recording_ = true;
        ShowCaptureDialog();
        // Whatever reached this machine before Stop is still stored (up to the store's limit).
        connection_.ReadRemaining();
        connection_.Close();
        recording_ = false;
        {
            BusyCursor busy;
            AssembleCapture(model_, settings_.protocolMode, trace_);
        }
        if (hooks_.refreshList) hooks_.refreshList();
        // The one limit a user can run into without knowing why: say so, and what has none.
        if (stream_.storeFull() && hooks_.setStatusText) hooks_.setStatusText(kStoreFullStatus);
    }
    running_ = false;
}

void CaptureSequence::LoadReads(std::vector<CaptureRead> reads, const CaptureFileInfo& info,
                                ProtocolMode protocolMode) {
    stream_.StartCapture();
    for (const CaptureRead& read : reads) {
        if (stream_.storeFull()) break;
        stream_.OnReceive(read.bytes);
    }
    {
        BusyCursor busy;
        AssembleCapture(model_, protocolMode, trace_);
    }
    reads_ = std::move(reads);
    info_ = info;
    if (hooks_.refreshList) hooks_.refreshList();
    if (stream_.storeFull() && hooks_.setStatusText) hooks_.setStatusText(kStoreFullStatus);
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
