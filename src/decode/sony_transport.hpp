// The Sony 9-pin transport control group (2x) with its Odetics, Doremi and DMC additions.
#pragma once

#include <cstdint>
#include <string>

#include "decode/sony_packet.hpp"

namespace orvane {

// The deck's speed from the speed data: with one data byte 10^(DATA-1/32 - 2); otherwise
// interpolated between DATA-1 and DATA-1 + 1 by DATA-2/256. 64 gives 1, 32 gives 0.1.
double SonySpeedValue(std::int32_t dataCount, std::int32_t data0, std::int32_t data1);

// Description of a group 2x command; odeticsMode adds the Odetics cue texts.
std::string DescribeTransportCommand(const SonyPacket& packet, bool odeticsMode);

}  // namespace orvane
