// The TCP connection to the capture unit, with plain POSIX sockets.
#include "cli/capture_connection.hpp"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace orvane::cli {
namespace {

// The system's reason for a failed socket or connection.
int Fail(int fd, int error, std::string& reason) {
    if (fd >= 0) ::close(fd);
    reason = std::strerror(error != 0 ? error : EIO);
    return -1;
}

}  // namespace

int ConnectToCaptureUnit(const std::string& address, int port, int timeoutMs, std::string& reason) {
    addrinfo hints{};
    hints.ai_family = AF_INET;  // the capture unit has an IPv4 address
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int status = ::getaddrinfo(address.c_str(), service.c_str(), &hints, &found);
        status != 0 || found == nullptr) {
        reason = status != 0 ? ::gai_strerror(status) : "no IPv4 address";
        return -1;
    }
    sockaddr_storage target{};
    const socklen_t targetLength = found->ai_addrlen;
    std::memcpy(&target, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);

    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return Fail(fd, errno, reason);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&target), targetLength) == 0) return fd;
    if (errno != EINPROGRESS) return Fail(fd, errno, reason);

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return Fail(fd, ETIMEDOUT, reason);
        pollfd entry{fd, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return Fail(fd, errno, reason);
        if (ready == 0) continue;
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
            return Fail(fd, errno, reason);
        }
        // A unit that sends at once and resets the connection may do so before this check: the
        // connection was made, and what it sent is still there to be read.
        if (error == 0 || error == ECONNRESET || error == EPIPE) return fd;
        return Fail(fd, error, reason);
    }
}

}  // namespace orvane::cli
