// What replay and capture write at the end: the log of a view, or an export of the Packet View.
#include "cli/capture_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "capture/packet_assembly.hpp"
#include "capture/wireshark_export.hpp"
#include "cli/analysis_columns.hpp"
#include "cli/capture_log.hpp"
#include "cli/escape_text.hpp"
#include "views/capture_lists.hpp"
#include "views/capture_rows.hpp"
#include "views/log_writer.hpp"
#include "views/packet_analysis.hpp"
#include "views/packet_export.hpp"

namespace orvane::cli {
namespace {

// --out FILE or standard output, opened on first use, so an output with nothing to write
// creates no file.
class Output {
  public:
    explicit Output(const CliOptions& options) : path_(options.outPath) {}

    std::ostream& Stream() {
        if (path_.empty()) return std::cout;
        if (!file_.is_open()) {
            errno = 0;
            file_.open(path_, std::ios::binary | std::ios::trunc);
            openError_ = errno;
        }
        return file_;
    }

    // 0, or 1 with the reason on standard error.
    int Finish() {
        std::ostream& out = Stream();
        out.flush();
        if (path_.empty()) {
            if (out.good()) return 0;
            std::fprintf(stderr, "orvane-cli: cannot write the output: %s\n",
                         std::strerror(errno != 0 ? errno : EIO));
            return 1;
        }
        if (file_.is_open()) file_.close();
        if (!file_.fail()) return 0;
        const int error = openError_ != 0 ? openError_ : (errno != 0 ? errno : EIO);
        std::fprintf(stderr, "orvane-cli: cannot write %s: %s\n", path_.c_str(),
                     std::strerror(error));
        return 1;
    }

  private:
    std::string path_;
    std::ofstream file_;
    int openError_ = 0;
};

// The export under --format, fed one packet at a time.
class Exporter {
  public:
    Exporter(const CliOptions& options, const CaptureFileInfo& info, Output& output)
        : format_(options.format), out_(output.Stream()), pcapng_(out_) {
        if (format_ == OutputFormat::kPcapng) pcapng_.Begin(info);
    }

    void Add(const ExportedPacket& packet) {
        if (format_ == OutputFormat::kJsonl) {
            AppendJsonlPacketLine(lines_, packet);
            if (lines_.size() >= kFlushBytes) Flush();
            return;
        }
        ExportPacket block;
        block.timeUs = packet.timeUs;
        block.direction = packet.direction;
        block.bytes = packet.bytes;
        block.description = packet.description;
        pcapng_.Append(block);
    }

    // Hands the lines gathered so far to the output.
    void Flush() {
        out_.write(lines_.data(), static_cast<std::streamsize>(lines_.size()));
        lines_.clear();
    }

  private:
    static constexpr std::size_t kFlushBytes = 1 << 16;
    OutputFormat format_;
    std::ostream& out_;
    WiresharkExportWriter pcapng_;
    std::string lines_;
};

}  // namespace

int WriteBoundedOutput(CaptureModel& model, const CliOptions& options, const CaptureOrigin& origin,
                       const ContinuousCapture& sameReads) {
    ReportProtocolFit(sameReads);
    if (options.format == OutputFormat::kLog) return WriteCaptureLog(model, options, &sameReads);
    const Trace trace;
    AssembleCapture(model, options.protocolMode, trace);
    Output output(options);
    Exporter exporter(options, origin.info, output);
    // The Packet View's row r over the same reads is the list's row r.
    std::unique_ptr<CaptureRows> rows;
    std::unique_ptr<PacketAnalysis> analysis;
    if (options.format == OutputFormat::kJsonl) {
        rows = std::make_unique<CaptureRows>(sameReads, ViewKind::Packet, options.show);
        analysis = std::make_unique<PacketAnalysis>(sameReads);
    }
    std::string verdict;
    ForEachBoundedPacket(model, options.protocolMode, options.show, origin.info.startTimeUs,
                         [&](const ExportedPacket& packet) {
                             if (!analysis || packet.number > rows->RowCount()) {
                                 exporter.Add(packet);
                                 return true;
                             }
                             ExportedPacket analysed = packet;
                             const auto p =
                                 static_cast<std::size_t>(rows->ItemOfRow(packet.number - 1));
                             analysed.latencyMs = analysis->LatencyMs(p);
                             verdict = analysis->VerdictText(p);
                             analysed.verdict = verdict;
                             exporter.Add(analysed);
                             return true;
                         });
    exporter.Flush();
    return output.Finish();
}

class ContinuousOutput::Impl {
  public:
    Impl(ContinuousCapture& capture, const CliOptions& options, const CaptureOrigin& origin)
        : capture_(capture),
          options_(options),
          log_(options.format == OutputFormat::kLog),
          rows_(capture, log_ ? options.view : ViewKind::Packet, options.show),
          output_(options) {
        if (!log_) exporter_ = std::make_unique<Exporter>(options, origin.info, output_);
        if (options.escape) transform_ = [](std::string_view cell) { return EscapeText(cell); };
        if ((log_ && options.columns == LogColumns::kAnalysis) ||
            options.format == OutputFormat::kJsonl) {
            analysis_ = std::make_unique<PacketAnalysis>(capture);
        }
    }

    void Pump() {
        rows_.Update();
        if (analysis_) analysis_->Update();
        text_.clear();
        if (analysis_) WriteHeldRows();
        rows_.FormNewRows([this](std::uint64_t row, std::uint64_t item, const RowCells& cells) {
            TakeRow(row, item, cells);
        });
        if (exporter_) exporter_->Flush();
        if (log_ && !text_.empty()) {
            std::ostream& out = output_.Stream();
            if (!titleWritten_) {
                // The log begins with its first row: an empty view writes nothing.
                const std::string title = LogTitleLine(CurrentLocalDateTime());
                out.write(title.data(), static_cast<std::streamsize>(title.size()));
                const std::string header = analysis_ ? AnalysisHeaderLine(options_.view)
                                                     : std::string(LogHeaderLine(options_.view));
                out.write(header.data(), static_cast<std::streamsize>(header.size()));
                titleWritten_ = true;
            }
            out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        }
        // The note reads the capture's first bytes, which the first release may free.
        if (!fitChecked_ && (capture_.bytes().size() >= kProtocolFitBytes || capture_.finished())) {
            fitChecked_ = true;
            ReportProtocolFit(capture_);
        }
        capture_.ReleaseBefore(rows_.FirstByteNeeded(), rows_.FirstPacketNeeded());
        if (analysis_) analysis_->ReleaseBefore(rows_.FirstPacketNeeded());
    }

    int Finish() {
        Pump();
        if (log_ && !titleWritten_) return 0;
        return output_.Finish();
    }

  private:
    // A formed row whose packet's verdict may not be final yet, with what writing it needs.
    struct HeldRow {
        std::uint64_t row = 0;
        std::int64_t packet = -1;  // the packet whose latency and verdict it shows, or -1
        RowCells cells;
        std::string bytes;  // an export's packet
        std::int64_t timeUs = 0;
        std::int32_t direction = 0;
    };

    void TakeRow(std::uint64_t row, std::uint64_t item, const RowCells& cells) {
        std::int64_t packet = -1;
        if (analysis_) {
            packet = PacketOfRow(capture_, rows_.view(), item);
            // A row waits behind a held one, or until its command's wait is decided.
            if (!held_.empty() || !IsFinal(packet)) {
                Hold(row, item, packet, cells);
                return;
            }
        }
        if (log_) {
            WriteLogRow(cells, packet);
            return;
        }
        ExportedPacket exported = ExportOf(row, item, cells);
        WriteExport(exported, packet);
    }

    bool IsFinal(std::int64_t packet) const {
        return packet < 0 || static_cast<std::size_t>(packet) < analysis_->AnalyzedCount();
    }

    // The export's packet of a row; its bytes stay in bytes_ until the next row.
    ExportedPacket ExportOf(std::uint64_t row, std::uint64_t item, const RowCells& cells) {
        const PacketEntry& entry = capture_.packets()[item];
        GatherPacketBytes(capture_.bytes(), entry.firstByte, entry.lastByte, entry.direction(),
                          bytes_);
        ExportedPacket packet;
        packet.number = row + 1;
        packet.timeText = cells[1];
        packet.timeUs = capture_.AbsoluteTimeUs(entry.firstByte);
        packet.direction = entry.direction();
        packet.bytes =
            std::string_view(reinterpret_cast<const char*>(bytes_.data()), bytes_.size());
        packet.description = cells[4];
        return packet;
    }

    // A row out, with the latency and verdict of `packet` when the analysis is on (-1: none).
    void WriteLogRow(const RowCells& cells, std::int64_t packet) {
        AppendLogRow(text_, cells, transform_);
        if (!analysis_) return;
        if (packet < 0) {
            AppendAnalysisCells(text_, {}, {});
            return;
        }
        const auto p = static_cast<std::size_t>(packet);
        AppendAnalysisCells(text_, analysis_->LatencyText(p), analysis_->VerdictText(p));
    }

    void WriteExport(ExportedPacket& exported, std::int64_t packet) {
        std::string verdict;
        if (analysis_ && packet >= 0) {
            const auto p = static_cast<std::size_t>(packet);
            exported.latencyMs = analysis_->LatencyMs(p);
            verdict = analysis_->VerdictText(p);
            exported.verdict = verdict;
        }
        exporter_->Add(exported);
    }

    void Hold(std::uint64_t row, std::uint64_t item, std::int64_t packet, const RowCells& cells) {
        HeldRow& held = held_.emplace_back();
        held.row = row;
        held.packet = packet;
        held.cells = cells;
        if (log_) return;
        const ExportedPacket exported = ExportOf(row, item, cells);
        held.bytes = exported.bytes;
        held.timeUs = exported.timeUs;
        held.direction = exported.direction;
    }

    // The held rows, in order, as far as their verdicts are final.
    void WriteHeldRows() {
        while (!held_.empty() && IsFinal(held_.front().packet)) {
            const HeldRow& held = held_.front();
            if (log_) {
                WriteLogRow(held.cells, held.packet);
            } else {
                ExportedPacket exported;
                exported.number = held.row + 1;
                exported.timeText = held.cells[1];
                exported.timeUs = held.timeUs;
                exported.direction = held.direction;
                exported.bytes = held.bytes;
                exported.description = held.cells[4];
                WriteExport(exported, held.packet);
            }
            held_.pop_front();
        }
    }

    ContinuousCapture& capture_;
    const CliOptions& options_;
    bool log_;
    CaptureRows rows_;
    Output output_;
    std::unique_ptr<Exporter> exporter_;
    LogCellTransform transform_;
    std::string text_;
    std::vector<std::uint8_t> bytes_;
    bool titleWritten_ = false;
    bool fitChecked_ = false;
    std::unique_ptr<PacketAnalysis> analysis_;  // --columns analysis or jsonl
    std::deque<HeldRow> held_;
};

ContinuousOutput::ContinuousOutput(ContinuousCapture& capture, const CliOptions& options,
                                   const CaptureOrigin& origin)
    : impl_(std::make_unique<Impl>(capture, options, origin)) {}

ContinuousOutput::~ContinuousOutput() = default;

void ContinuousOutput::Pump() { impl_->Pump(); }

int ContinuousOutput::Finish() { return impl_->Finish(); }

}  // namespace orvane::cli
