// The status bar's account of a continuous capture: how long, how much, how fast, what was lost,
// and the file it went to.
#include "app/capture_status.hpp"

#include <cmath>
#include <cstdio>

namespace orvane {
namespace {

std::string ElapsedText(std::int64_t ms) {
    const std::int64_t seconds = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    return text;
}

}  // namespace

std::string FileSizeText(std::uint64_t bytes) {
    constexpr double kKb = 1024.0;
    char text[32];
    const auto size = static_cast<double>(bytes);
    if (size < kKb) {
        std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    } else if (size < kKb * kKb) {
        std::snprintf(text, sizeof text, "%.0f KB", size / kKb);
    } else if (size < kKb * kKb * kKb) {
        std::snprintf(text, sizeof text, "%.1f MB", size / (kKb * kKb));
    } else {
        std::snprintf(text, sizeof text, "%.1f GB", size / (kKb * kKb * kKb));
    }
    return text;
}

std::string CaptureStatusText(const CaptureStatus& status) {
    std::string text = status.state;
    if (status.elapsedMs >= 0) text += " " + ElapsedText(status.elapsedMs);
    text += " | " + std::to_string(status.messages) + " messages | " +
            std::to_string(status.packets) + " packets";
    if (status.bytesPerSecond >= 0) {
        text += " | " + std::to_string(std::llround(status.bytesPerSecond)) + " bytes/s";
    }
    text += " | " + std::to_string(status.lostMessages) +
            (status.lostMessages == 1 ? " lost message (" : " lost messages (") +
            std::to_string(status.sequenceGaps) + (status.sequenceGaps == 1 ? " gap)" : " gaps)");
    if (!status.fileName.empty()) {
        text += " | " + status.fileName + " " + FileSizeText(status.fileBytes);
    }
    return text;
}

}  // namespace orvane
