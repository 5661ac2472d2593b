// The analysis key of the settings file: whether the lists show the Latency and Verdict columns.
#include "settings/analysis_settings.hpp"

#include <string_view>

#include "settings/ini_file.hpp"
#include "settings/number_text.hpp"
#include "settings/settings_store.hpp"

namespace orvane {
namespace {

constexpr std::string_view kSetupSection = "Setup";
constexpr std::string_view kAnalysisColumnsKey = "Analysis Columns";

}  // namespace

bool LoadAnalysisColumns() {
    return ParseNumberPrefix(
               ReadSetting(SettingsFilePath(), kSetupSection, kAnalysisColumnsKey, "")) != 0;
}

void SaveAnalysisColumns(bool shown) {
    WriteSetting(SettingsFilePath(), kSetupSection, kAnalysisColumnsKey,
                 SettingsNumberText(shown ? 1 : 0));
}

}  // namespace orvane
