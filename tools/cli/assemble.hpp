// Packet assembly for the front end, kept in a unit of its own.
#pragma once

#include <cstdint>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"

namespace orvane::cli {

// The three assembly passes over the stored blocks, as run after every capture.
void AssembleBlocks(CaptureModel& model, std::int32_t protocolMode, const Trace& trace);

}  // namespace orvane::cli
