// The settings file's three groups: connection, view and filter boxes, window size.
#include "settings/settings_store.hpp"

#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

#include "settings/ini_file.hpp"
#include "settings/number_text.hpp"

namespace orvane {
namespace {

constexpr std::string_view kPacketViewKey = "Packet View";
constexpr std::string_view kByteViewKey = "Byte View";

struct FilterKey {
    bool FilterFlags::*box;
    std::string_view key;
};

// In the order they are written, after the two view keys. "Display Acks" and "Dev Type Filter"
// are the keys of the boxes captioned "Display ACKs" and "Disp. Dev Type".
constexpr auto kFilterKeys = std::to_array<FilterKey>({
    {&FilterFlags::timeSense, "Time Sense"},
    {&FilterFlags::timeReply, "Time Reply"},
    {&FilterFlags::statusSense, "Status Sense"},
    {&FilterFlags::statusReply, "Status Reply"},
    {&FilterFlags::displayAcks, "Display Acks"},
    {&FilterFlags::dispDevType, "Dev Type Filter"},
});

constexpr std::string_view kSettingsSection = "Settings";
constexpr std::string_view kFormSection = "Form";
constexpr std::string_view kSetupSection = "Setup";
// The protocol key is written under this spelling; sections match without regard to case, so it
// lands in the same section as the other two connection keys.
constexpr std::string_view kSetupSectionForProtocol = "SetUp";
constexpr std::string_view kAddressKey = "Ip Address";
constexpr std::string_view kPortKey = "Port Number";
constexpr std::string_view kProtocolKey = "Protocol";

std::int32_t ReadNumber(const std::string& path, std::string_view section, std::string_view key) {
    return ParseNumberPrefix(ReadSetting(path, section, key, ""));
}

}  // namespace

std::string SettingsFilePath() {
    std::error_code ec;
    std::string path = std::filesystem::current_path(ec).string();
    if (ec) {
        // No current directory (it was removed): the bare name, which then simply fails to
        // open, rather than a path from the root.
        return std::string(kSettingsFileName);
    }
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (path.empty() || path.back() != separator) {
        path += separator;  // a root such as "/" already ends with one
    }
    path += kSettingsFileName;
    return path;
}

ViewOptions LoadViewOptions() {
    const std::string path = SettingsFilePath();
    const auto isSet = [&path](std::string_view key) {
        return ReadNumber(path, kSettingsSection, key) != 0;
    };
    ViewOptions options;
    // Exactly one view: Packet View when the file sets both or neither.
    options.view =
        isSet(kByteViewKey) && !isSet(kPacketViewKey) ? ViewKind::Byte : ViewKind::Packet;
    for (const FilterKey& entry : kFilterKeys) {
        options.filters.*entry.box = isSet(entry.key);
    }
    return options;
}

void SaveViewOptions(const ViewOptions& options) {
    const std::string path = SettingsFilePath();
    const auto write = [&path](std::string_view key, bool set) {
        WriteSetting(path, kSettingsSection, key, SettingsNumberText(set ? 1 : 0));
    };
    write(kPacketViewKey, options.view == ViewKind::Packet);
    write(kByteViewKey, options.view == ViewKind::Byte);
    for (const FilterKey& entry : kFilterKeys) {
        write(entry.key, options.filters.*entry.box);
    }
}

void SaveWindowSize(std::int32_t width, std::int32_t height) {
    const std::string path = SettingsFilePath();
    WriteSetting(path, kFormSection, "width", SettingsNumberText(width));
    WriteSetting(path, kFormSection, "height", SettingsNumberText(height));
}

void LoadSetup(ConnectionSettings& settings) {
    const std::string path = SettingsFilePath();
    std::string address = ReadSetting(path, kSetupSection, kAddressKey, "");
    if (IsValidAddress(address)) {
        settings.captureUnitAddress = std::move(address);
    }
    const std::int32_t port = ReadNumber(path, kSetupSection, kPortKey);
    if (port > 0) {
        settings.captureUnitPort = port;
    }
    ApplyConnectionDefaults(settings);
    settings.protocolMode = ProtocolModeFromNumber(ReadNumber(path, kSetupSection, kProtocolKey));
}

void SaveSetup(const ConnectionSettings& settings) {
    const std::string path = SettingsFilePath();
    WriteSetting(path, kSetupSection, kAddressKey, settings.captureUnitAddress);
    WriteSetting(path, kSetupSection, kPortKey, SettingsNumberText(settings.captureUnitPort));
    WriteSetting(path, kSetupSectionForProtocol, kProtocolKey,
                 SettingsNumberText(ProtocolNumber(settings.protocolMode)));
}

std::int32_t ParsePortText(std::string_view text) { return ParseNumberPrefix(text); }

}  // namespace orvane
