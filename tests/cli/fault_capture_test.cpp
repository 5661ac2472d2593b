// orvane-cli capture against a misbehaving capture unit on loopback: what is kept, what the user
// is told (one line on standard error saying why the capture ended), and that it always ends.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "child_process.hpp"
#include "cli_test_support.hpp"

namespace orvane::test {
namespace {

constexpr int kCaptureTimeoutMs = 60000;
constexpr std::size_t kHeaderSize = 8;

constexpr const char* kClosed = "the capture unit closed the connection";

// A capture that ended by itself, with exit status 0 and one line saying why.
void ExpectEnd(const ProcessResult& result, const std::string& reason, int messages) {
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "orvane-cli: capture ended: " + reason + "; " + std::to_string(messages) +
                              " messages\n");
}

ProcessResult CaptureFrom(int port, const std::vector<std::string>& options) {
    return RunProcess(CaptureArgs(port, options), {}, kCaptureTimeoutMs);
}

ProcessResult ReplayFiles(const std::vector<std::string>& options,
                          const std::vector<std::string>& files) {
    return RunCli(Join(Join({"replay"}, options), files));
}

// The log body of a replay of `bytes` as one file.
std::string ReplayBody(const ScratchFolder& dir, const std::string& bytes,
                       const std::vector<std::string>& options = {}) {
    const std::string path = dir.Path("replay-input.bin");
    WriteFileBytes(path, bytes);
    return LogBody(ReplayFiles(options, {path}).out);
}

// Everything a simulator with these options sends on one connection.
std::string Sent(const std::vector<std::string>& options) {
    return UnitStream(Join(options, {"--rate", "fast", "--connections", "1"}));
}

// The messages of a stream of controller and deck entries: an entry starts with a byte of 0x80
// or more, so five 0x00 bytes on an entry boundary start the next header.
std::vector<std::string> CutMessages(const std::string& stream) {
    std::vector<std::string> messages;
    for (std::size_t at = 0, end; at < stream.size(); at = end) {
        for (end = at + kHeaderSize; end < stream.size(); end += 3) {
            if (stream.compare(end, 5, std::string(5, '\0')) == 0) break;
        }
        messages.push_back(stream.substr(at, std::min(end, stream.size()) - at));
    }
    return messages;
}

// A capture unit served from this process: the first pieces of the stream as given, pausing
// after each so the program reads each on its own, then the rest one byte per write; one
// connection, then closed.
class PacedUnit {
  public:
    PacedUnit(std::string stream, std::vector<std::size_t> firstPieces)
        : stream_(std::move(stream)), firstPieces_(std::move(firstPieces)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("paced unit cannot listen");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~PacedUnit() {
        thread_.join();
        ::close(listener_);
    }
    PacedUnit(const PacedUnit&) = delete;
    PacedUnit& operator=(const PacedUnit&) = delete;

    int port() const { return port_; }

  private:
    void Serve() {
        pollfd entry{listener_, POLLIN, 0};
        if (::poll(&entry, 1, kCaptureTimeoutMs) != 1) return;  // nobody came: give up
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        std::size_t at = 0;
        for (const std::size_t piece : firstPieces_) {
            const std::size_t size = std::min(piece, stream_.size() - at);
            if (::send(fd, stream_.data() + at, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size)) {
                break;
            }
            at += size;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        for (; at < stream_.size(); ++at) {
            if (::send(fd, &stream_[at], 1, MSG_NOSIGNAL) != 1) break;
        }
        ::close(fd);
    }

    std::string stream_;
    std::vector<std::size_t> firstPieces_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

// A silent unit: the capture ends when its time is up, with an empty raw file and no log.
TEST(FaultCapture, SilentUnitEndsAtTheTimeLimitWithNothingKept) {
    Simulator sim({"--scenario", "sony", "--idle-after", "0"});
    ScratchFolder dir;
    const std::string raw = dir.Path("raw.bin"), log = dir.Path("log.csv");
    ExpectEnd(CaptureFrom(sim.port(), {"--seconds", "0.5", "--save-raw", raw, "--out", log}),
              "time up", 0);
    EXPECT_TRUE(std::filesystem::exists(raw));
    EXPECT_EQ(ReadFileBytes(raw), "");
    EXPECT_FALSE(std::filesystem::exists(log));
}

// 120 messages and the first 20 bytes of the 121st, then a close: the piece's four whole entries
// are kept too.
TEST(FaultCapture, UnitClosingMidMessageKeepsEveryMessageAndThePiece) {
    const std::vector<std::string> unit{"--scenario", "sony", "--seed", "21"};
    const std::string whole = Sent(Join(unit, {"--messages", "120"}));
    const std::string sent = Sent(Join(unit, {"--close-after", "120", "--partial", "20"}));
    ASSERT_EQ(sent.substr(0, whole.size()), whole);
    ASSERT_EQ(sent.size(), whole.size() + 20);
    Simulator sim(Join(unit, {"--rate", "fast", "--close-after", "120", "--partial", "20"}));
    ScratchFolder dir;
    const ProcessResult result = CaptureFrom(sim.port(), {"--save-raw", dir.Path("raw.bin")});
    ExpectEnd(result, kClosed, 121);  // the piece starts a message of its own
    EXPECT_TRUE(ReadFileBytes(dir.Path("raw.bin")) == sent);
    EXPECT_TRUE(SameLines(ReplayBody(dir, sent), LogBody(result.out)));
    EXPECT_FALSE(SameLines(ReplayBody(dir, whole), LogBody(result.out))) << "the piece is lost";
}

// A reset ends the capture as a close does; the bytes kept are the start of what the unit sent,
// and the log is the replay of exactly those bytes.
TEST(FaultCapture, UnitResettingKeepsWhatArrivedBeforeTheReset) {
    const std::string sent = Sent({"--scenario", "vdcp", "--seed", "22", "--messages", "200"});
    Simulator sim({"--scenario", "vdcp", "--seed", "22", "--rate", "2000", "--close-after", "200",
                   "--reset"});
    ScratchFolder dir;
    const ProcessResult result =
        CaptureFrom(sim.port(), {"--protocol", "vdcp", "--save-raw", dir.Path("raw.bin")});
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.rfind("orvane-cli: capture ended: ", 0), 0u) << result.err;
    EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
    const std::string kept = ReadFileBytes(dir.Path("raw.bin"));
    EXPECT_GT(kept.size(), kHeaderSize);
    EXPECT_TRUE(sent.compare(0, kept.size(), kept) == 0) << "kept bytes differ from those sent";
    EXPECT_TRUE(SameLines(ReplayBody(dir, kept, {"--protocol", "vdcp"}), LogBody(result.out)));
}

// One byte per write, the first reads holding less than a marker: every message is kept. With
// sequence number 1 the header holds seven 0x00 bytes, so a read may start with a false marker.
TEST(FaultCapture, OneBytePerWriteKeepsEveryMessage) {
    const std::string sent =
        Sent({"--scenario", "sony", "--seed", "23", "--first-seq", "1", "--messages", "150"});
    ScratchFolder dir;
    const std::string expected = ReplayBody(dir, sent);
    ASSERT_GT(SplitLines(expected).size(), 50u);
    const std::vector<std::vector<std::size_t>> firstPieces = {
        std::vector<std::size_t>(16, 1),  // one byte per read from the start
        {1, 40},  // the marker's first byte alone, then the rest of the header and more
        {3, 1, 40},
    };
    for (const std::vector<std::size_t>& pieces : firstPieces) {
        SCOPED_TRACE(pieces[1]);
        PacedUnit paced(sent, pieces);
        const ProcessResult result = CaptureFrom(paced.port(), {"--save-raw", dir.Path("raw.bin")});
        ExpectEnd(result, kClosed, 150);
        EXPECT_TRUE(ReadFileBytes(dir.Path("raw.bin")) == sent);
        EXPECT_TRUE(SameLines(expected, LogBody(result.out)));
    }
}

// A flood into a unit that never closes: the full store ends the capture and says so; the log is
// that of the first 1000 messages, and so are the replays of the raw bytes and the capture file,
// which hold more.
TEST(FaultCapture, FloodFillsTheStoreAndEndsTheCaptureWithTheFirstThousand) {
    const std::string first = Sent({"--scenario", "vdcp", "--seed", "24", "--messages", "1000"});
    Simulator sim({"--scenario", "vdcp", "--seed", "24", "--rate", "fast", "--coalesce", "50",
                   "--idle-after", "3000"});
    ScratchFolder dir;
    const std::string file = dir.Path("bounded.pcapng");
    const ProcessResult result =
        CaptureFrom(sim.port(), {"--protocol", "vdcp", "--seconds", "40", "--save-raw",
                                 dir.Path("raw.bin"), "--capture-file", file});
    ExpectEnd(result,
              "the store is full after 1000 messages (a continuous capture, --continuous, has no "
              "such limit)",
              1000);
    EXPECT_TRUE(SameLines(ReplayBody(dir, first, {"--protocol", "vdcp"}), LogBody(result.out)));
    const std::string kept = ReadFileBytes(dir.Path("raw.bin"));
    EXPECT_GT(kept.size(), first.size());
    EXPECT_TRUE(SameLines(ReplayBody(dir, kept, {"--protocol", "vdcp"}), LogBody(result.out)));
    // The bounded capture file replays bounded too, though it holds reads past the full store.
    EXPECT_TRUE(SameLines(LogBody(ReplayFiles({}, {file}).out), LogBody(result.out)));
    EXPECT_GT(SplitLines(ReplayFiles({"--continuous"}, {file}).out).size(),
              SplitLines(result.out).size());
}

// Bytes before the first marker are dropped and every message after them is kept, whether they
// come in a write of their own or share one with the first messages.
TEST(FaultCapture, GarbageBeforeTheFirstMarkerIsDroppedAndEveryMessageKept) {
    const std::string messages =
        Sent({"--scenario", "odetics", "--seed", "25", "--messages", "80"});
    ScratchFolder dir;
    const std::string expected = ReplayBody(dir, messages, {"--protocol", "odetics"});
    ASSERT_GT(SplitLines(expected).size(), 20u);
    const std::string file = dir.Path("garbage-first.bin");
    // What a serial server's telnet port might say first: option bytes, a prompt, stray bytes.
    const char kGarbage[] = "\xFF\xFB\x01\xFF\xFB\x03login: \x81\x22\x20\x00\x07";
    WriteFileBytes(file, std::string(kGarbage, sizeof kGarbage - 1) + messages);
    for (const char* perWrite : {"1", "50"}) {
        SCOPED_TRACE(perWrite);
        Simulator sim({"--file", file, "--rate", "fast", "--coalesce", perWrite});
        const ProcessResult result =
            CaptureFrom(sim.port(), {"--protocol", "odetics", "--save-raw", dir.Path("raw.bin")});
        ExpectEnd(result, kClosed, 80);
        EXPECT_TRUE(SameLines(expected, LogBody(result.out)));
        EXPECT_TRUE(SameLines(
            ReplayBody(dir, ReadFileBytes(dir.Path("raw.bin")), {"--protocol", "odetics"}),
            LogBody(result.out)));
    }
}

// Sequence gaps: the message before each gap gives no bytes (a continuation of the lost message
// may have been appended to it), however the reads run the messages together.
TEST(FaultCapture, SequenceGapsCostTheMessageBeforeEachGap) {
    const std::string all = Sent({"--scenario", "sony", "--seed", "26", "--messages", "60"});
    const std::vector<std::string> messages = CutMessages(all);
    ASSERT_EQ(messages.size(), 60u);
    ScratchFolder dir;
    std::string gapped;  // two gaps
    std::vector<std::string> oneFilePerMessage;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (i == 20 || i == 40 || i == 41) continue;
        gapped += messages[i];
        oneFilePerMessage.push_back(dir.Path("message-" + std::to_string(i) + ".bin"));
        WriteFileBytes(oneFilePerMessage.back(), messages[i]);
    }
    const std::string expected = LogBody(ReplayFiles({}, oneFilePerMessage).out);
    EXPECT_FALSE(SameLines(ReplayBody(dir, all), expected)) << "the messages before the gaps count";
    EXPECT_TRUE(SameLines(expected, ReplayBody(dir, gapped)));
    const std::string file = dir.Path("gaps.bin");
    WriteFileBytes(file, gapped);
    for (const char* coalesce : {"1", "10"}) {
        SCOPED_TRACE(coalesce);
        Simulator sim({"--file", file, "--rate", "20", "--coalesce", coalesce});
        const ProcessResult result = CaptureFrom(sim.port(), {});
        ExpectEnd(result, kClosed, 57);
        EXPECT_TRUE(SameLines(expected, LogBody(result.out)));
    }
}

}  // namespace
}  // namespace orvane::test
