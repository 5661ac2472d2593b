// orvane-cli replay: raw capture files through the receive stream, assembly, fill and log.
#include "cli/replay_command.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "capture/receive_stream.hpp"
#include "capture/trace.hpp"
#include "cli/capture_log.hpp"
#include "cli/receive_sink.hpp"

namespace orvane::cli {
namespace {

// Fills `buffer` from the file as far as it goes; the count read, or -1 with errno set.
ssize_t ReadFull(int fd, char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, buffer + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

void CloseAll(const std::vector<int>& fds) {
    for (int fd : fds) ::close(fd);
}

int ReportUnreadable(const std::string& path, std::vector<int>& fds) {
    std::fprintf(stderr, "orvane-cli: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    CloseAll(fds);
    return 2;
}

}  // namespace

int RunReplay(const CliOptions& options) {
    // Open every file first, so that a missing one is reported before anything is written.
    std::vector<int> fds;
    for (const std::string& path : options.files) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return ReportUnreadable(path, fds);
        fds.push_back(fd);
    }

    CaptureModel model;
    const Trace trace;
    HeadlessReceiveEvents events;
    ReceiveStream stream(model, trace, events);
    stream.StartCapture();
    // Each file is cut into reads of kReadLimit bytes, as the largest socket read would be; a
    // read never spans two files, so a file's last message is complete before the next begins.
    std::vector<char> buffer(kReadLimit);
    for (std::size_t i = 0; i < fds.size(); ++i) {
        for (;;) {
            const ssize_t got = ReadFull(fds[i], buffer.data(), buffer.size());
            if (got < 0) return ReportUnreadable(options.files[i], fds);
            if (got == 0) break;
            if (!stream.storeFull()) {
                stream.OnReceive(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
            }
            if (static_cast<std::size_t>(got) < buffer.size()) break;
        }
    }
    CloseAll(fds);
    return WriteCaptureLog(model, options);
}

}  // namespace orvane::cli
