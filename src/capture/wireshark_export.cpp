// The export for Wireshark: the serial packets of a capture, one pcapng packet each, with the
// side that sent it as the packet's direction and its description as the packet's comment.
#include "capture/wireshark_export.hpp"

#include <string>

#include "capture/capture_model.hpp"
#include "capture/pcapng_blocks.hpp"
#include "views/utf8_text.hpp"

namespace orvane {

namespace {

constexpr std::string_view kExportInterfaceDescription =
    "Serial packets: the controller's outbound, the deck's inbound";

std::uint32_t DirectionFlags(int direction) {
    if (direction == kDirectionController) return pcapng::kEpbOutbound;
    if (direction == kDirectionDevice) return pcapng::kEpbInbound;
    return 0;
}

}  // namespace

WiresharkExportWriter::WiresharkExportWriter(std::ostream& out) : out_(out) {}

bool WiresharkExportWriter::Begin(const CaptureFileInfo& info) {
    Write(pcapng::SectionHeaderBlock(info.application,
                                     CaptureInfoComments(kWiresharkExportMark, info)));
    Write(pcapng::InterfaceDescriptionBlock(pcapng::kLinkTypeUser1, CaptureUnitInterfaceName(info),
                                            kExportInterfaceDescription));
    begun_ = true;
    return ok();
}

bool WiresharkExportWriter::Append(const ExportPacket& packet) {
    if (!begun_ || packet.bytes.size() > pcapng::kMaxPacketBytes) return false;
    const pcapng::PacketBlockFrame frame = pcapng::EnhancedPacketFrame(
        0, static_cast<std::uint64_t>(packet.timeUs), packet.bytes.size(),
        Windows1252ToUtf8(packet.description), DirectionFlags(packet.direction));
    Write(frame.head);
    Write(packet.bytes);
    Write(frame.tail);
    return ok();
}

bool WiresharkExportWriter::ok() const { return out_.good(); }

void WiresharkExportWriter::Write(std::string_view bytes) {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace orvane
