// The files replay reads: capture files (pcapng, reads with their times of receipt) and raw
// capture-unit stream files, told apart by their content.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/capture_file.hpp"

namespace orvane::cli {

class ReplayFiles {
  public:
    // A read and its time of receipt (ContinuousCapture::kNoReceiptTime for a raw file).
    using ReadSink = std::function<void(std::string_view data, std::int64_t receiptUs)>;

    // Opens every file and reads the header of each capture file, so that a missing, unreadable
    // or foreign file is reported (one line on standard error) before anything is written.
    // Returns 0, or the exit status 2.
    int Open(const std::vector<std::string>& paths);

    // The first capture file's facts, when there is one.
    bool hasCaptureFile() const { return hasCaptureFile_; }
    const CaptureFileInfo& captureInfo() const { return captureInfo_; }
    bool anyContinuous() const { return anyContinuous_; }

    // Feeds every read of every file in the order given. A raw file is cut into reads of the
    // largest socket read, never one spanning two files. A damaged capture file gives its reads
    // up to the damage and a line on standard error. Returns 0, or 2 when a file was damaged or
    // could not be read to its end.
    int Feed(const ReadSink& sink);

  private:
    struct File {
        std::string path;
        bool captureFile = false;
    };
    std::vector<File> files_;
    bool hasCaptureFile_ = false;
    bool anyContinuous_ = false;
    CaptureFileInfo captureInfo_;
};

// Says on standard error that the files hold no capture-unit message; the exit status 2.
int ReportNoMessage(const std::vector<std::string>& paths);

}  // namespace orvane::cli
