// The settings file "Orvane.ini" in the current directory and its three groups: the connection
// ("Setup"), the view choice and filter boxes ("Settings") and the window size ("Form").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/connection_settings.hpp"
#include "settings/control_ids.hpp"

namespace orvane {

inline constexpr std::string_view kSettingsFileName = "Orvane.ini";

// The current directory, the platform's separator and "Orvane.ini", however long. Asked anew on
// every call: saving a log changes the current directory, and
// the settings written at close then go to that folder.
std::string SettingsFilePath();

// Sets the eight view and filter buttons from section "Settings" (absent keys give 0); then
// exactly one view button is set, "Packet View" when the file names both or neither.
void LoadSettings(CheckStates& checks);

// Writes the check states of the eight view and filter buttons to section "Settings".
void SaveSettings(const CheckStates& checks);

// Writes the main window's client size (dialog units) to section "Form".
void SaveWindowSize(std::int32_t width, std::int32_t height);

// Fills `settings` from section "Setup": a valid address and a port above 0 replace what is
// there, the protocol is taken as stored; then the built-in defaults fill what is still unset.
void LoadSetup(ConnectionSettings& settings);

// Writes the three connection keys to section "Setup".
void SaveSetup(const ConnectionSettings& settings);

// The Setup dialog's port text as a number (lenient prefix parse; empty text is 0). Only a
// result above 0 replaces the port.
std::int32_t ParsePortText(std::string_view text);

}  // namespace orvane
