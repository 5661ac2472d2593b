// What the desktop program writes from a held capture: the log of the list as it shows it, and
// the Packet View's packets as an export for Wireshark, both streamed a slice of rows at a time.
#include "views/capture_rows_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "capture/wireshark_export.hpp"
#include "views/list_views.hpp"

namespace orvane {
namespace {

// Rows formed and written in one go: large enough to keep the file writes few, small enough to
// keep the text of a slice small.
constexpr std::uint64_t kSliceRows = 4096;

std::string ErrnoReason(const std::string& path) {
    const int error = errno;
    return path + ": " + (error != 0 ? std::strerror(error) : "the file could not be written");
}

// The view and filter boxes an export fills the Packet View under.
class ExportViewState final : public ViewState {
  public:
    explicit ExportViewState(const FilterFlags& flags) : flags_(flags) {}
    bool IsByteViewSelected() const override { return false; }
    bool IsPacketViewSelected() const override { return true; }
    FilterFlags GetFilterFlags() const override { return flags_; }
    void SetStatusText(std::string_view) override {}
    void ShowList(ViewKind) override {}

  private:
    FilterFlags flags_;
};

// Seconds with three decimals back to milliseconds: "0012.345" is 12345.
std::int64_t TimeTextMs(std::string_view text) {
    std::int64_t ms = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') ms = ms * 10 + (c - '0');
    }
    return ms;
}

// "61 0C 03 70 " back to its bytes.
std::string BytesOfHexText(std::string_view text) {
    const auto digit = [](char c) { return c <= '9' ? c - '0' : c - 'A' + 10; };
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
        bytes.push_back(static_cast<char>(digit(text[i]) * 16 + digit(text[i + 1])));
    }
    return bytes;
}

}  // namespace

LogWriteResult WriteCaptureRowsLog(const std::string& path, const CaptureRows& rows,
                                   const LocalDateTime& time) {
    const std::uint64_t count = rows.RowCount();
    if (count == 0) return {};
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {LogWriteResult::Status::Failed, ErrnoReason(path)};
    std::string text = LogTitleLine(time);
    text.append(LogHeaderLine(rows.view()));
    bool ok = true;
    for (std::uint64_t first = 0; ok && first < count; first += kSliceRows) {
        rows.FormRows(first, kSliceRows,
                      [&text](std::uint64_t, std::uint64_t, const RowCells& cells) {
                          AppendLogRow(text, cells);
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

bool ExportPacketList(CaptureModel& model, std::int32_t protocolMode, const FilterFlags& flags,
                      const CaptureFileInfo& info, std::ostream& out) {
    WiresharkExportWriter writer(out);
    if (!writer.Begin(info)) return false;
    ListViews views;
    Decoder decoder(protocolMode);
    ExportViewState viewState(flags);
    views.RefreshList(model, decoder, viewState, Trace{});
    const ListModel& list = views.packetList;
    const std::int64_t firstMs = model.byteCount > 0 ? model.capturedBytes[1].timeMs : 0;
    bool ok = true;
    for (int row = 0; ok && row < list.GetItemCount(); ++row) {
        const std::string bytes = BytesOfHexText(list.CellView(row, 3));
        ExportPacket packet;
        packet.timeUs = info.startTimeUs + (TimeTextMs(list.CellView(row, 1)) - firstMs) * 1000;
        packet.direction = list.CellView(row, 2) == "VTR" ? kSideDevice : kSideController;
        packet.bytes = bytes;
        packet.description = list.CellView(row, 4);
        ok = writer.Append(packet);
    }
    out.flush();
    return ok && writer.ok();
}

}  // namespace orvane
