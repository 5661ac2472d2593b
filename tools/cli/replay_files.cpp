// The files replay reads: capture files (pcapng, reads with their times of receipt) and raw
// capture-unit stream files, told apart by their content.
#include "cli/replay_files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "capture/capture_model.hpp"
#include "capture/continuous_capture.hpp"

namespace orvane::cli {
namespace {

constexpr std::size_t kKindProbeBytes = 4096;

int ReportUnreadable(const std::string& path) {
    std::fprintf(stderr, "orvane-cli: cannot read %s: %s\n", path.c_str(),
                 std::strerror(errno != 0 ? errno : EIO));
    return 2;
}

}  // namespace

int ReplayFiles::Open(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        errno = 0;
        std::ifstream in(path, std::ios::binary);
        if (!in) return ReportUnreadable(path);
        std::string probe(kKindProbeBytes, '\0');
        in.read(probe.data(), static_cast<std::streamsize>(probe.size()));
        if (in.bad()) return ReportUnreadable(path);
        probe.resize(static_cast<std::size_t>(in.gcount()));
        const CaptureFileKind kind = DetectCaptureFileKind(probe);
        File file{path, kind != CaptureFileKind::NotPcapng};
        if (file.captureFile) {
            in.clear();
            in.seekg(0);
            CaptureFileReader reader(in);
            std::string error;
            if (!reader.ReadHeader(error)) {
                std::fprintf(stderr, "orvane-cli: %s: %s\n", path.c_str(), error.c_str());
                return 2;
            }
            if (!hasCaptureFile_) captureInfo_ = reader.info();
            hasCaptureFile_ = true;
            anyContinuous_ = anyContinuous_ || reader.info().continuous;
        }
        files_.push_back(file);
    }
    return 0;
}

int ReplayFiles::Feed(const ReadSink& sink) {
    int status = 0;
    std::string buffer(static_cast<std::size_t>(kReadLimit), '\0');
    for (const File& file : files_) {
        errno = 0;
        std::ifstream in(file.path, std::ios::binary);
        if (!in) {
            status = ReportUnreadable(file.path);
            continue;
        }
        if (!file.captureFile) {
            for (;;) {
                in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
                const auto got = static_cast<std::size_t>(in.gcount());
                if (got > 0) {
                    sink(std::string_view(buffer.data(), got), ContinuousCapture::kNoReceiptTime);
                }
                if (in.bad()) status = ReportUnreadable(file.path);
                if (got < buffer.size() || !in) break;
            }
            continue;
        }
        CaptureFileReader reader(in);
        std::string error;
        if (!reader.ReadHeader(error)) {
            std::fprintf(stderr, "orvane-cli: %s: %s\n", file.path.c_str(), error.c_str());
            status = 2;
            continue;
        }
        CaptureRead read;
        while (reader.NextRead(read)) sink(read.bytes, read.timeUs);
        if (reader.damaged()) {
            std::fprintf(stderr, "orvane-cli: %s: %s; the reads before it were replayed\n",
                         file.path.c_str(), reader.DamageText().c_str());
            status = 2;
        }
    }
    return status;
}

int ReportNoMessage(const std::vector<std::string>& paths) {
    if (paths.size() == 1) {
        std::fprintf(stderr, "orvane-cli: %s holds no capture-unit message\n",
                     paths.front().c_str());
    } else {
        std::fprintf(stderr, "orvane-cli: the files hold no capture-unit message\n");
    }
    return 2;
}

}  // namespace orvane::cli
