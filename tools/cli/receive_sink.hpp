// The receive stream's window events, as the headless front end takes them.
#pragma once

#include <string>

#include "capture/receive_stream.hpp"

namespace orvane::cli {

// No counter label or status bar to update; the end of the capture is remembered.
class HeadlessReceiveEvents final : public ReceiveEvents {
  public:
    void SetCounterText(const std::string&) override {}
    void SetStatusText(const std::string&) override {}
    void EndCapture() override { ended = true; }

    bool ended = false;
};

}  // namespace orvane::cli
