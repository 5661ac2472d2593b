// Shared pieces of the front-end tests: data paths and log comparison.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "child_process.hpp"

namespace orvane::test {

inline std::string DataPath(const std::string& name) {
    return std::string(ORVANE_TEST_DATA_DIR) + "/cli/" + name;
}

// The log without its title line, whose date and time change from run to run.
inline std::string LogBody(const std::string& log) {
    const std::size_t end = log.find("\r\n");
    return end == std::string::npos ? std::string() : log.substr(end + 2);
}

// The title line: four TABs, "Orvane Log ", MM-DD-YYYY HH:MM:SS, CR LF.
testing::AssertionResult HasTitleLine(const std::string& log);

// Compares two log bodies, naming the first differing line.
testing::AssertionResult SameLines(const std::string& expected, const std::string& actual);

}  // namespace orvane::test
