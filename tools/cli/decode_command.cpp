// orvane-cli decode: packet texts in, one description per line out.
#include "cli/decode_command.hpp"

#include <sys/types.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/escape_text.hpp"
#include "decode/decoder.hpp"

namespace orvane::cli {

int RunDecode(const CliOptions& options, std::FILE* in, std::FILE* out) {
    // One decoder for the whole input: a Status Sense request on one line tells how the status
    // reply on a later line is read, as in a list fill.
    Decoder decoder(options.protocolMode);
    char* buffer = nullptr;
    std::size_t capacity = 0;
    ssize_t length = 0;
    bool writeFailed = false;
    // getline keeps every byte, NULs included, and the line's LF.
    while ((length = ::getline(&buffer, &capacity, in)) >= 0) {
        std::string_view line(buffer, static_cast<std::size_t>(length));
        if (!line.empty() && line.back() == '\n') {
            line.remove_suffix(1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        }
        std::string description = decoder.DecodePacket(line);
        if (options.escape) description = EscapeText(description);
        description.push_back('\n');
        if (std::fwrite(description.data(), 1, description.size(), out) != description.size()) {
            writeFailed = true;
            break;
        }
    }
    std::free(buffer);
    if (std::fflush(out) != 0 || std::ferror(out)) writeFailed = true;
    if (writeFailed) {
        std::fprintf(stderr, "orvane-cli: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return 0;
}

}  // namespace orvane::cli
