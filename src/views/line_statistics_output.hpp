// The line's figures written out: an aligned table to read, CSV for a spreadsheet, JSON for
// scripts. All three are UTF-8.
#pragma once

#include <string>

#include "views/line_statistics.hpp"

namespace orvane {

// The packets by name (controller first, then the deck, each by count), the latency of all
// replies, the verdicts and the NAK reasons. A command's latency is that of its replies.
std::string LineStatisticsText(const LineStatistics& statistics);

// One header row, then rows of kind "summary", "packet", "replies", "verdict" and "nak":
// kind,name,side,count,share,latency_min_ms,latency_median_ms,latency_p95_ms,latency_max_ms
std::string LineStatisticsCsv(const LineStatistics& statistics);

// {"packets":N,"duration_ms":N,"polls":N,"polls_per_second":X,"lost_messages":N,
//  "commands":{NAME:{"side":..,"count":N,"share":X,"latency_ms":{"min":..,"median":..,"p95":..,
//  "max":..} or null}},"latency_ms":{..} or null,"verdicts":{KIND:N},"naks":{REASON:N},
//  "latency_histogram":[[MS,N],..],"latency_over_time":{"bucket_ms":N,"points":[{"start_ms":..,
//  "count":..,"min":..,"median":..,"max":..}]}} and a line feed. A name both sides use carries
// " (controller)" or " (deck)".
std::string LineStatisticsJson(const LineStatistics& statistics);

}  // namespace orvane
