// What a file offered to Open Capture holds: our capture file, a raw capture-unit stream, or
// something else that is turned away with the reason.
#include "app/capture_file_probe.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "capture/capture_model.hpp"
#include "capture/continuous_capture.hpp"

namespace orvane {
namespace {

constexpr std::size_t kKindProbeBytes = 4096;
// A raw stream shows a whole message well within this much.
constexpr std::size_t kRawProbeBytes = 1 << 20;

}  // namespace

CaptureFileProbe ProbeCaptureFile(const std::string& path) {
    CaptureFileProbe probe;
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        probe.problem = std::strerror(errno != 0 ? errno : EIO);
        return probe;
    }
    std::string first(kKindProbeBytes, '\0');
    in.read(first.data(), static_cast<std::streamsize>(first.size()));
    first.resize(static_cast<std::size_t>(in.gcount()));
    if (DetectCaptureFileKind(first) != CaptureFileKind::NotPcapng) {
        // The reader's reason names what the file is when it is not ours.
        in.clear();
        in.seekg(0);
        CaptureFileReader reader(in);
        if (!reader.ReadHeader(probe.problem)) return probe;
        probe.kind = CaptureFileProbe::Kind::CaptureFile;
        probe.info = reader.info();
        return probe;
    }
    in.clear();
    in.seekg(0);
    const Trace quiet;
    ContinuousCapture capture(ProtocolMode::kSony, quiet);
    std::string buffer(static_cast<std::size_t>(kReadLimit), '\0');
    for (std::size_t total = 0; total < kRawProbeBytes && in;) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0) break;
        capture.OnRead(std::string_view(buffer.data(), got));
        total += got;
    }
    capture.Finish();
    if (capture.counters().messages == 0) {
        probe.problem =
            "This file is neither an Orvane capture file nor a capture unit's raw stream";
        return probe;
    }
    probe.kind = CaptureFileProbe::Kind::RawStream;
    return probe;
}

}  // namespace orvane
