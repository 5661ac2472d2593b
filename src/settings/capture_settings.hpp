// The continuous-capture keys of the settings file: whether Capture runs without a store limit,
// and the folder its capture files go to.
#pragma once

#include <string>

namespace orvane {

struct CaptureSettings {
    // Capture runs continuously (no store limit, the window stays usable) instead of the
    // bounded capture behind the "Capturing Data" dialog.
    bool continuous = false;
    // Where continuous captures write their files; created when a capture starts.
    std::string folder;

    bool operator==(const CaptureSettings&) const = default;
};

// The folder "captures" beside the settings file.
std::string DefaultCaptureFolder();

// Reads "Continuous Capture" and "Capture Folder" of section "Setup". A file without them
// gives a bounded capture and the default folder.
CaptureSettings LoadCaptureSettings();

// Writes the keys whose values differ from `before` (the values loaded or last saved), so a
// settings file gains them only once the user has changed them.
void SaveCaptureSettings(const CaptureSettings& settings, const CaptureSettings& before);

}  // namespace orvane
