// The simulator's listening socket and the stream it sends on each connection.
#pragma once

#include <csignal>
#include <string>

#include "sim/sim_options.hpp"

namespace orvane::sim {

// Set by SIGINT and SIGTERM; every wait in the server checks it.
extern volatile std::sig_atomic_t stopRequested;

// Listens on 127.0.0.1, prints the port, serves connections one after another. Returns the
// process exit status.
int RunServer(const SimOptions& options, const std::string& fileContent);

}  // namespace orvane::sim
