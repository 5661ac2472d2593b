// Text at the display edge: the core's Windows-1252 bytes to and from the widgets' Unicode.
#include "platform/text_codec.hpp"

#include "views/utf8_text.hpp"

namespace orvane {

QString FromWindows1252(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) *out++ = QChar(Windows1252CodePoint(static_cast<unsigned char>(c)));
    return text;
}

std::string ToWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const int byte = Windows1252Byte(ch.unicode());
        bytes.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    }
    return bytes;
}

}  // namespace orvane
