// The Sony 9-pin preset and select group (4x) with its Odetics and Doremi additions.
#pragma once

#include <string>

#include "decode/sony_packet.hpp"

namespace orvane {

// Description of a group 4x command; odeticsMode adds the Odetics in and out preset forms.
std::string DescribePresetSelectCommand(const SonyPacket& packet, bool odeticsMode);

}  // namespace orvane
