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
#include <vector>

#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "cli/capture_connection.hpp"
#include "cli/capture_log.hpp"
#include "cli/receive_sink.hpp"

namespace orvane::cli {
namespace {

constexpr const char* kDefaultAddress = "127.0.0.1";
constexpr int kDefaultPort = 23;

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

}  // namespace

int RunCapture(const CliOptions& options) {
    const std::string address = options.address.empty() ? kDefaultAddress : options.address;
    const int port = options.port == 0 ? kDefaultPort : options.port;
    std::string reason;
    const int fd = ConnectToCaptureUnit(address, port, kConnectTimeoutMs, reason);
    if (fd < 0) {
        std::fprintf(stderr, "Error opening port: %s\n", reason.c_str());
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

    CaptureModel model;
    const Trace trace;
    HeadlessReceiveEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    {
        InterruptScope interruptScope;
        using Clock = std::chrono::steady_clock;
        const bool timed = options.seconds >= 0;
        const auto deadline =
            Clock::now() + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(timed ? options.seconds : 0));
        std::vector<char> buffer(kReadLimit);
        while (!interrupted && !events.ended && !stream.storeFull()) {
            timespec timeout{};
            const timespec* wait = nullptr;
            if (timed) {
                const auto left = deadline - Clock::now();
                if (left <= Clock::duration::zero()) break;
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
                timeout.tv_sec = static_cast<std::time_t>(ns / 1000000000);
                timeout.tv_nsec = static_cast<long>(ns % 1000000000);
                wait = &timeout;
            }
            pollfd entry{fd, POLLIN, 0};
            const int ready = ::ppoll(&entry, 1, wait, interruptScope.waitMask());
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0) break;
            if (ready == 0) continue;
            // One read of at most kReadLimit bytes, as the receive stream expects.
            const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
            if (got < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
            if (got <= 0) break;  // the unit closed or reset the connection
            if (rawFd >= 0 && !rawFailed &&
                !WriteAll(rawFd, buffer.data(), static_cast<std::size_t>(got))) {
                rawFailed = true;
                std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n",
                             options.saveRawPath.c_str(), std::strerror(errno));
            }
            stream.OnReceive(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        }
    }
    ::close(fd);
    if (rawFd >= 0 && ::close(rawFd) != 0 && !rawFailed) {
        rawFailed = true;
        std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n", options.saveRawPath.c_str(),
                     std::strerror(errno));
    }
    const int status = WriteCaptureLog(model, options);
    return status != 0 ? status : (rawFailed ? 1 : 0);
}

}  // namespace orvane::cli
