// The connection settings' address check and defaults.
#include "settings/connection_settings.hpp"

#include <cstddef>

namespace orvane {

bool IsValidAddress(std::string_view address) {
    int fields = 0;
    while (true) {
        const std::size_t dot = address.find('.');
        const std::string_view field = address.substr(0, dot);
        if (++fields > 4 || field.find_first_not_of(' ') == std::string_view::npos) {
            return false;
        }
        if (dot == std::string_view::npos) {
            return fields == 4;
        }
        address.remove_prefix(dot + 1);
    }
}

void ApplyConnectionDefaults(ConnectionSettings& settings) {
    if (settings.captureUnitAddress.empty()) {
        settings.captureUnitAddress = kDefaultCaptureUnitAddress;
    }
    if (settings.captureUnitPort == 0) {
        settings.captureUnitPort = kDefaultCaptureUnitPort;
    }
}

}  // namespace orvane
