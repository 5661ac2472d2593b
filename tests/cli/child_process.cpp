// Running orvane-cli and orvane-sim as child processes, every wait bounded.
#include "child_process.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace orvane::test {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

void CloseFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Appends what is readable; false at end of file.
bool Drain(int fd, std::string& into) {
    char buffer[65536];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        into.append(buffer, static_cast<std::size_t>(got));
        return true;
    }
    return got < 0 && (errno == EAGAIN || errno == EINTR);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& input)
    : input_(input) {
    // A child that exits without reading all its input must not take the test with it.
    ::signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
        ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    inFd_ = in[1];
    outFd_ = out[0];
    errFd_ = err[0];
    for (int fd : {inFd_, outFd_, errFd_}) ::fcntl(fd, F_SETFL, O_NONBLOCK);
    if (input_.empty()) CloseFd(inFd_);
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    CloseFd(inFd_);
    CloseFd(outFd_);
    CloseFd(errFd_);
}

std::string ChildProcess::ReadLine(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (const auto end = out_.find('\n'); end != std::string::npos) {
            std::string line = out_.substr(0, end + 1);
            out_.erase(0, end + 1);
            return line;
        }
        if (outFd_ < 0) return {};
        pollfd entry{outFd_, POLLIN, 0};
        const int left = MillisecondsLeft(deadline);
        if (left == 0 || ::poll(&entry, 1, left) <= 0) return {};
        if (!Drain(outFd_, out_)) CloseFd(outFd_);
    }
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
}

ProcessResult ChildProcess::Finish(int timeoutMs) {
    ProcessResult result;
    result.out = std::move(out_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (inFd_ >= 0 || outFd_ >= 0 || errFd_ >= 0) {
        std::vector<pollfd> entries;
        if (inFd_ >= 0) entries.push_back({inFd_, POLLOUT, 0});
        if (outFd_ >= 0) entries.push_back({outFd_, POLLIN, 0});
        if (errFd_ >= 0) entries.push_back({errFd_, POLLIN, 0});
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            result.timedOut = true;
            break;
        }
        if (::poll(entries.data(), entries.size(), left) < 0 && errno != EINTR) break;
        for (const pollfd& entry : entries) {
            if (entry.revents == 0) continue;
            if (entry.fd == inFd_) {
                const ssize_t sent =
                    ::write(inFd_, input_.data() + inputSent_, input_.size() - inputSent_);
                if (sent > 0) inputSent_ += static_cast<std::size_t>(sent);
                if (sent < 0 && errno != EAGAIN) CloseFd(inFd_);
                if (inputSent_ == input_.size()) CloseFd(inFd_);
            } else if (entry.fd == outFd_) {
                if (!Drain(outFd_, result.out)) CloseFd(outFd_);
            } else if (entry.fd == errFd_) {
                if (!Drain(errFd_, result.err)) CloseFd(errFd_);
            }
        }
    }
    if (result.timedOut) ::kill(pid_, SIGKILL);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (MillisecondsLeft(deadline) == 0 && !result.timedOut) {
            result.timedOut = true;
            ::kill(pid_, SIGKILL);
        }
        ::usleep(2000);
    }
    pid_ = -1;
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
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
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
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
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        return s;
    }();
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-cli-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string FirstDifference(const std::vector<std::string>& expected,
                            const std::vector<std::string>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            std::ostringstream text;
            text << "line " << i + 1 << " differs:\n  expected: " << expected[i]
                 << "\n  actual:   " << actual[i];
            return text.str();
        }
    }
    if (expected.size() != actual.size()) {
        std::ostringstream text;
        text << "line counts differ: expected " << expected.size() << ", actual " << actual.size();
        if (common < expected.size()) text << "; first missing: " << expected[common];
        if (common < actual.size()) text << "; first extra: " << actual[common];
        return text.str();
    }
    return {};
}

}  // namespace orvane::test
