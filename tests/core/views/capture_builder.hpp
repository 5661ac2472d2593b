// Builds small capture models by hand for the view tests: bytes with their packet numbers, and
// packet lines made from them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "capture/capture_model.hpp"
#include "views/row_text.hpp"

namespace orvane::testing {

inline constexpr int kCtrl = 0x80;
inline constexpr int kDeck = 0xC0;

class CaptureBuilder {
  public:
    CaptureBuilder() { model_.packetLines.clear(); }

    // One byte at the next index; returns that index.
    int AddByte(int direction, int timeMs, int value, int packetNo, int blockSeq = 1) {
        const int index = ++model_.byteCount;
        model_.capturedBytes[static_cast<std::size_t>(index)] = {blockSeq, timeMs, direction, value,
                                                                 packetNo};
        return index;
    }

    // A whole packet: its bytes one millisecond apart from `timeMs` under a new packet number,
    // and its packet line. Returns the packet's hexadecimal text.
    std::string AddPacket(int direction, int timeMs, std::initializer_list<int> values,
                          int blockSeq = 1) {
        const int packetNo = ++packetCounter_;
        std::string data;
        int first = 0;
        int t = timeMs;
        for (int value : values) {
            const int index = AddByte(direction, t++, value, packetNo, blockSeq);
            if (first == 0) first = index;
            AppendHexByte(data, value);
        }
        AddLine(direction, timeMs, data, first);
        return data;
    }

    // A packet line only, as packet assembly would store it.
    void AddLine(int direction, int timeMs, const std::string& data, int firstByteIndex = 0) {
        std::string text(1, static_cast<char>(direction));
        text += TimeText(timeMs);
        text += '\t';
        text += data;
        model_.packetLines.push_back({text, firstByteIndex});
        model_.lastPacketIndex = static_cast<int>(model_.packetLines.size()) - 1;
    }

    CaptureModel& model() { return model_; }

  private:
    CaptureModel model_;
    int packetCounter_ = 0;
};

}  // namespace orvane::testing
