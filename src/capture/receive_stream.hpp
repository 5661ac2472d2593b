// Receive stream: cuts the capture unit's byte stream into blocks and keeps the block store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "capture/capture_model.hpp"
#include "capture/trace.hpp"

namespace orvane {

// What the receive stream needs from the windows around it; the GUI supplies it, tests fake it.
class ReceiveEvents {
  public:
    virtual ~ReceiveEvents() = default;
    virtual void SetCounterText(const std::string& text) = 0;  // label beside "Packets Received:"
    virtual void SetStatusText(const std::string& text) = 0;   // part 0 of the main status bar
    virtual void EndCapture() = 0;  // the store is full: close the capture dialog
};

// The capture unit sends messages of a five-byte 0x00 marker, a 24-bit sequence number (most
// significant byte first, rising by one per message) and 3-byte entries. TCP may cut them
// anywhere and run several together; each message becomes one block of the store.
class ReceiveStream {
  public:
    // The model, trace and events are kept by reference and must outlive the stream.
    ReceiveStream(CaptureModel& model, const Trace& trace, ReceiveEvents& events);

    // Empties the block store (blockCount 0), as opening a connection to the capture unit does.
    void StartCapture();

    // A message the stream has finished, with the stamp of the read that began it.
    using MessageSink = std::function<void(std::string_view message, std::int64_t stamp)>;

    // Empties the store for a continuous capture: no block limit, and the store keeps only the
    // message still open. Every earlier message goes to `sink` as soon as the next one begins,
    // and the last one at FinishCapture. blockCount goes on counting the messages; the counter,
    // the status text and messageText are left alone unless the debug trace is on.
    void StartContinuousCapture(MessageSink sink);

    // The end of a continuous capture: the open message goes to the sink.
    void FinishCapture();

    // One socket read's bytes (at most kReadLimit). A read that starts with the marker opens a
    // new message, unless its leading 0x00 bytes finish the last message (its header, its last
    // entry, or the next header begun at its end); any other read continues the last message.
    // A message is cut where the next message's header (sequence number plus one) begins on an
    // entry boundary; a header still incomplete at the end of the data waits for the next read.
    // A message holding any other run of five 0x00 bytes is dropped and reported on the trace.
    // The message that finds 1000 blocks stored ends the capture: it and everything after it
    // is discarded. Before the first block, the bytes ahead of the first marker are dropped
    // and a tail that can begin a header (cut off by the network) joins the next read.
    // `stamp` is kept with each message the read begins (a continuous capture passes the time
    // of receipt) and handed to the sink with it.
    void OnReceive(std::string_view data, std::int64_t stamp = 0);

    // Hexadecimal form of the latest read or stored message.
    const std::string& messageText() const { return messageText_; }

    // A message found 1000 blocks stored: the capture has ended.
    bool storeFull() const { return storeFull_; }

  private:
    std::string& LastBlock();
    std::size_t LastBlockIndex() const;
    void AppendToLastBlock(std::string_view data);
    void TakeMessage(std::string_view message);
    void KeepHeaderStart(std::string_view data);

    CaptureModel& model_;
    const Trace& trace_;
    ReceiveEvents& events_;
    std::string messageText_;
    std::string rest_;         // the part cut off the last block, handled as new messages
    std::string headerStart_;  // before the first block: up to 7 bytes that may begin a header
    bool storeFull_ = false;
    MessageSink sink_;             // set for a continuous capture
    std::int64_t stamp_ = 0;       // of the read being handled
    std::int64_t blockStamp_ = 0;  // of the read that began the open message
};

}  // namespace orvane
