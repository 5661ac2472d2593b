// Packet assembly for the front end, kept in a unit of its own.
#include "cli/assemble.hpp"

#include "capture/packet_assembly.hpp"

namespace orvane::cli {

void AssembleBlocks(CaptureModel& model, std::int32_t protocolMode, const Trace& trace) {
    AssembleCapture(model, protocolMode, trace);
}

}  // namespace orvane::cli
