// The Sony 9-pin status data reply read against the Status Sense request that asked for it.
#pragma once

#include <string>
#include <string_view>

namespace orvane {

// "Status Data: " followed by the names of the set status flags, ", " between them. The start
// and count of the status bytes come from the request's DATA-1 (characters 7 and 8 of
// lastStatusSense); with no request (or one shorter than 8 characters) only the heading shows.
std::string DecodeStatusData(std::string_view replyText, std::string_view lastStatusSense);

}  // namespace orvane
