// The recently opened or saved capture files, newest first, kept in the settings file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace orvane {

inline constexpr std::size_t kMaxRecentCaptures = 8;

// Section "Recent Captures", keys "File1" (newest) to "File8"; empty and missing keys are
// skipped.
std::vector<std::string> LoadRecentCaptures();

// Writes the list (at most kMaxRecentCaptures) and empties the keys after its end.
void SaveRecentCaptures(const std::vector<std::string>& files);

// `files` with `path` moved or added to the front, cut to kMaxRecentCaptures. A path longer
// than a settings value can hold is left out, since it could not be read back whole.
std::vector<std::string> AddRecentCapture(std::vector<std::string> files, const std::string& path);

}  // namespace orvane
