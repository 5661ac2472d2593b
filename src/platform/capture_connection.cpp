// The TCP connection to the capture unit: a bounded connect that keeps the window serviced, reads
// handed on as they arrive, what is pending read out at the end, and the unit closing its end.
#include "platform/capture_connection.hpp"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>

#include "capture/capture_model.hpp"

namespace orvane {

std::string ConnectFailureText(QAbstractSocket::SocketError error, const QString& errorString) {
    switch (error) {
        case QAbstractSocket::ConnectionRefusedError:
        case QAbstractSocket::RemoteHostClosedError:
        case QAbstractSocket::HostNotFoundError:
        case QAbstractSocket::SocketAccessError:
        case QAbstractSocket::SocketResourceError:
        case QAbstractSocket::SocketTimeoutError:
        case QAbstractSocket::NetworkError:
        case QAbstractSocket::AddressInUseError:
        case QAbstractSocket::SocketAddressNotAvailableError:
            return kReasonDeviceIoError;
        case QAbstractSocket::UnfinishedSocketOperationError:
            return kReasonPermissionDenied;
        case QAbstractSocket::UnsupportedSocketOperationError:
            return kReasonDeviceUnavailable;
        default:
            break;
    }
    const QByteArray text = errorString.toLatin1();
    return text.isEmpty() ? std::string("Unknown error") : text.toStdString();
}

CaptureConnection::CaptureConnection(QObject* parent)
    : QObject(parent), socket_(new QTcpSocket(this)) {
    connect(socket_, &QTcpSocket::readyRead, this, &CaptureConnection::HandOnPendingData);
    connect(socket_, &QTcpSocket::disconnected, this, &CaptureConnection::OnDisconnected);
    // A reset by the unit may end the connection without a disconnected signal.
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_->state() == QAbstractSocket::UnconnectedState) OnDisconnected();
    });
}

CaptureConnection::~CaptureConnection() { Close(); }

std::string CaptureConnection::Open(const std::string& address, int port, int timeoutMs) {
    Close();
    // A port the TCP layer cannot address is a failed connect, not a silently different port.
    if (port < 1 || port > 65535) return kReasonDeviceIoError;
    // The connect starts inside a loop of its own, which ends at the connection, a failure or
    // the time limit: the window repaints meanwhile, and input waits until the outcome is known.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool timedOut = false;
    connect(&limit, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    connect(socket_, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(socket_, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(0, &loop, [&] {
        limit.start(timeoutMs);
        socket_->connectToHost(QString::fromStdString(address), static_cast<quint16>(port));
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (socket_->state() != QAbstractSocket::ConnectedState) {
        std::string reason =
            timedOut ? ConnectFailureText(QAbstractSocket::SocketTimeoutError, QString())
                     : ConnectFailureText(socket_->error(), socket_->errorString());
        socket_->abort();
        return reason;
    }
    open_ = true;
    // Data may have come with the connect itself; hand it on once the caller is listening.
    if (socket_->bytesAvailable() > 0) {
        QMetaObject::invokeMethod(this, &CaptureConnection::HandOnPendingData,
                                  Qt::QueuedConnection);
    }
    return {};
}

bool CaptureConnection::IsOpen() const { return open_; }

void CaptureConnection::ReadRemaining() {
    QElapsedTimer clock;
    clock.start();
    drainAll_ = true;
    HandOnPendingData();
    // Each wait of no time takes in what the system holds for the socket and hands it on
    // through readyRead; none left ends the loop.
    while (open_ && clock.elapsed() < kReadRemainingLimitMs && socket_->waitForReadyRead(0)) {
        HandOnPendingData();
    }
    drainAll_ = false;
}

void CaptureConnection::Close() {
    if (!open_) return;
    open_ = false;
    socket_->abort();
}

void CaptureConnection::HandOnPendingData() {
    // Each read takes at most kReadLimit bytes, as the receive stream expects; a receiver that
    // closes the connection meanwhile empties the buffer and ends the loop. A unit sending
    // faster than the reads are taken in would keep the loop going for a long time, so after
    // kHandOnSliceMs the rest waits for the next pass of the event loop and the window answers
    // in between.
    QElapsedTimer slice;
    slice.start();
    while (open_ && socket_->bytesAvailable() > 0) {
        if (!drainAll_ && slice.elapsed() >= kHandOnSliceMs) {
            if (!continuePosted_) {
                continuePosted_ = true;
                QTimer::singleShot(0, this, [this] {
                    continuePosted_ = false;
                    HandOnPendingData();
                });
            }
            return;
        }
        const QByteArray data = socket_->read(kReadLimit);
        if (data.isEmpty()) break;
        emit DataReceived(data);
    }
}

void CaptureConnection::OnDisconnected() {
    if (!open_) return;  // our own Close()
    drainAll_ = true;
    HandOnPendingData();
    drainAll_ = false;
    Close();
    emit ClosedByUnit();
}

}  // namespace orvane
