// A continuous capture while it runs: the capture unit's reads go, with their time of receipt,
// to the capture in memory and to the capture file, while the window stays usable.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "capture/capture_file.hpp"
#include "platform/capture_connection.hpp"

namespace orvane {

class ContinuousCapture;

// How a live capture ended.
enum class LiveCaptureEnd {
    Running,     // it has not
    Stopped,     // the user pressed Stop (or the window closed)
    UnitClosed,  // the capture unit closed or reset the connection
    FileFailed,  // the capture file could not be written
};

// The file name of a capture that started at `startTimeUs` (local time):
// "capture-2026-12-06_23-40-05.pcapng".
std::string CaptureFileName(std::int64_t startTimeUs);

// Runs on the GUI thread: socket reads arrive as events, and a timer ticks about ten times a
// second for the window to take in the rows completed meanwhile.
class LiveCapture : public QObject {
    Q_OBJECT
  public:
    static constexpr int kTickMs = 100;

    explicit LiveCapture(ContinuousCapture& capture, QObject* parent = nullptr);
    ~LiveCapture() override;

    // Connects to the capture unit, the window serviced meanwhile; the empty text, or the reason
    // it failed.
    std::string Connect(const std::string& address, int port, int timeoutMs);

    // Creates `folder` when it is missing and a new capture file in it, named after the start
    // time. False with the reason (the folder is a file, cannot be made, is not writable...).
    bool OpenFile(const std::string& folder, const CaptureFileInfo& info, std::string& error);

    // Takes reads from here on and starts the tick.
    void Start();

    // Ends the capture: after Stop by the user the reads still pending are taken, then the
    // connection closed, the last message and packets completed, the file closed. Ended follows
    // once, whatever the cause.
    void Stop(LiveCaptureEnd why = LiveCaptureEnd::Stopped);

    bool running() const { return end_ == LiveCaptureEnd::Running; }
    LiveCaptureEnd end() const { return end_; }
    // Why the file failed, "path: reason".
    const std::string& fileError() const { return fileError_; }
    const std::string& filePath() const { return filePath_; }
    std::uint64_t fileBytes() const { return writer_.bytesWritten(); }
    std::int64_t elapsedMs() const;
    // Serial bytes a second: over the last seconds while running, over the whole capture after.
    double bytesPerSecond() const;

    // Hands what is buffered to the operating system, so the file can be copied whole.
    void FlushFile();

  signals:
    void Tick();
    void Ended();

  private:
    void OnData(const QByteArray& data);
    void OnTick();

    ContinuousCapture& capture_;
    CaptureConnection connection_;
    CaptureFileWriter writer_;
    QTimer tick_;
    QElapsedTimer clock_;
    std::int64_t stoppedAtMs_ = -1;
    std::int64_t lastFlushMs_ = 0;
    std::string filePath_;
    std::string fileError_;
    LiveCaptureEnd end_ = LiveCaptureEnd::Running;
    bool started_ = false;
    bool readingRemaining_ = false;  // Stop is taking the reads still pending
    // (elapsed ms, serial bytes) at recent ticks, for the rate.
    std::deque<std::pair<std::int64_t, std::uint64_t>> samples_;
};

}  // namespace orvane
