// The Packet View fill: one row per shown packet, with its time, side, bytes and description.
#pragma once

#include <functional>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"
#include "decode/decoder.hpp"
#include "views/list_model.hpp"
#include "views/packet_filter.hpp"

namespace orvane {

// Asked before every entry; a fill stops, keeping the rows added so far, once it returns true.
// An empty check never cancels.
using CancelCheck = std::function<bool()>;

// Adds a row for every shown packet of model.packetLines (0..lastPacketIndex) to `list`, which
// the caller has emptied, numbering rows "00001" upwards. Columns: 0 "Event", 1 "Time", 2 "ID"
// ("Ctrl" or "VTR"), 3 "Packet Data", 4 "Command" (from decoder.DecodePacket), 5 "Packet #" (the
// block sequence number of the packet's first byte, upper-case hexadecimal). The protocol mode is
// the decoder's. In VDCP mode a first packet that was cut off at the start of the capture is
// blanked in model.packetLines for good, with a "Bad Packet: " line under trace.debugTrace.
void FillPacketView(CaptureModel& model, Decoder& decoder, const FilterFlags& flags,
                    const Trace& trace, ListModel& list, const CancelCheck& isCancelled = {});

}  // namespace orvane
