// What replay and capture write at the end: the log of a view, or an export of the Packet View.
#include "cli/capture_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "capture/packet_assembly.hpp"
#include "capture/wireshark_export.hpp"
#include "cli/capture_log.hpp"
#include "cli/escape_text.hpp"
#include "views/capture_lists.hpp"
#include "views/capture_rows.hpp"
#include "views/log_writer.hpp"
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

int WriteBoundedOutput(CaptureModel& model, const CliOptions& options,
                       const CaptureOrigin& origin) {
    if (options.format == OutputFormat::kLog) return WriteCaptureLog(model, options);
    const Trace trace;
    AssembleCapture(model, options.protocolMode, trace);
    Output output(options);
    Exporter exporter(options, origin.info, output);
    ForEachBoundedPacket(model, options.protocolMode, options.show, origin.info.startTimeUs,
                         [&exporter](const ExportedPacket& packet) {
                             exporter.Add(packet);
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
    }

    void Pump() {
        rows_.Update();
        text_.clear();
        rows_.FormNewRows([this](std::uint64_t row, std::uint64_t item, const RowCells& cells) {
            if (log_) {
                AppendLogRow(text_, cells, transform_);
            } else {
                Export(row, item, cells);
            }
        });
        if (exporter_) exporter_->Flush();
        if (log_ && !text_.empty()) {
            std::ostream& out = output_.Stream();
            if (!titleWritten_) {
                // The log begins with its first row: an empty view writes nothing.
                const std::string title = LogTitleLine(CurrentLocalDateTime());
                out.write(title.data(), static_cast<std::streamsize>(title.size()));
                const std::string_view header = LogHeaderLine(options_.view);
                out.write(header.data(), static_cast<std::streamsize>(header.size()));
                titleWritten_ = true;
            }
            out.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        }
        capture_.ReleaseBefore(rows_.FirstByteNeeded(), rows_.FirstPacketNeeded());
    }

    int Finish() {
        Pump();
        if (log_ && !titleWritten_) return 0;
        return output_.Finish();
    }

  private:
    void Export(std::uint64_t row, std::uint64_t item, const RowCells& cells) {
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
        exporter_->Add(packet);
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
};

ContinuousOutput::ContinuousOutput(ContinuousCapture& capture, const CliOptions& options,
                                   const CaptureOrigin& origin)
    : impl_(std::make_unique<Impl>(capture, options, origin)) {}

ContinuousOutput::~ContinuousOutput() = default;

void ContinuousOutput::Pump() { impl_->Pump(); }

int ContinuousOutput::Finish() { return impl_->Finish(); }

}  // namespace orvane::cli
