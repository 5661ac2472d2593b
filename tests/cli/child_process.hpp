// Running orvane-cli and orvane-sim as child processes, every wait bounded.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "scratch_folder.hpp"

namespace orvane::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when killed by a signal or by the time limit
    bool timedOut = false;
    std::string out;
    std::string err;
};

// A started child whose standard input, output and error are files of its own. The destructor
// kills a child that is still running, so a failing test never leaves processes behind.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& argv, const std::string& input);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads standard output up to and including the first LF; empty when none came in time.
    std::string ReadLine(int timeoutMs);

    void Signal(int signal) const;

    // Waits for the exit and collects the output; after timeoutMs the child is killed and the
    // result says timedOut.
    ProcessResult Finish(int timeoutMs);

  private:
    ScratchFolder files_;
    pid_t pid_ = -1;
    std::size_t outRead_ = 0;  // bytes of standard output already returned by ReadLine
};

// Runs a program to its end with `input` on its standard input.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = {},
                         int timeoutMs = 30000);

// A running orvane-sim on a free loopback port, stopped by SIGTERM when the test ends.
class Simulator {
  public:
    explicit Simulator(std::vector<std::string> options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    int port() const { return port_; }
    // Stops the simulator and returns how it ended.
    ProcessResult Stop();

  private:
    ChildProcess process_;
    int port_ = 0;
    bool stopped_ = false;
};

// All bytes one connection to 127.0.0.1:port delivers until the peer closes it.
std::string ReadWholeStream(int port, int timeoutMs = 20000);

// A loopback port with nothing listening on it.
int UnusedLoopbackPort();

// Lines ending in CR LF (or LF alone), without their ends.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace orvane::test
