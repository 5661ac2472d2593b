// Writing a scenario's stream to a capture file: the reads a receiver would have made, each with
// its time of receipt, without any socket.
#include "sim/capture_writer.hpp"

#include <cstdio>
#include <memory>

#include "capture/capture_file.hpp"

namespace orvane::sim {
namespace {

// The capture file's protocol for a scenario: the grouping the program would be set to.
ProtocolMode ProtocolOfScenario(const std::string& scenario) {
    if (scenario == "odetics") return ProtocolMode::kOdetics;
    if (scenario == "vdcp" || scenario == "vdcp-faults") return ProtocolMode::kVdcp;
    return ProtocolMode::kSony;  // sony, faults, and the noise scenario's random bytes
}

}  // namespace

bool ForEachScenarioRead(const std::string& scenario, const SourceOptions& source,
                         std::int64_t messages, std::size_t readBytes, const ReadVisitor& visit) {
    std::unique_ptr<MessageSource> messageSource = MakeScenarioSource(scenario, source);
    if (!messageSource || readBytes == 0) return true;
    std::string pending;
    SimMessage message;
    std::int64_t timeUs = kCaptureEpochUs;
    for (std::int64_t sent = 0; sent < messages && messageSource->Next(message); ++sent) {
        pending += message.bytes;
        timeUs = kCaptureEpochUs + message.dueUs;
        std::size_t offset = 0;
        for (; pending.size() - offset >= readBytes; offset += readBytes) {
            if (!visit(timeUs, std::string_view(pending).substr(offset, readBytes))) return false;
        }
        pending.erase(0, offset);
    }
    // The stream's tail: what the last read found after the sender stopped.
    return pending.empty() || visit(timeUs, pending);
}

int WriteCapture(const SimOptions& options) {
    CaptureFileInfo info;
    info.application = "orvane-sim";
    info.unitAddress = "127.0.0.1";
    info.unitPort = 0;
    info.protocolMode = ProtocolOfScenario(options.scenario);
    info.continuous = true;
    info.startTimeUs = kCaptureEpochUs;

    CaptureFileWriter writer;
    std::string error;
    std::int64_t reads = 0;
    const bool written = writer.Open(options.writeCapture, info, error) &&
                         ForEachScenarioRead(options.scenario, options.source, options.messages,
                                             static_cast<std::size_t>(options.readBytes),
                                             [&](std::int64_t timeUs, std::string_view bytes) {
                                                 ++reads;
                                                 return writer.AppendRead(timeUs, bytes, error);
                                             }) &&
                         writer.Close(error);
    if (!written) {
        std::fprintf(stderr, "orvane-sim: cannot write %s: %s\n", options.writeCapture.c_str(),
                     error.c_str());
        return 1;
    }
    if (options.verbose) {
        std::fprintf(stderr, "orvane-sim: %s: %lld reads, %llu bytes\n",
                     options.writeCapture.c_str(), static_cast<long long>(reads),
                     static_cast<unsigned long long>(writer.bytesWritten()));
    }
    return 0;
}

}  // namespace orvane::sim
