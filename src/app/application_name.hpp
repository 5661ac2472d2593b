// The program's name and version as its files and windows carry it.
#pragma once

#include <string_view>

namespace orvane {

// Written into capture files and exports ("application"), and read back from them.
inline constexpr std::string_view kApplicationName = "Orvane 1.07";

}  // namespace orvane
