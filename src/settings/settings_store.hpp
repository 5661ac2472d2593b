// The settings file "Orvane.ini" in the current directory and its three groups: the connection
// ("Setup"), the view choice and filter boxes ("Settings") and the window size ("Form").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/connection_settings.hpp"
#include "settings/view_options.hpp"

namespace orvane {

inline constexpr std::string_view kSettingsFileName = "Orvane.ini";

// The current directory, the platform's separator and "Orvane.ini", however long. Asked anew on
// every call: saving a log changes the current directory, and
// the settings written at close then go to that folder.
std::string SettingsFilePath();

// The view option and filter boxes from section "Settings": a key with any number but 0 is set
// (absent keys give 0). "Packet View" unless the file sets "Byte View" alone.
ViewOptions LoadViewOptions();

// Writes the two view options and the six filter boxes to section "Settings", each as 1 or 0.
void SaveViewOptions(const ViewOptions& options);

// Writes the main window's client size (dialog units) to section "Form".
void SaveWindowSize(std::int32_t width, std::int32_t height);

// Fills `settings` from section "Setup": a valid address and a port above 0 replace what is
// there, the protocol is the stored number's mode; then the built-in defaults fill what is
// still unset.
void LoadSetup(ConnectionSettings& settings);

// Writes the three connection keys to section "Setup".
void SaveSetup(const ConnectionSettings& settings);

// The Setup dialog's port text as a number (lenient prefix parse; empty text is 0). Only a
// result above 0 replaces the port.
std::int32_t ParsePortText(std::string_view text);

}  // namespace orvane
