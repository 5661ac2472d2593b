// A continuous capture while it runs: the capture unit's reads go, with their time of receipt,
// to the capture in memory and to the capture file, while the window stays usable.
#include "app/live_capture.hpp"

#include <QDateTime>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "capture/continuous_capture.hpp"

namespace orvane {
namespace {

// The rate is taken over this much of the recent capture.
constexpr std::int64_t kRateWindowMs = 2000;
// A quiet line still gets the file's blocks to the disk this often.
constexpr std::int64_t kIdleFlushMs = 1000;

std::int64_t WallClockUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string CaptureFileName(std::int64_t startTimeUs) {
    const QDateTime start = QDateTime::fromMSecsSinceEpoch(startTimeUs / 1000);
    return "capture-" + start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")).toStdString() +
           ".pcapng";
}

LiveCapture::LiveCapture(ContinuousCapture& capture, QObject* parent)
    : QObject(parent), capture_(capture) {
    connect(&connection_, &CaptureConnection::DataReceived, this, &LiveCapture::OnData);
    connect(&connection_, &CaptureConnection::ClosedByUnit, this, [this] {
        // A unit closing while the last reads are taken after Stop has not ended the capture.
        if (!readingRemaining_) Stop(LiveCaptureEnd::UnitClosed);
    });
    tick_.setInterval(kTickMs);
    connect(&tick_, &QTimer::timeout, this, &LiveCapture::OnTick);
}

LiveCapture::~LiveCapture() {
    // Closes the file without a signal to a window that may be going away.
    blockSignals(true);
    Stop();
}

std::string LiveCapture::Connect(const std::string& address, int port, int timeoutMs) {
    return connection_.Open(address, port, timeoutMs);
}

bool LiveCapture::OpenFile(const std::string& folder, const CaptureFileInfo& info,
                           std::string& error) {
    namespace fs = std::filesystem;
    const fs::path folderPath(folder);
    std::error_code ec;
    if (fs::exists(folderPath, ec) && !fs::is_directory(folderPath, ec)) {
        error = folder + ": a file stands where the capture folder should be";
        return false;
    }
    fs::create_directories(folderPath, ec);
    if (ec) {
        error = folder + ": " + ec.message();
        return false;
    }
    // Two captures started in the same second get "-2", "-3"... rather than one overwriting.
    const std::string name = CaptureFileName(info.startTimeUs);
    fs::path path = folderPath / name;
    for (int n = 2; fs::exists(path, ec); ++n) {
        path = folderPath / (name.substr(0, name.size() - 7) + "-" + std::to_string(n) + ".pcapng");
    }
    filePath_ = path.string();
    return writer_.Open(filePath_, info, error);
}

void LiveCapture::Start() {
    started_ = true;
    clock_.start();
    tick_.start();
}

void LiveCapture::OnData(const QByteArray& data) {
    if (!running() || !started_) return;
    const std::int64_t receiptUs = WallClockUs();
    const std::string_view bytes(data.constData(), static_cast<std::size_t>(data.size()));
    // The read is taken even when the file fails on it, so the list holds what the file holds
    // and this read.
    capture_.OnRead(bytes, receiptUs);
    if (!writer_.AppendRead(receiptUs, bytes, fileError_)) Stop(LiveCaptureEnd::FileFailed);
}

void LiveCapture::OnTick() {
    const std::int64_t now = elapsedMs();
    samples_.emplace_back(now, capture_.bytes().size());
    while (samples_.size() > 2 && now - samples_[1].first >= kRateWindowMs) samples_.pop_front();
    if (now - lastFlushMs_ >= kIdleFlushMs) {
        lastFlushMs_ = now;
        if (!writer_.Flush(fileError_)) {
            Stop(LiveCaptureEnd::FileFailed);
            return;
        }
    }
    emit Tick();
}

void LiveCapture::FlushFile() {
    if (running() && !writer_.Flush(fileError_)) Stop(LiveCaptureEnd::FileFailed);
}

void LiveCapture::Stop(LiveCaptureEnd why) {
    if (!running()) return;
    if (why == LiveCaptureEnd::Stopped && started_) {
        // Every byte that reached this machine before Stop belongs to the capture.
        readingRemaining_ = true;
        connection_.ReadRemaining();
        readingRemaining_ = false;
        if (!running()) return;  // the file failed on one of those reads
    }
    end_ = why;
    tick_.stop();
    connection_.Close();
    if (started_) stoppedAtMs_ = clock_.elapsed();
    capture_.Finish();
    std::string closeError;
    if (!writer_.Close(closeError) && fileError_.empty()) {
        fileError_ = closeError;
        end_ = LiveCaptureEnd::FileFailed;
    }
    emit Ended();
}

std::int64_t LiveCapture::elapsedMs() const {
    if (stoppedAtMs_ >= 0) return stoppedAtMs_;
    return started_ ? clock_.elapsed() : 0;
}

double LiveCapture::bytesPerSecond() const {
    const auto bytes = static_cast<double>(capture_.bytes().size());
    if (!running() || samples_.size() < 2) {
        const std::int64_t ms = elapsedMs();
        return ms > 0 ? bytes * 1000.0 / static_cast<double>(ms) : 0.0;
    }
    const auto& [firstMs, firstBytes] = samples_.front();
    const auto& [lastMs, lastBytes] = samples_.back();
    if (lastMs <= firstMs) return 0.0;
    return static_cast<double>(lastBytes - firstBytes) * 1000.0 /
           static_cast<double>(lastMs - firstMs);
}

}  // namespace orvane
