// Packet assembly: stored blocks -> time-stamped byte list -> packet numbers -> packet lines.
#pragma once

#include <cstdint>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"
#include "settings/connection_settings.hpp"  // ProtocolMode; Odetics groups as Sony

namespace orvane {

// Rebuilds the byte list from the block store. Does nothing when no block is stored, so the
// previous capture's bytes stay. Malformed blocks, blocks whose successor breaks the sequence
// (the last block excepted) and entries marked "ignore" give no bytes; at most kMaxBytes bytes.
void BuildCapturedBytes(CaptureModel& model);

// Sets packetNo of every byte 1..byteCount: Sony 9-pin grouping (one counter, controller
// packets cut by their announced length, replies by change of direction), or VDCP framing
// (STX, byte count, body, checksum; ACK and NAK replies) with a counter per direction.
void AssignPacketNumbers(CaptureModel& model, ProtocolMode protocolMode);

// Rebuilds the packet list from the numbered bytes, one line per packet in order of its first
// byte; with the debug trace on, every line is written followed by one space.
void BuildPacketLines(CaptureModel& model, const Trace& trace);

// The three passes in their order, as run after every capture.
void AssembleCapture(CaptureModel& model, ProtocolMode protocolMode, const Trace& trace);

// The Clear command: the byte list keeps only its all-zero entry 0, byteCount becomes 0; the
// packet list stays.
void ClearCapturedBytes(CaptureModel& model);

}  // namespace orvane
