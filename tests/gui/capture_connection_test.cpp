// The connection to the capture unit: failure texts, reads, and the unit closing its end.
#include "platform/capture_connection.hpp"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <vector>

#include "capture/capture_model.hpp"
#include "capture_test_support.hpp"

namespace orvane {
namespace {

using test::FreeLoopbackPort;
using test::kWaitMs;

TEST(CaptureConnection, FailureTextsNameTheReason) {
    struct Case {
        QAbstractSocket::SocketError error;
        const char* errorString;
        const char* expected;
    };
    const Case cases[] = {
        {QAbstractSocket::ConnectionRefusedError, "Connection refused", "Device I/O error"},
        {QAbstractSocket::HostNotFoundError, "Host not found", "Device I/O error"},
        {QAbstractSocket::SocketTimeoutError, "Socket operation timed out", "Device I/O error"},
        {QAbstractSocket::NetworkError, "Network unreachable", "Device I/O error"},
        {QAbstractSocket::SocketResourceError, "Out of resources", "Device I/O error"},
        {QAbstractSocket::UnfinishedSocketOperationError, "In progress", "Permission denied"},
        {QAbstractSocket::UnsupportedSocketOperationError, "Unsupported", "Device unavailable"},
        {QAbstractSocket::ProxyConnectionRefusedError, "Proxy refused", "Proxy refused"},
        {QAbstractSocket::UnknownSocketError, "", "Unknown error"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConnectFailureText(c.error, QString::fromLatin1(c.errorString)), c.expected)
            << c.errorString;
    }
}

TEST(CaptureConnection, RefusedLoopbackPortGivesDeviceIoError) {
    const quint16 port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    CaptureConnection connection;
    EXPECT_EQ(connection.Open("127.0.0.1", port), "Device I/O error");
    EXPECT_FALSE(connection.IsOpen());
}

TEST(CaptureConnection, PortOutsideTcpRangeFailsInsteadOfReachingAnotherPort) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    CaptureConnection connection;
    // Cut to 16 bits, port + 65536 would reach the listener.
    for (const int port : {server.serverPort() + 65536, -1, -65536 + server.serverPort()}) {
        EXPECT_EQ(connection.Open("127.0.0.1", port), "Device I/O error") << port;
        EXPECT_FALSE(connection.IsOpen());
    }
    EXPECT_FALSE(server.waitForNewConnection(100));
}

// A listener on loopback that accepts one connection and lets the test write to it.
struct LoopbackUnit {
    QTcpServer server;
    QTcpSocket* peer = nullptr;

    bool Accept(CaptureConnection& connection) {
        if (!server.listen(QHostAddress::LocalHost, 0)) return false;
        if (!connection.Open("127.0.0.1", server.serverPort()).empty()) return false;
        if (!server.waitForNewConnection(kWaitMs)) return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
};

struct Received {
    std::vector<QByteArray> reads;
    int closedSignals = 0;
    qsizetype bytesAtClose = -1;

    qsizetype total() const {
        qsizetype sum = 0;
        for (const QByteArray& read : reads) sum += read.size();
        return sum;
    }
    QByteArray joined() const {
        QByteArray all;
        for (const QByteArray& read : reads) all += read;
        return all;
    }
};

void Listen(CaptureConnection& connection, Received& received) {
    QObject::connect(&connection, &CaptureConnection::DataReceived,
                     [&received](const QByteArray& data) { received.reads.push_back(data); });
    QObject::connect(&connection, &CaptureConnection::ClosedByUnit, [&received] {
        ++received.closedSignals;
        received.bytesAtClose = received.total();
    });
}

QByteArray Pattern(qsizetype size) {
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

TEST(CaptureConnection, BurstArrivesWholeInReadsOfAtMost102400Bytes) {
    CaptureConnection connection;
    Received received;
    Listen(connection, received);
    LoopbackUnit unit;
    ASSERT_TRUE(unit.Accept(connection));

    const QByteArray burst = Pattern(350000);
    unit.peer->write(burst);
    unit.peer->flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.total() >= burst.size(); }, kWaitMs));
    EXPECT_EQ(received.joined(), burst);
    for (const QByteArray& read : received.reads) EXPECT_LE(read.size(), kReadLimit);
    EXPECT_TRUE(connection.IsOpen());
    EXPECT_EQ(received.closedSignals, 0);
}

TEST(CaptureConnection, UnitClosingHandsOnEverythingBeforeClosing) {
    CaptureConnection connection;
    Received received;
    Listen(connection, received);
    LoopbackUnit unit;
    ASSERT_TRUE(unit.Accept(connection));

    const QByteArray tail = Pattern(250000);
    unit.peer->write(tail);
    unit.peer->disconnectFromHost();  // writes what is queued, then closes
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.closedSignals > 0; }, kWaitMs));
    EXPECT_EQ(received.closedSignals, 1);
    EXPECT_EQ(received.bytesAtClose, tail.size());
    EXPECT_EQ(received.joined(), tail);
    EXPECT_FALSE(connection.IsOpen());
}

TEST(CaptureConnection, ClosingOurEndIsNotReportedAsTheUnitClosing) {
    CaptureConnection connection;
    Received received;
    Listen(connection, received);
    LoopbackUnit unit;
    ASSERT_TRUE(unit.Accept(connection));

    connection.Close();
    EXPECT_FALSE(connection.IsOpen());
    QTest::qWait(50);
    EXPECT_EQ(received.closedSignals, 0);
    // A closed connection reads nothing more, even when the unit keeps sending.
    unit.peer->write(Pattern(1000));
    unit.peer->flush();
    QTest::qWait(50);
    EXPECT_TRUE(received.reads.empty());
}

}  // namespace
}  // namespace orvane
