// The status bar's account of a continuous capture: how long, how much, how fast, what was lost,
// and the file it went to.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

struct CaptureStatus {
    std::string state;             // "Capturing", "Captured", "Opened"
    std::int64_t elapsedMs = -1;   // below 0: not shown (an opened file)
    std::uint64_t messages = 0;    // capture-unit messages
    std::uint64_t packets = 0;     // serial packets
    double bytesPerSecond = -1.0;  // serial bytes; below 0: not shown
    std::uint64_t lostMessages = 0;
    std::uint64_t sequenceGaps = 0;
    std::string fileName;
    std::uint64_t fileBytes = 0;
};

// "Capturing 0:01:23 | 12345 messages | 23456 packets | 1234 bytes/s | 0 lost messages (0 gaps) |
// capture-2026-12-06_23-40-05.pcapng 1.2 MB"
std::string CaptureStatusText(const CaptureStatus& status);

// "512 bytes", "12 KB", "1.2 MB", "3.4 GB".
std::string FileSizeText(std::uint64_t bytes);

}  // namespace orvane
