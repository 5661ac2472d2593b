// Shared pieces of the front-end tests: paths, log comparison, hand-made capture-unit messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

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

// One capture-unit message: marker, sequence number, then (direction code, tick, byte) entries.
struct Entry {
    std::uint8_t code;
    int tick;
    std::uint8_t value;
};
std::string UnitMessage(std::uint32_t sequence, std::initializer_list<Entry> entries);

// Bytes of one side, all at one tick.
std::vector<Entry> SideBytes(std::uint8_t code, int tick, std::initializer_list<int> values);
std::string UnitMessage(std::uint32_t sequence, const std::vector<Entry>& entries);

}  // namespace orvane::test
