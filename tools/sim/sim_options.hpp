// The simulator's command line.
#pragma once

#include <cstdint>
#include <string>

#include "sim/message_source.hpp"

namespace orvane::sim {

enum class Pace {
    kRealTime,  // each message when the capture unit would send it
    kFast,      // as fast as the connection takes them
    kRate,      // a fixed number of messages a second
};

struct SimOptions {
    int port = 0;  // 0: any free port
    std::string scenario;
    std::string file;
    SourceOptions source;
    Pace pace = Pace::kRealTime;
    double ratePerSecond = 0;
    int coalesce = 1;            // messages per write
    int split = 0;               // bytes per write piece; 0: whole writes
    std::int64_t messages = -1;  // then close; -1: no limit
    std::int64_t closeAfter = -1;
    std::int64_t idleAfter = -1;
    int partial = 0;  // bytes of one more message sent before closing
    bool reset = false;
    std::int64_t connections = -1;  // then exit; -1: serve until a signal
    bool verbose = false;
    bool help = false;
    std::string writeCapture;  // write the stream to this capture file instead of serving it
    int readBytes = 4096;      // bytes a read of that file holds at most
};

// Fills `options` from the arguments; returns an empty text, or a one-line error.
std::string ParseSimOptions(int argc, char** argv, SimOptions& options);

std::string SimUsage();

}  // namespace orvane::sim
