// orvane-sim --write-capture: the capture file holds the stream the simulator serves, in reads
// with receipt times, and the same options give the same file.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "capture/capture_file.hpp"
#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

constexpr std::int64_t kEpochUs = 1767571200LL * 1000000;  // 2026-01-05 00:00:00 UTC
constexpr std::size_t kReadBytes = 1000;                   // cuts through messages

TEST(SimCaptureFile, HoldsTheServedStreamInTimedReads) {
    const struct {
        const char* scenario;
        ProtocolMode protocolMode;
    } cases[] = {{"sony", ProtocolMode::kSony},
                 {"odetics", ProtocolMode::kOdetics},
                 {"vdcp", ProtocolMode::kVdcp},
                 {"noise", ProtocolMode::kSony}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        const std::vector<std::string> common = {"--scenario", c.scenario,   "--seed",
                                                 "5",          "--messages", "400"};
        const std::string served = UnitStream(Join(common, {"--rate", "fast"}));

        ScratchFolder dir;
        for (const char* name : {"a.pcapng", "b.pcapng"}) {
            ASSERT_EQ(RunProcess(Join(Join({ORVANE_SIM_PATH}, common),
                                      {"--read-bytes", std::to_string(kReadBytes),
                                       "--write-capture", dir.Path(name)}))
                          .exitCode,
                      0);
        }
        EXPECT_EQ(ReadFileBytes(dir.Path("a.pcapng")), ReadFileBytes(dir.Path("b.pcapng")));

        std::ifstream in(dir.Path("a.pcapng"), std::ios::binary);
        CaptureFileReader reader(in);
        std::string error;
        ASSERT_TRUE(reader.ReadHeader(error)) << error;
        const CaptureFileInfo& info = reader.info();
        EXPECT_EQ(info.protocolMode, c.protocolMode);
        EXPECT_TRUE(info.continuous);
        EXPECT_EQ(info.unitAddress, "127.0.0.1");
        EXPECT_EQ(info.startTimeUs, kEpochUs);
        // Full buffers until the stream's tail, in time order.
        std::string joined;
        std::int64_t lastUs = kEpochUs;
        std::size_t lastSize = kReadBytes;
        for (CaptureRead read; reader.NextRead(read);) {
            EXPECT_EQ(lastSize, kReadBytes) << "a short read before the tail";
            EXPECT_LE(read.bytes.size(), kReadBytes);
            EXPECT_GE(read.timeUs, lastUs);
            joined += read.bytes;
            lastUs = read.timeUs;
            lastSize = read.bytes.size();
        }
        EXPECT_FALSE(reader.damaged());
        EXPECT_EQ(joined, served);
        // 400 messages of a polled line span a few seconds, not microseconds or hours.
        EXPECT_GT(lastUs - kEpochUs, 1'000'000);
        EXPECT_LT(lastUs - kEpochUs, 600'000'000);
    }
}

}  // namespace
}  // namespace orvane::test
