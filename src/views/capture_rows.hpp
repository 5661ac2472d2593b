// The rows of a continuous capture under one view and one filter choice, with cell texts made
// only for the rows asked for.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/continuous_capture.hpp"
#include "decode/decoder.hpp"
#include "views/packet_filter.hpp"
#include "views/row_selection.hpp"

namespace orvane {

// The six cells of one row, Windows-1252, exactly as the bounded lists hold them.
using RowCells = std::array<std::string, 6>;

// Called for each row formed, with the packet (Packet View) or byte (Byte View) it shows.
using RowVisitor =
    std::function<void(std::uint64_t row, std::uint64_t item, const RowCells& cells)>;

// A packet's bytes: those of its side from its first to its last byte.
void GatherPacketBytes(const SerialByteStore& bytes, std::uint32_t firstByte,
                       std::uint32_t lastByte, std::int32_t direction,
                       std::vector<std::uint8_t>& out);

// The list of one view over a continuous capture. Packet View: one row per shown packet; Byte
// View: one row per shown byte. Which rows are shown is one bit per packet or byte, found again
// in one pass when the filter changes; texts are formed per call of FormRows.
class CaptureRows {
  public:
    CaptureRows(const ContinuousCapture& capture, ViewKind view, const FilterFlags& flags);

    // Takes in what the capture completed since the last call (a live capture grows).
    void Update();

    ViewKind view() const { return view_; }
    const FilterFlags& flags() const { return flags_; }
    std::uint64_t RowCount() const { return rows_.Count(); }

    // The packet (Packet View) or byte (Byte View) shown in a row.
    std::uint64_t ItemOfRow(std::uint64_t row) const { return rows_.Select(row); }

    // Forms the cells of rows first .. first+count-1 (those that exist) in order. Descriptions
    // read a Sony status reply against the last Status Sense request shown before it, as a
    // fill of the whole list does.
    void FormRows(std::uint64_t first, std::uint64_t count, const RowVisitor& visit) const;

    // Forms the rows not formed by earlier calls, in order, with one decoder for the whole run:
    // rows written out as a capture grows. Random access with FormRows stays possible.
    void FormNewRows(const RowVisitor& visit);

    // After FormNewRows: the first byte and the first packet that rows still to come may read.
    std::uint32_t FirstByteNeeded() const;
    std::size_t FirstPacketNeeded() const;

  private:
    void FormRange(std::uint64_t first, std::uint64_t end, Decoder& decoder,
                   const RowVisitor& visit) const;
    std::uint32_t Frontier(std::size_t complete) const;
    bool IsPacketShown(std::size_t packet) const;
    void UpdatePackets(std::size_t complete);
    void UpdateBytes(std::uint64_t frontier);
    std::int64_t LastShownStatusSenseBefore(std::size_t packet) const;
    // What forming rows in order keeps from one row to the next.
    struct Scratch {
        std::vector<std::uint8_t> packet;
        std::size_t sequenceHint = 0;
    };
    void FormPacketRow(std::uint64_t row, std::uint64_t packet, Decoder& decoder, Scratch& scratch,
                       RowCells& cells) const;
    void FormByteRow(std::uint64_t row, std::uint64_t byte, Decoder& decoder, Scratch& scratch,
                     RowCells& cells) const;

    const ContinuousCapture& capture_;
    ViewKind view_;
    FilterFlags flags_;
    RowSelection rows_;
    std::size_t packetsSeen_ = 0;
    std::int64_t lastShownSense_ = -1;
    // For every 4096 packets, the last shown Status Sense request before the first of them.
    std::vector<std::int64_t> senseCheckpoints_;
    // Byte View: the side's packet that the byte pass has reached, and what it read of it (a
    // byte pass asks for the same packet once for each of its bytes).
    struct SideCursor {
        std::size_t packet = 0;
        bool loaded = false;  // the fields below are `packet`'s
        std::uint32_t firstByte = 0;
        std::uint32_t lastByte = 0;
        bool shown = false;
    };
    std::array<SideCursor, 2> sideCursors_{};
    // FormNewRows's place and decoder.
    std::uint64_t rowsFormed_ = 0;
    std::unique_ptr<Decoder> runDecoder_;
};

}  // namespace orvane
