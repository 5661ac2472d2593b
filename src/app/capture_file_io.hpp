// File helpers of the main window's File commands: paths between the widgets' text and the file
// system's bytes, reasons for failures, a plain copy, and raw stream files cut into reads.
#pragma once

#include <QString>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "capture/capture_file.hpp"

namespace orvane {

// What is known of a raw stream file: this program reads it, under `protocolMode` (Set Up's),
// continuous or bounded; the capture unit and the start time are unknown.
CaptureFileInfo RawStreamInfo(ProtocolMode protocolMode, bool continuous);

// A path as the file system takes it (its local encoding), and back for display.
std::string LocalPath(const QString& path);
QString DisplayPath(const std::string& path);

// The last part of a path, for messages and the status bar.
std::string FileNameOf(const std::string& path);

// "path: reason" from errno (an I/O error when errno says nothing).
std::string ErrnoText(const std::string& path);

// The size of an open file; the stream is left at its start.
std::uint64_t FileSize(std::ifstream& in);

// Copies a file byte for byte; false with the reason.
bool CopyFile(const std::string& from, const std::string& to, std::string& error);

// A raw stream file cut into reads of the largest socket read, as a capture would have had them;
// `sink` returns false to stop.
void ReadRawStream(std::ifstream& in, const std::function<bool(std::string_view)>& sink);

}  // namespace orvane
