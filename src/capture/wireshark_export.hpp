// The export for Wireshark: the serial packets of a capture, one pcapng packet each, with the
// side that sent it as the packet's direction and its description as the packet's comment.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

#include "capture/capture_file.hpp"

namespace orvane {

struct ExportPacket {
    std::int64_t timeUs = 0;       // microseconds since 1970 UTC
    int direction = 0;             // 0x80 controller, 0xC0 deck
    std::string_view bytes;        // the serial bytes of the packet
    std::string_view description;  // Windows-1252; empty writes no comment
};

// The controller's packets are outbound, the deck's inbound, as seen from the controller's end
// of the line.
class WiresharkExportWriter {
  public:
    explicit WiresharkExportWriter(std::ostream& out);

    // The section header (application and the capture's comments) and the interface.
    bool Begin(const CaptureFileInfo& info);
    // One packet; false when it cannot be written or Begin has not been.
    bool Append(const ExportPacket& packet);
    // The stream is still good.
    bool ok() const;

  private:
    void Write(std::string_view bytes);

    std::ostream& out_;
    bool begun_ = false;
};

}  // namespace orvane
