// File helpers of the main window's File commands: paths between the widgets' text and the file
// system's bytes, reasons for failures, a plain copy, and raw stream files cut into reads.
#include "app/capture_file_io.hpp"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "app/application_name.hpp"
#include "capture/capture_model.hpp"

namespace orvane {

CaptureFileInfo RawStreamInfo(ProtocolMode protocolMode, bool continuous) {
    CaptureFileInfo info;
    info.application = kApplicationName;
    info.protocolMode = protocolMode;
    info.continuous = continuous;
    return info;
}

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString DisplayPath(const std::string& path) { return QFile::decodeName(path.c_str()); }

std::string FileNameOf(const std::string& path) {
    return QFileInfo(DisplayPath(path)).fileName().toStdString();
}

std::string ErrnoText(const std::string& path) {
    return path + ": " + std::strerror(errno != 0 ? errno : EIO);
}

std::uint64_t FileSize(std::ifstream& in) {
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::int64_t>(in.tellg());
    in.seekg(0);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

bool CopyFile(const std::string& from, const std::string& to, std::string& error) {
    errno = 0;
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        error = ErrnoText(from);
        return false;
    }
    errno = 0;
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = ErrnoText(to);
        return false;
    }
    // A capture file is never empty (its header comes first), so the copy always moves bytes.
    out << in.rdbuf();
    out.flush();
    if (!out) {
        error = ErrnoText(to);
        return false;
    }
    return true;
}

void ReadRawStream(std::ifstream& in, const std::function<bool(std::string_view)>& sink) {
    std::string buffer(static_cast<std::size_t>(kReadLimit), '\0');
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0 || !sink(std::string_view(buffer.data(), got))) break;
    }
}

}  // namespace orvane
