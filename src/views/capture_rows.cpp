// The rows of a continuous capture under one view and one filter choice, with cell texts made
// only for the rows asked for.
#include "views/capture_rows.hpp"

#include <algorithm>
#include <charconv>

#include "views/row_text.hpp"

namespace orvane {
namespace {

constexpr std::size_t kCheckpointPackets = 4096;

std::string PacketText(const std::vector<std::uint8_t>& packet) {
    std::string text;
    text.reserve(packet.size() * 3);
    for (const std::uint8_t byte : packet) AppendHexByte(text, byte);
    return text;
}

}  // namespace

void GatherPacketBytes(const SerialByteStore& bytes, std::uint32_t firstByte,
                       std::uint32_t lastByte, std::int32_t direction,
                       std::vector<std::uint8_t>& out) {
    out.clear();
    for (std::uint64_t i = firstByte; i <= lastByte; ++i) {
        if (bytes.Direction(i) == direction) out.push_back(bytes.Value(i));
    }
}

CaptureRows::CaptureRows(const ContinuousCapture& capture, ViewKind view, const FilterFlags& flags)
    : capture_(capture), view_(view), flags_(flags) {
    Update();
}

bool CaptureRows::IsPacketShown(std::size_t packet) const {
    const PacketEntry& entry = capture_.packets()[packet];
    if (view_ == ViewKind::Byte) return !entry.byteViewClass.IsHidden(flags_);
    if (entry.cutOff()) return false;
    return !entry.packetViewClass.IsHidden(flags_);
}

std::uint32_t CaptureRows::Frontier(std::size_t complete) const {
    // Bytes are final up to the first byte of the first packet still open, or of a side's
    // leading run still open.
    const PacketIndex& packets = capture_.packets();
    auto frontier = static_cast<std::uint32_t>(capture_.bytes().size());
    if (complete < packets.size()) frontier = packets[complete].firstByte;
    for (const bool device : {false, true}) {
        const LeadingRun& run = packets.Leading(device);
        if (run.present && !run.complete) frontier = std::min(frontier, run.firstByte);
    }
    return frontier;
}

void CaptureRows::Update() {
    const std::size_t complete = capture_.packets().CompleteCount();
    UpdatePackets(complete);
    if (view_ == ViewKind::Byte) UpdateBytes(Frontier(complete));
}

std::uint32_t CaptureRows::FirstByteNeeded() const {
    return capture_.packets().FirstByteNeeded(Frontier(capture_.packets().CompleteCount()));
}

std::size_t CaptureRows::FirstPacketNeeded() const {
    return capture_.packets().FirstPacketNeeded(Frontier(capture_.packets().CompleteCount()));
}

void CaptureRows::UpdatePackets(std::size_t complete) {
    for (std::size_t p = packetsSeen_; p < complete; ++p) {
        if (p % kCheckpointPackets == 0) senseCheckpoints_.push_back(lastShownSense_);
        const bool shown = IsPacketShown(p);
        if (view_ == ViewKind::Packet) rows_.Append(shown);
        if (shown && capture_.packets()[p].setsStatusSense()) {
            lastShownSense_ = static_cast<std::int64_t>(p);
        }
    }
    packetsSeen_ = std::max(packetsSeen_, complete);
}

void CaptureRows::UpdateBytes(std::uint64_t frontier) {
    const PacketIndex& packets = capture_.packets();
    capture_.bytes().VisitDirections(
        rows_.size(), frontier, [&](std::size_t i, std::int32_t direction) {
            if (direction != kSideController && direction != kSideDevice) {
                rows_.Append(false);
                return;
            }
            const bool device = direction == kSideDevice;
            // Each side's packets come in byte order, so a cursor per side finds a byte's packet.
            // A packet read while it still grew is read again once a byte lies past its end.
            SideCursor& cursor = sideCursors_[device ? 1 : 0];
            if (!cursor.loaded || cursor.lastByte < i) {
                cursor.loaded = false;
                for (cursor.packet = packets.NextOfSide(cursor.packet, device);
                     cursor.packet < packets.size();
                     cursor.packet = packets.NextOfSide(cursor.packet + 1, device)) {
                    const PacketEntry entry = packets[cursor.packet];
                    if (entry.lastByte < i) continue;
                    // Only a packet holding the byte is kept: one that begins later may still
                    // grow, and have no classes yet, when the bytes before it are taken.
                    if (entry.firstByte > i) break;
                    cursor.loaded = true;
                    cursor.firstByte = entry.firstByte;
                    cursor.lastByte = entry.lastByte;
                    cursor.shown = !entry.byteViewClass.IsHidden(flags_);
                    break;
                }
            }
            if (cursor.loaded && cursor.firstByte <= i) {
                rows_.Append(cursor.shown);
                return;
            }
            const LeadingRun& run = packets.Leading(device);
            const bool inRun = run.present && run.firstByte <= i && i <= run.lastByte;
            rows_.Append(inRun && !run.byteViewClass.IsHidden(flags_));
        });
}

std::int64_t CaptureRows::LastShownStatusSenseBefore(std::size_t packet) const {
    const std::size_t block = packet / kCheckpointPackets;
    if (block >= senseCheckpoints_.size()) return lastShownSense_;
    for (std::size_t p = packet; p > block * kCheckpointPackets; --p) {
        if (capture_.packets()[p - 1].setsStatusSense() && IsPacketShown(p - 1)) {
            return static_cast<std::int64_t>(p - 1);
        }
    }
    return senseCheckpoints_[block];
}

void CaptureRows::FormRows(std::uint64_t first, std::uint64_t count,
                           const RowVisitor& visit) const {
    const std::uint64_t end = std::min(RowCount(), first + std::min(count, RowCount()));
    if (first >= end) return;
    Decoder decoder(capture_.packets().protocolMode());
    // The decoder remembers the last Status Sense request it described: describe the one shown
    // before the first row, so the rows read as they do in a fill of the whole list.
    std::uint64_t firstPacket = ItemOfRow(first);
    if (view_ == ViewKind::Byte) {
        const auto index = static_cast<std::uint32_t>(firstPacket);
        const std::int64_t packet = capture_.packets().PacketOfByte(
            index, capture_.bytes().Direction(index) == kSideDevice);
        firstPacket = packet < 0 ? 0 : static_cast<std::uint64_t>(packet);
    }
    const std::int64_t sense = LastShownStatusSenseBefore(static_cast<std::size_t>(firstPacket));
    if (sense >= 0) {
        const PacketEntry& entry = capture_.packets()[static_cast<std::size_t>(sense)];
        std::vector<std::uint8_t> packet;
        GatherPacketBytes(capture_.bytes(), entry.firstByte, entry.lastByte, entry.direction(),
                          packet);
        decoder.DecodeBytes(packet);
    }
    FormRange(first, end, decoder, visit);
}

void CaptureRows::FormNewRows(const RowVisitor& visit) {
    if (!runDecoder_) runDecoder_ = std::make_unique<Decoder>(capture_.packets().protocolMode());
    const std::uint64_t end = RowCount();
    if (rowsFormed_ >= end) return;
    FormRange(rowsFormed_, end, *runDecoder_, visit);
    rowsFormed_ = end;
}

void CaptureRows::FormRange(std::uint64_t first, std::uint64_t end, Decoder& decoder,
                            const RowVisitor& visit) const {
    RowCells cells;
    Scratch scratch;
    // Rows in a row are the next shown bits: one select, then a walk along the selection.
    std::uint64_t item = ItemOfRow(first);
    for (std::uint64_t row = first; row < end; ++row) {
        if (row > first) {
            do {
                ++item;
            } while (!rows_.Test(item));
        }
        if (view_ == ViewKind::Packet) {
            FormPacketRow(row, item, decoder, scratch, cells);
        } else {
            FormByteRow(row, item, decoder, scratch, cells);
        }
        visit(row, item, cells);
    }
}

void CaptureRows::FormPacketRow(std::uint64_t row, std::uint64_t packetIndex, Decoder& decoder,
                                Scratch& scratch, RowCells& cells) const {
    const auto p = static_cast<std::size_t>(packetIndex);
    const PacketEntry& entry = capture_.packets()[p];
    std::vector<std::uint8_t>& packet = scratch.packet;
    GatherPacketBytes(capture_.bytes(), entry.firstByte, entry.lastByte, entry.direction(), packet);
    cells[0] = EventText(static_cast<std::int64_t>(row + 1));
    cells[1] = TimeText(capture_.bytes().TimeMs(entry.firstByte));
    cells[2] = entry.fromDevice() ? "VTR" : "Ctrl";
    cells[3] = PacketText(packet);
    cells[4] = decoder.DecodeBytes(packet);
    cells[4].resize(std::min(cells[4].size(), cells[4].find('\0')));
    cells[5] = UpperHexText(capture_.SequenceOfByte(entry.firstByte, scratch.sequenceHint));
}

void CaptureRows::FormByteRow(std::uint64_t row, std::uint64_t byte, Decoder& decoder,
                              Scratch& scratch, RowCells& cells) const {
    const auto index = static_cast<std::uint32_t>(byte);
    const SerialByteStore& bytes = capture_.bytes();
    const PacketIndex& packets = capture_.packets();
    const bool device = bytes.Direction(index) == kSideDevice;
    std::uint32_t firstByte = 0;
    std::uint32_t lastByte = 0;
    std::int32_t number = 0;
    const std::int64_t packet = packets.PacketOfByte(index, device);
    if (packet >= 0) {
        const PacketEntry& entry = packets[static_cast<std::size_t>(packet)];
        firstByte = entry.firstByte;
        lastByte = entry.lastByte;
        number = entry.number;
    } else {
        firstByte = packets.Leading(device).firstByte;
        lastByte = packets.Leading(device).lastByte;
    }
    cells[0] = EventText(static_cast<std::int64_t>(row + 1));
    cells[1] = TimeText(bytes.TimeMs(index));
    cells[1].push_back(' ');
    cells[2].clear();
    cells[3].clear();
    AppendHexByte(cells[device ? 3 : 2], bytes.Value(index));
    cells[4].clear();
    if (index == lastByte) {
        std::vector<std::uint8_t>& packetBytes = scratch.packet;
        GatherPacketBytes(bytes, firstByte, lastByte, device ? kSideDevice : kSideController,
                          packetBytes);
        // A list cell ends at its first NUL, so a description with one loses its space too.
        cells[4] = decoder.DecodeBytes(packetBytes);
        cells[4].push_back(' ');
        cells[4].resize(std::min(cells[4].size(), cells[4].find('\0')));
    }
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    cells[5] = " ";
    cells[5].append(digits, result.ptr);
    cells[5].push_back(' ');
}

}  // namespace orvane
