// Running orvane-cli and orvane-sim as child processes, every wait bounded.
#include "child_process.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace orvane::test {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& input) {
    WriteFileBytes(files_.Path("in"), input);
    const std::string paths[] = {files_.Path("in"), files_.Path("out"), files_.Path("err")};
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        for (int fd = 0; fd < 3; ++fd) {
            const int flags = fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
            ::dup2(::open(paths[fd].c_str(), flags | O_CLOEXEC, 0600), fd);
        }
        ::execv(args[0], args.data());
        ::_exit(127);
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string ChildProcess::ReadLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        const std::string out = ReadFileBytes(files_.Path("out"));
        if (const auto end = out.find('\n', outRead_); end != std::string::npos) {
            std::string line = out.substr(outRead_, end + 1 - outRead_);
            outRead_ = end + 1;
            return line;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (MillisecondsLeft(deadline) > 0);
    return {};
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
}

ProcessResult ChildProcess::Finish(int timeoutMs) {
    ProcessResult result;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) != pid_) {
        if (!result.timedOut && MillisecondsLeft(deadline) == 0) {
            result.timedOut = true;
            ::kill(pid_, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    pid_ = -1;
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.out = ReadFileBytes(files_.Path("out")).substr(outRead_);
    result.err = ReadFileBytes(files_.Path("err"));
    return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input,
                         int timeoutMs) {
    ChildProcess child(argv, input);
    return child.Finish(timeoutMs);
}

Simulator::Simulator(std::vector<std::string> options)
    : process_(
          [&] {
              options.insert(options.begin(), {ORVANE_SIM_PATH, "--port", "0"});
              return options;
          }(),
          {}) {
    const std::string line = process_.ReadLine(10000);
    const std::string prefix = "listening on 127.0.0.1:";
    if (line.rfind(prefix, 0) != 0) throw std::runtime_error("simulator did not start: " + line);
    port_ = std::atoi(line.c_str() + prefix.size());
}

Simulator::~Simulator() {
    if (!stopped_) Stop();
}

ProcessResult Simulator::Stop() {
    stopped_ = true;
    process_.Signal(SIGTERM);
    return process_.Finish(10000);
}

std::string ReadWholeStream(int port, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = LoopbackAddress(port);
    std::string bytes;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            pollfd entry{fd, POLLIN, 0};
            const int left = MillisecondsLeft(deadline);
            if (left == 0 || ::poll(&entry, 1, left) <= 0) break;
            char buffer[65536];
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return bytes;
}

int UnusedLoopbackPort() {
    // Bound but never listening: a connection to it is refused, and nothing else can take the
    // port while the socket stays open.
    static const int fd = [] {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = LoopbackAddress(0);
        ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        return s;
    }();
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line); lines.push_back(line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
    }
    return lines;
}

}  // namespace orvane::test
