// The Byte View fill: one row per shown byte, both sides interleaved in arrival order.
#pragma once

#include "capture/capture_model.hpp"
#include "decode/decoder.hpp"
#include "views/list_model.hpp"
#include "views/packet_filter.hpp"
#include "views/packet_view.hpp"

namespace orvane {

// Adds a row for every shown byte of model.capturedBytes (1..byteCount) to `list`, which the
// caller has emptied, numbering rows "00001" upwards. Columns, each ending in a space when not
// empty: 0 "Event" (no space), 1 "Time", 2 "Ctrl" or 3 "Deck" (the byte in hexadecimal, by side),
// 4 "Command" (the packet's description, on the row of the packet's last byte only), 5 "Packet #"
// (" 12 "). Bytes of neither side are left out; a packet hidden by the filter loses all its bytes.
// The protocol mode is the decoder's.
void FillByteView(const CaptureModel& model, Decoder& decoder, const FilterFlags& flags,
                  ListModel& list, const CancelCheck& isCancelled = {});

}  // namespace orvane
