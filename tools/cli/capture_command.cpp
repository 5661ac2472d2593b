// orvane-cli capture: receive from a capture unit, then assembly, fill and log.
#include "cli/capture_command.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_file.hpp"
#include "capture/continuous_capture.hpp"
#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "cli/capture_connection.hpp"
#include "cli/capture_output.hpp"
#include "cli/receive_sink.hpp"

namespace orvane::cli {
namespace {

constexpr const char* kDefaultAddress = "127.0.0.1";
constexpr int kDefaultPort = 23;
constexpr const char* kApplicationName = "Orvane 1.07";

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) { interrupted = 1; }

// Writes every byte; false with errno set on failure.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Ctrl-C ends the capture, not the program: the data received so far still makes a log. The
// signal stays blocked except inside ppoll, so it cannot slip in between a check and a wait.
class InterruptScope {
  public:
    InterruptScope() {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousAction_);
        sigset_t block;
        sigemptyset(&block);
        sigaddset(&block, SIGINT);
        sigprocmask(SIG_BLOCK, &block, &waitMask_);
        previousMask_ = waitMask_;
        sigdelset(&waitMask_, SIGINT);
    }
    ~InterruptScope() {
        sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
        sigaction(SIGINT, &previousAction_, nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    const sigset_t* waitMask() const { return &waitMask_; }

  private:
    struct sigaction previousAction_ {};
    sigset_t previousMask_{};
    sigset_t waitMask_{};
};

// Why a capture ended, for the line on standard error.
std::string EndReason(bool storeFull, bool timeUp, bool closed, int readError, bool fileFailed,
                      const std::string& fileError, std::uint64_t messages) {
    if (fileFailed) return "the capture file could not be written: " + fileError;
    if (storeFull) {
        return "the store is full after " + std::to_string(messages) +
               " messages (a continuous capture, --continuous, has no such limit)";
    }
    if (interrupted) return "Ctrl-C";
    if (timeUp) return "time up";
    if (readError != 0) return std::string("the connection failed: ") + std::strerror(readError);
    if (closed) return "the capture unit closed the connection";
    return "the connection failed";
}

std::int64_t WallClockUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

int RunCapture(const CliOptions& options) {
    const std::string address = options.address.empty() ? kDefaultAddress : options.address;
    const int port = options.port == 0 ? kDefaultPort : options.port;
    std::string reason;
    const int fd = ConnectToCaptureUnit(address, port, kConnectTimeoutMs, reason);
    if (fd < 0) {
        std::fprintf(stderr, "orvane-cli: cannot connect to the capture unit at %s:%d: %s\n",
                     address.c_str(), port, reason.c_str());
        return 1;
    }

    int rawFd = -1;
    bool rawFailed = false;
    if (!options.saveRawPath.empty()) {
        rawFd = ::open(options.saveRawPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (rawFd < 0) {
            std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n", options.saveRawPath.c_str(),
                         std::strerror(errno));
            ::close(fd);
            return 1;
        }
    }

    CaptureOrigin origin;
    origin.info.application = kApplicationName;
    origin.info.unitAddress = address;
    origin.info.unitPort = port;
    origin.info.protocolMode = options.protocolMode;
    origin.info.continuous = options.continuous;
    origin.info.startTimeUs = WallClockUs();
    CaptureFileWriter captureFile;
    std::string fileError;
    bool fileFailed = false;
    const bool writesFile = !options.captureFilePath.empty();
    if (writesFile && !captureFile.Open(options.captureFilePath, origin.info, fileError)) {
        // The reason names the file already.
        std::fprintf(stderr, "orvane-cli: cannot write %s\n", fileError.c_str());
        ::close(fd);
        if (rawFd >= 0) ::close(rawFd);
        return 1;
    }

    CaptureModel model;
    const Trace trace;
    HeadlessReceiveEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    ContinuousCapture continuous(options.protocolMode, trace);
    std::unique_ptr<ContinuousOutput> continuousOutput;
    if (options.continuous) {
        continuousOutput = std::make_unique<ContinuousOutput>(continuous, options, origin);
    }
    bool timeUp = false;
    bool closed = false;
    int readError = 0;
    {
        InterruptScope interruptScope;
        using Clock = std::chrono::steady_clock;
        const bool timed = options.seconds >= 0;
        const auto deadline =
            Clock::now() + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(timed ? options.seconds : 0));
        // A quiet line still gets the capture file's blocks to the disk within a second.
        const auto flushWait = std::chrono::seconds(1);
        std::vector<char> buffer(kReadLimit);
        auto nextPump = Clock::now();
        while (!interrupted && !events.ended && !stream.storeFull() && !fileFailed) {
            timespec timeout{};
            const timespec* wait = nullptr;
            auto left = Clock::duration::max();
            if (timed) {
                left = deadline - Clock::now();
                if (left <= Clock::duration::zero()) {
                    timeUp = true;
                    break;
                }
            }
            if (writesFile) left = std::min<Clock::duration>(left, flushWait);
            if (left != Clock::duration::max()) {
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
                timeout.tv_sec = static_cast<std::time_t>(ns / 1000000000);
                timeout.tv_nsec = static_cast<long>(ns % 1000000000);
                wait = &timeout;
            }
            pollfd entry{fd, POLLIN, 0};
            const int ready = ::ppoll(&entry, 1, wait, interruptScope.waitMask());
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) {
                readError = errno;
                break;
            }
            if (ready == 0) {
                if (writesFile && !captureFile.Flush(fileError)) fileFailed = true;
                continue;
            }
            // One read of at most kReadLimit bytes, as the receive stream expects.
            const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
            if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
            if (got < 0) readError = errno;
            if (got == 0) closed = true;
            if (got <= 0) break;  // the unit closed or reset the connection
            const std::string_view data(buffer.data(), static_cast<std::size_t>(got));
            const std::int64_t receiptUs = WallClockUs();
            if (rawFd >= 0 && !rawFailed && !WriteAll(rawFd, data.data(), data.size())) {
                rawFailed = true;
                std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n",
                             options.saveRawPath.c_str(), std::strerror(errno));
            }
            if (writesFile && !captureFile.AppendRead(receiptUs, data, fileError)) {
                // What was written before stays readable; the capture stops here, with this
                // read still taken, so the log holds what the file holds and this read.
                fileFailed = true;
            }
            if (options.continuous) {
                continuous.OnRead(data, receiptUs);
                // Rows are written as they complete, and what they used is freed.
                if (Clock::now() >= nextPump) {
                    continuousOutput->Pump();
                    nextPump = Clock::now() + std::chrono::milliseconds(200);
                }
            } else {
                stream.OnReceive(data);
                // The same reads grouped as a continuous capture give the rows their analysis.
                continuous.OnRead(data, receiptUs);
            }
        }
    }
    ::close(fd);
    if (rawFd >= 0 && ::close(rawFd) != 0 && !rawFailed) {
        rawFailed = true;
        std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n", options.saveRawPath.c_str(),
                     std::strerror(errno));
    }
    if (writesFile && !captureFile.Close(fileError) && !fileFailed) fileFailed = true;

    continuous.Finish();
    const std::uint64_t messages = options.continuous
                                       ? continuous.counters().messages
                                       : static_cast<std::uint64_t>(model.blockCount);
    std::string line =
        "orvane-cli: capture ended: " +
        EndReason(stream.storeFull(), timeUp, closed, readError, fileFailed, fileError, messages) +
        "; " + std::to_string(messages) + " messages";
    if (options.continuous && continuous.counters().lostMessages > 0) {
        line += ", " + std::to_string(continuous.counters().lostMessages) + " lost in " +
                std::to_string(continuous.counters().sequenceGaps) + " sequence gaps";
    }
    std::fprintf(stderr, "%s\n", line.c_str());

    const int status = options.continuous ? continuousOutput->Finish()
                                          : WriteBoundedOutput(model, options, origin, continuous);
    return status != 0 ? status : ((rawFailed || fileFailed) ? 1 : 0);
}

}  // namespace orvane::cli
