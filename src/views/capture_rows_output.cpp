// What the desktop program writes from a held capture: the log of the list as it shows it, and
// the Packet View's packets as an export for Wireshark, both streamed a slice of rows at a time.
#include "views/capture_rows_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "capture/wireshark_export.hpp"
#include "views/analysis_columns.hpp"
#include "views/capture_lists.hpp"
#include "views/packet_export.hpp"

namespace orvane {
namespace {

// Rows formed and written in one go: large enough to keep the file writes few, small enough to
// keep the text of a slice small.
constexpr std::uint64_t kSliceRows = 4096;

std::string ErrnoReason(const std::string& path) {
    const int error = errno;
    return path + ": " + (error != 0 ? std::strerror(error) : "the file could not be written");
}

}  // namespace

LogWriteResult WriteCaptureRowsLog(const std::string& path, const CaptureRows& rows,
                                   const LocalDateTime& time, const RowAnalysis* analysis) {
    const std::uint64_t count = rows.RowCount();
    if (count == 0) return {};
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {LogWriteResult::Status::Failed, ErrnoReason(path)};
    std::string text = LogTitleLine(time);
    if (analysis != nullptr) {
        text.append(AnalysisLogHeaderLine(rows.view()));
    } else {
        text.append(LogHeaderLine(rows.view()));
    }
    bool ok = true;
    for (std::uint64_t first = 0; ok && first < count; first += kSliceRows) {
        rows.FormRows(
            first, kSliceRows, [&](std::uint64_t, std::uint64_t item, const RowCells& cells) {
                AppendLogRow(text, cells);
                if (analysis != nullptr) {
                    AppendAnalysisLogFields(text, analysis->CellsOfItem(rows.view(), item));
                }
            });
        ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        text.clear();
    }
    ok = ok && std::fflush(file) == 0;
    LogWriteResult result{LogWriteResult::Status::Written, {}};
    if (!ok) result = {LogWriteResult::Status::Failed, ErrnoReason(path)};
    if (std::fclose(file) != 0 && ok) result = {LogWriteResult::Status::Failed, ErrnoReason(path)};
    return result;
}

bool ExportCaptureRows(const ContinuousCapture& capture, const FilterFlags& flags,
                       const CaptureFileInfo& info, std::ostream& out) {
    WiresharkExportWriter writer(out);
    if (!writer.Begin(info)) return false;
    const CaptureRows rows(capture, ViewKind::Packet, flags);
    std::vector<std::uint8_t> bytes;
    bool ok = true;
    for (std::uint64_t first = 0; ok && first < rows.RowCount(); first += kSliceRows) {
        rows.FormRows(
            first, kSliceRows, [&](std::uint64_t, std::uint64_t item, const RowCells& cells) {
                const PacketEntry& entry = capture.packets()[item];
                GatherPacketBytes(capture.bytes(), entry.firstByte, entry.lastByte,
                                  entry.direction(), bytes);
                ExportPacket packet;
                packet.timeUs = capture.AbsoluteTimeUs(entry.firstByte);
                packet.direction = entry.direction();
                packet.bytes =
                    std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                packet.description = cells[4];
                ok = ok && writer.Append(packet);
            });
    }
    out.flush();
    return ok && writer.ok();
}

bool ExportPacketList(CaptureModel& model, ProtocolMode protocolMode, const FilterFlags& flags,
                      const CaptureFileInfo& info, std::ostream& out) {
    WiresharkExportWriter writer(out);
    if (!writer.Begin(info)) return false;
    const bool ok = ForEachBoundedPacket(
        model, protocolMode, flags, info.startTimeUs, [&writer](const ExportedPacket& packet) {
            return writer.Append(
                {packet.timeUs, packet.direction, packet.bytes, packet.description});
        });
    out.flush();
    return ok && writer.ok();
}

}  // namespace orvane
