// Serving capture-unit streams over TCP with plain POSIX sockets.
#include "sim/sim_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace orvane::sim {

volatile std::sig_atomic_t stopRequested = 0;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollSliceMs = 100;  // how long a wait may go without looking at stopRequested

// Closes the descriptor when it goes out of scope.
class Socket {
  public:
    explicit Socket(int fd) : fd_(fd) {}
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket() {
        if (fd_ >= 0) ::close(fd_);
    }
    int fd() const { return fd_; }

  private:
    int fd_;
};

enum class Wait { kDue, kPeerGone, kStop };

// Waits until `due` while watching the connection: the program never sends anything, so a
// readable socket means the peer closed it (or sent something, which is discarded).
Wait WaitUntil(int fd, Clock::time_point due) {
    for (;;) {
        if (stopRequested) return Wait::kStop;
        const auto now = Clock::now();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count();
        pollfd entry{fd, POLLIN, 0};
        const int timeoutMs = static_cast<int>(std::clamp<long long>(left, 0, kPollSliceMs));
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready > 0) {
            char discard[512];
            const ssize_t got = ::recv(fd, discard, sizeof discard, MSG_DONTWAIT);
            if (got == 0 ||
                (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                return Wait::kPeerGone;
            }
            continue;
        }
        if (ready < 0 && errno != EINTR) return Wait::kPeerGone;
        if (ready == 0 && left <= 0) return Wait::kDue;
    }
}

bool SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (stopRequested) return false;
        const ssize_t sent = ::send(fd, data, size, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

// Writes one group of messages, whole or in pieces of `split` bytes.
bool WriteGroup(int fd, const std::string& bytes, int split) {
    if (split <= 0) return SendAll(fd, bytes.data(), bytes.size());
    for (std::size_t offset = 0; offset < bytes.size(); offset += static_cast<std::size_t>(split)) {
        const std::size_t piece =
            std::min<std::size_t>(static_cast<std::size_t>(split), bytes.size() - offset);
        if (!SendAll(fd, bytes.data() + offset, piece)) return false;
    }
    return true;
}

std::unique_ptr<MessageSource> MakeSource(const SimOptions& options,
                                          const std::string& fileContent) {
    if (!options.file.empty()) return MakeFileSource(fileContent);
    return MakeScenarioSource(options.scenario, options.source);
}

struct ConnectionEnd {
    std::int64_t sent = 0;
    const char* how = "";
};

ConnectionEnd ServeConnection(int fd, const SimOptions& options, const std::string& fileContent) {
    const int noDelay = 1;  // so split writes leave as separate segments
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);

    std::unique_ptr<MessageSource> source = MakeSource(options, fileContent);
    std::int64_t limit = -1;
    for (std::int64_t bound : {options.messages, options.closeAfter, options.idleAfter}) {
        if (bound >= 0) limit = limit < 0 ? bound : std::min(limit, bound);
    }
    const auto start = Clock::now();
    ConnectionEnd end;
    SimMessage message;
    bool sourceEnded = false;
    while (limit < 0 || end.sent < limit) {
        std::string group;
        std::int64_t dueUs = 0;
        int inGroup = 0;
        while (inGroup < options.coalesce && (limit < 0 || end.sent + inGroup < limit)) {
            if (!source->Next(message)) {
                sourceEnded = true;
                break;
            }
            group += message.bytes;
            dueUs = message.dueUs;
            ++inGroup;
        }
        if (inGroup == 0) break;
        if (options.pace == Pace::kRate) {
            dueUs = static_cast<std::int64_t>(static_cast<double>(end.sent + inGroup - 1) * 1e6 /
                                              options.ratePerSecond);
        }
        if (options.pace != Pace::kFast) {
            const Wait wait = WaitUntil(fd, start + std::chrono::microseconds(dueUs));
            if (wait == Wait::kStop) return {end.sent, "stopped"};
            if (wait == Wait::kPeerGone) return {end.sent, "closed by the peer"};
        } else if (stopRequested) {
            return {end.sent, "stopped"};
        }
        if (!WriteGroup(fd, group, options.split)) {
            return {end.sent, stopRequested ? "stopped" : "closed by the peer"};
        }
        end.sent += inGroup;
        if (sourceEnded) break;
    }
    if (!sourceEnded && options.idleAfter >= 0 && end.sent >= options.idleAfter &&
        (options.closeAfter < 0 || options.idleAfter < options.closeAfter) &&
        (options.messages < 0 || options.idleAfter < options.messages)) {
        const Wait wait = WaitUntil(fd, Clock::time_point::max());
        return {end.sent, wait == Wait::kStop ? "stopped while idle" : "closed by the peer"};
    }
    const bool closing = options.closeAfter >= 0 && end.sent >= options.closeAfter;
    if (closing && options.partial > 0 && source->Next(message)) {
        const std::size_t piece =
            std::min(message.bytes.size(), static_cast<std::size_t>(options.partial));
        SendAll(fd, message.bytes.data(), piece);
    }
    if (closing && options.reset) {
        const linger abortive{1, 0};  // close with RST
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        return {end.sent, "reset"};
    }
    return {end.sent, "closed"};
}

}  // namespace

int RunServer(const SimOptions& options, const std::string& fileContent) {
    Socket listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (listener.fd() < 0) {
        std::fprintf(stderr, "orvane-sim: socket: %s\n", std::strerror(errno));
        return 1;
    }
    const int reuse = 1;
    ::setsockopt(listener.fd(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(options.port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.fd(), 8) != 0) {
        std::fprintf(stderr, "orvane-sim: cannot listen on 127.0.0.1:%d: %s\n", options.port,
                     std::strerror(errno));
        return 1;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    std::printf("listening on 127.0.0.1:%u\n", static_cast<unsigned>(ntohs(address.sin_port)));
    std::fflush(stdout);

    std::int64_t served = 0;
    while (!stopRequested && (options.connections < 0 || served < options.connections)) {
        pollfd entry{listener.fd(), POLLIN, 0};
        if (::poll(&entry, 1, kPollSliceMs) <= 0) continue;
        Socket client(::accept4(listener.fd(), nullptr, nullptr, SOCK_CLOEXEC));
        if (client.fd() < 0) continue;
        ++served;
        const ConnectionEnd end = ServeConnection(client.fd(), options, fileContent);
        if (options.verbose) {
            std::fprintf(stderr, "orvane-sim: connection %lld: %lld messages, %s\n",
                         static_cast<long long>(served), static_cast<long long>(end.sent), end.how);
        }
    }
    return 0;
}

}  // namespace orvane::sim
