// What the desktop program writes from a held capture: the log of the list as it shows it, and
// the Packet View's packets as an export for Wireshark, both streamed a slice of rows at a time.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "capture/capture_file.hpp"
#include "capture/capture_model.hpp"
#include "capture/continuous_capture.hpp"
#include "views/capture_rows.hpp"
#include "views/log_writer.hpp"

namespace orvane {

class RowAnalysis;

// The log of `rows` as Save Log writes a list: title, header of the rows' view, one line a row.
// Rows are formed a slice at a time, so a day's capture never stands in memory as text. No file
// is made when there are no rows (NothingToWrite); a failure gives the reason as WriteLogFile
// does ("path: reason"). With `analysis`, each line carries the Latency and Verdict fields too.
LogWriteResult WriteCaptureRowsLog(const std::string& path, const CaptureRows& rows,
                                   const LocalDateTime& time,
                                   const RowAnalysis* analysis = nullptr);

// The Packet View's packets under `flags` of a continuous capture as an export for Wireshark:
// each packet at its absolute time, its side as the direction, its Command cell as the comment.
// False when the stream failed.
bool ExportCaptureRows(const ContinuousCapture& capture, const FilterFlags& flags,
                       const CaptureFileInfo& info, std::ostream& out);

// The same for an assembled bounded capture: its Packet View filled under `flags` and decoded
// under `protocolMode`, packet times counted from info.startTimeUs.
bool ExportPacketList(CaptureModel& model, ProtocolMode protocolMode, const FilterFlags& flags,
                      const CaptureFileInfo& info, std::ostream& out);

}  // namespace orvane
