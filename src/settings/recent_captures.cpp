// The recently opened or saved capture files, newest first, kept in the settings file.
#include "settings/recent_captures.hpp"

#include <algorithm>
#include <string_view>

#include "settings/ini_file.hpp"
#include "settings/settings_store.hpp"

namespace orvane {
namespace {

constexpr std::string_view kRecentSection = "Recent Captures";

std::string KeyOf(std::size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

std::vector<std::string> LoadRecentCaptures() {
    const std::string path = SettingsFilePath();
    std::vector<std::string> files;
    for (std::size_t i = 0; i < kMaxRecentCaptures; ++i) {
        std::string file = ReadSetting(path, kRecentSection, KeyOf(i), "");
        if (!file.empty()) files.push_back(std::move(file));
    }
    return files;
}

void SaveRecentCaptures(const std::vector<std::string>& files) {
    const std::string path = SettingsFilePath();
    for (std::size_t i = 0; i < kMaxRecentCaptures; ++i) {
        const std::string key = KeyOf(i);
        if (i < files.size()) {
            WriteSetting(path, kRecentSection, key, files[i]);
        } else if (!ReadSetting(path, kRecentSection, key, "").empty()) {
            WriteSetting(path, kRecentSection, key, "");
        }
    }
}

std::vector<std::string> AddRecentCapture(std::vector<std::string> files, const std::string& path) {
    std::erase(files, path);
    if (path.empty() || path.size() > kMaxSettingsValueLength) return files;
    files.insert(files.begin(), path);
    if (files.size() > kMaxRecentCaptures) files.resize(kMaxRecentCaptures);
    return files;
}

}  // namespace orvane
