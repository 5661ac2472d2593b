// The TCP connection to the capture unit: a bounded connect that keeps the window serviced, reads
// handed on as they arrive, what is pending read out at the end, and the unit closing its end.
#pragma once

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <string>

class QTcpSocket;

namespace orvane {

// How long a connect may take before it counts as failed.
inline constexpr int kConnectTimeoutMs = 5000;

// The reasons shown after "Error opening port: ".
inline constexpr char kReasonDeviceIoError[] = "Device I/O error";
inline constexpr char kReasonPermissionDenied[] = "Permission denied";
inline constexpr char kReasonDeviceUnavailable[] = "Device unavailable";

// The reason text for a failed connect: the look-up, the socket and the connect itself give
// "Device I/O error", an operation still in progress "Permission denied", a socket layer that
// cannot serve the request "Device unavailable"; anything else the socket layer's own short text.
std::string ConnectFailureText(QAbstractSocket::SocketError error, const QString& errorString);

// One connection to the capture unit. The program never writes to it. While it is open, every
// arrival of data is handed on through DataReceived in reads of at most 102400 bytes, in passes
// of at most kHandOnSliceMs so that the window answers between them; when the unit closes its end,
// what is still buffered is handed on first, then the connection is closed and ClosedByUnit
// follows.
class CaptureConnection : public QObject {
    Q_OBJECT
  public:
    explicit CaptureConnection(QObject* parent = nullptr);
    ~CaptureConnection() override;

    // Connects to address:port, waiting at most timeoutMs. Returns the empty text on success,
    // otherwise the reason (an open connection is closed first). Returns once the connect has
    // ended; meanwhile the event loop runs without user input, so windows repaint and timers
    // fire but no command can start.
    std::string Open(const std::string& address, int port, int timeoutMs = kConnectTimeoutMs);

    bool IsOpen() const;

    // Hands on everything that has reached this machine and not yet been read, until nothing is
    // left. A unit that never pauses is read for at most kReadRemainingLimitMs.
    void ReadRemaining();
    static constexpr int kReadRemainingLimitMs = 1000;

    // Closes the connection without reading what is still pending. Does nothing when closed.
    void Close();

  signals:
    void DataReceived(const QByteArray& data);
    void ClosedByUnit();

  private:
    void HandOnPendingData();
    void OnDisconnected();

    // The longest one pass hands data on before the window is served again.
    static constexpr qint64 kHandOnSliceMs = 15;

    QTcpSocket* socket_;
    bool open_ = false;
    bool drainAll_ = false;        // ReadRemaining and a closing unit take everything at once
    bool continuePosted_ = false;  // a later pass is already asked for
};

}  // namespace orvane
