// The Sony 9-pin sense requests (6x, from the controller) and data replies (7x, from the deck).
#pragma once

#include <string>

#include "decode/sony_packet.hpp"

namespace orvane {

// Description of a group 6x request. A Status Sense request (6x 20) replaces lastStatusSense
// with the packet's trimmed text, so the status reply that follows is read against it.
std::string DescribeSenseRequest(const SonyPacket& packet, std::string& lastStatusSense);

// Description of a group 7x reply; a status reply (7x 20) is read against lastStatusSense.
std::string DescribeSenseReply(const SonyPacket& packet, const std::string& lastStatusSense);

}  // namespace orvane
