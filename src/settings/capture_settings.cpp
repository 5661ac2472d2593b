// The continuous-capture keys of the settings file.
#include "settings/capture_settings.hpp"

#include <filesystem>
#include <string_view>

#include "settings/ini_file.hpp"
#include "settings/number_text.hpp"
#include "settings/settings_store.hpp"

namespace orvane {
namespace {

constexpr std::string_view kSetupSection = "Setup";
constexpr std::string_view kContinuousKey = "Continuous Capture";
constexpr std::string_view kFolderKey = "Capture Folder";

}  // namespace

std::string DefaultCaptureFolder() {
    return (std::filesystem::path(SettingsFilePath()).parent_path() / "captures").string();
}

CaptureSettings LoadCaptureSettings() {
    const std::string path = SettingsFilePath();
    CaptureSettings settings;
    settings.continuous =
        ParseNumberPrefix(ReadSetting(path, kSetupSection, kContinuousKey, "")) != 0;
    settings.folder = ReadSetting(path, kSetupSection, kFolderKey, "");
    if (settings.folder.empty()) settings.folder = DefaultCaptureFolder();
    return settings;
}

void SaveCaptureSettings(const CaptureSettings& settings, const CaptureSettings& before) {
    const std::string path = SettingsFilePath();
    if (settings.continuous != before.continuous) {
        WriteSetting(path, kSetupSection, kContinuousKey,
                     SettingsNumberText(settings.continuous ? 1 : 0));
    }
    if (settings.folder != before.folder) {
        WriteSetting(path, kSetupSection, kFolderKey, settings.folder);
    }
}

}  // namespace orvane
