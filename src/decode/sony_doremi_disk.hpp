// The Doremi disk command group (3x) of the Sony 9-pin link.
#pragma once

#include <string>

#include "decode/sony_packet.hpp"

namespace orvane {

// Description of a group 3x command; unknown codes give " Unknown Doremi Command".
std::string DescribeDoremiDiskCommand(const SonyPacket& packet);

}  // namespace orvane
