// orvane-sim: a capture-unit simulator that serves realistic serial-line captures on loopback.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/capture_writer.hpp"
#include "sim/sim_options.hpp"
#include "sim/sim_server.hpp"

namespace {

extern "C" void OnStopSignal(int) { orvane::sim::stopRequested = 1; }

// Reads the whole file; false with errno set on failure.
bool ReadFile(const std::string& path, std::string& content) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return got == 0;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

int main(int argc, char** argv) {
    orvane::sim::SimOptions options;
    const std::string error = orvane::sim::ParseSimOptions(argc, argv, options);
    if (options.help) {
        std::fputs(orvane::sim::SimUsage().c_str(), stdout);
        return 0;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "orvane-sim: %s (see --help)\n", error.c_str());
        return 2;
    }
    if (!options.writeCapture.empty()) return orvane::sim::WriteCapture(options);
    std::string fileContent;
    if (!options.file.empty() && !ReadFile(options.file, fileContent)) {
        std::fprintf(stderr, "orvane-sim: cannot read %s: %s\n", options.file.c_str(),
                     std::strerror(errno));
        return 2;
    }
    // No SA_RESTART: a blocked send or poll returns so the server can close its sockets.
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return orvane::sim::RunServer(options, fileContent);
}
