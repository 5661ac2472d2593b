// orvane-sim --write-capture: the capture file holds the stream the simulator serves, in reads
// with receipt times, and the same options give the same file.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_file.hpp"
#include "child_process.hpp"

namespace orvane::test {
namespace {

constexpr std::int64_t kEpochUs = 1767571200LL * 1000000;  // 2026-01-05 00:00:00 UTC
constexpr std::size_t kReadBytes = 1000;                   // cuts through messages

struct CaptureContent {
    CaptureFileInfo info;
    std::vector<CaptureRead> reads;
    bool damaged = false;
};

CaptureContent ReadCapture(const std::string& path) {
    CaptureContent content;
    std::ifstream in(path, std::ios::binary);
    CaptureFileReader reader(in);
    std::string error;
    EXPECT_TRUE(reader.ReadHeader(error)) << error;
    content.info = reader.info();
    CaptureRead read;
    while (reader.NextRead(read)) content.reads.push_back(read);
    content.damaged = reader.damaged();
    return content;
}

struct ScenarioCase {
    const char* scenario;
    std::int32_t protocolMode;
};

TEST(SimCaptureFile, HoldsTheServedStreamInTimedReads) {
    const ScenarioCase cases[] = {{"sony", 0}, {"odetics", 1}, {"vdcp", 2}, {"noise", 0}};
    for (const ScenarioCase& c : cases) {
        SCOPED_TRACE(c.scenario);
        const std::vector<std::string> common = {"--scenario", c.scenario,   "--seed",
                                                 "5",          "--messages", "400"};
        std::vector<std::string> serve = common;
        serve.insert(serve.end(), {"--rate", "fast"});
        Simulator sim(serve);
        const std::string served = ReadWholeStream(sim.port());

        TempDir dir;
        for (const char* name : {"a.pcapng", "b.pcapng"}) {
            std::vector<std::string> write = {ORVANE_SIM_PATH};
            write.insert(write.end(), common.begin(), common.end());
            write.insert(write.end(), {"--read-bytes", std::to_string(kReadBytes),
                                       "--write-capture", dir.Path(name)});
            ASSERT_EQ(RunProcess(write).exitCode, 0);
        }
        EXPECT_EQ(ReadFileBytes(dir.Path("a.pcapng")), ReadFileBytes(dir.Path("b.pcapng")));

        const CaptureContent content = ReadCapture(dir.Path("a.pcapng"));
        EXPECT_FALSE(content.damaged);
        EXPECT_EQ(content.info.protocolMode, c.protocolMode);
        EXPECT_TRUE(content.info.continuous);
        EXPECT_EQ(content.info.unitAddress, "127.0.0.1");
        EXPECT_EQ(content.info.startTimeUs, kEpochUs);
        ASSERT_FALSE(content.reads.empty());
        std::string joined;
        std::int64_t lastUs = kEpochUs;
        for (std::size_t i = 0; i < content.reads.size(); ++i) {
            const CaptureRead& read = content.reads[i];
            joined += read.bytes;
            // Full buffers until the stream's tail.
            if (i + 1 < content.reads.size()) {
                EXPECT_EQ(read.bytes.size(), kReadBytes) << i;
            }
            EXPECT_LE(read.bytes.size(), kReadBytes) << i;
            EXPECT_GE(read.timeUs, lastUs) << i;
            lastUs = read.timeUs;
        }
        EXPECT_EQ(joined, served);
        // 400 messages of a polled line span a few seconds, not microseconds or hours.
        EXPECT_GT(lastUs - kEpochUs, 1'000'000);
        EXPECT_LT(lastUs - kEpochUs, 600'000'000);
    }
}

}  // namespace
}  // namespace orvane::test
