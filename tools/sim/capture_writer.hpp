// Writing a scenario's stream to a capture file instead of serving it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "sim/message_source.hpp"
#include "sim/sim_options.hpp"

namespace orvane::sim {

// Receipt times of a written capture count from this wall-clock time (2026-01-05 00:00:00 UTC),
// so the same options always give the same file.
inline constexpr std::int64_t kCaptureEpochUs = 1767571200LL * 1000000;

// Called with each read and its time of receipt (microseconds since 1970 UTC); false stops.
using ReadVisitor = std::function<bool(std::int64_t timeUs, std::string_view bytes)>;

// The first `messages` messages of a scenario as a receiver that reads full buffers of
// `readBytes` gets them: the reads cut through messages, and a read is received when the
// message holding its last byte has been sent in full. False when `visit` stopped.
bool ForEachScenarioRead(const std::string& scenario, const SourceOptions& source,
                         std::int64_t messages, std::size_t readBytes, const ReadVisitor& visit);

// Writes options.messages messages of options.scenario to options.writeCapture in reads of up
// to options.readBytes bytes. Returns the process exit status.
int WriteCapture(const SimOptions& options);

}  // namespace orvane::sim
