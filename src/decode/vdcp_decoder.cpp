// The VDCP decoder: one English description for one VDCP message or acknowledge.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "decode/decoder.hpp"
#include "decode/text_format.hpp"
#include "decode/vdcp_names.hpp"

namespace orvane {

namespace {

// Bytes kept per message; fields beyond the 256th are ignored.
constexpr int kMaxVdcpBytes = 256;

constexpr std::int64_t kAck = 0x04;
constexpr std::int64_t kNak = 0x05;

// The first data byte; the last byte of every message is its checksum.
constexpr int kFirstDataIndex = 4;

// Pairs of (CMD-1 with its low nibble cleared, CMD-2) whose data the description shows.
constexpr int Pair(int cmd1, int cmd2) { return (cmd1 << 8) | cmd2; }

struct VdcpMessage {
    std::array<std::int64_t, kMaxVdcpBytes> bytes{};  // field k+1 of the text, 0 when missing
    int fieldCount = 0;                               // every field, also those beyond 256

    // Index of the last data byte (the one before the checksum), within the kept bytes.
    int LastDataIndex() const { return fieldCount - 2 < kMaxVdcpBytes ? fieldCount - 2 : 255; }
};

VdcpMessage ReadMessage(std::string_view text) {
    VdcpMessage message;
    std::size_t start = 0;
    while (true) {
        const std::size_t space = text.find(' ', start);
        const std::string_view field = text.substr(start, space - start);
        if (message.fieldCount < kMaxVdcpBytes) {
            message.bytes[static_cast<std::size_t>(message.fieldCount)] = ReadHexField(field);
        }
        ++message.fieldCount;
        if (space == std::string_view::npos) return message;
        start = space + 1;
    }
}

// Data bytes from `first` to the last data byte as characters, e.g. an identifier or a device
// name in ASCII; only the low 8 bits of a malformed wider field count.
void AppendDataCharacters(const VdcpMessage& message, int first, bool backspaceAsSpace,
                          std::string& description) {
    for (int k = first; k <= message.LastDataIndex(); ++k) {
        char c = static_cast<char>(message.bytes[static_cast<std::size_t>(k)] & 0xFF);
        if (backspaceAsSpace && c == '\b') c = ' ';
        description += c;
    }
}

// Port state words of a State Status reply, by bit of its state byte from bit 0 up.
constexpr std::array<std::string_view, 8> kPortStateWords = {
    " Idle", " Cue/Init",      " Play or Record", " Still",
    " Jog",  " Variable Play", " Port Busy",      " Cue/Init Done",
};

}  // namespace

std::string DecodeVdcp(std::string_view packetText) {
    while (!packetText.empty() && packetText.back() == ' ') packetText.remove_suffix(1);
    if (packetText.empty()) return {};

    const VdcpMessage message = ReadMessage(packetText);
    const auto& bytes = message.bytes;

    // Acknowledges: ACK is one byte; NAK is one byte or NAK followed by its error byte.
    if (message.fieldCount == 1) {
        if (bytes[0] == kAck) return "Ack";
        if (bytes[0] == kNak) return "Nak";
        return {};
    }
    if (message.fieldCount == 2 && bytes[0] == kNak) return "Nak";

    const std::int64_t commandType = bytes[2] >> 4;
    const std::int64_t commandCode = bytes[3];
    if (commandType > 8 || commandCode > 0xFF) return {};

    const int type = static_cast<int>(commandType);
    const int code = static_cast<int>(commandCode);
    std::string description{VdcpCommandName(type, code)};

    switch (Pair(type << 4, code)) {
        case Pair(0x30, 0x85):  // State Status: the port's states, when the deck sends them
            if (bytes[4] == 1) {
                description += ':';
                for (std::size_t bit = 0; bit < kPortStateWords.size(); ++bit) {
                    if ((bytes[5] >> bit) & 1) description += kPortStateWords[bit];
                }
            }
            break;
        case Pair(0x30, 0x86):  // Position: time code from data bytes 5, 4, 3, 2
            description += ": ";
            description += FormatTimeCode(
                static_cast<int>(bytes[8] & 0xFF), static_cast<int>(bytes[7] & 0xFF),
                static_cast<int>(bytes[6] & 0xFF), static_cast<int>(bytes[5] & 0xFF));
            break;
        case Pair(0x30, 0x88):  // Device Type
        case Pair(0x20, 0x23):  // Record Init
        case Pair(0x20, 0x24):  // Play Cue
        case Pair(0x20, 0x26):  // Delete ID
        case Pair(0x20, 0x27):  // Get From Archive
        case Pair(0x20, 0x2A):  // Send TO Archive
        case Pair(0x20, 0x2E):  // System Delete ID
            description += ": ";
            AppendDataCharacters(message, kFirstDataIndex, false, description);
            break;
        case Pair(0x30, 0x91):  // List of ID's: from the third data byte, code 8 as a space
            description += ": ";
            AppendDataCharacters(message, kFirstDataIndex + 2, true, description);
            break;
        default:
            break;
    }
    return description;
}

}  // namespace orvane
