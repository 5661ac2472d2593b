// The TCP connection to the capture unit: a bounded connect, reads handed on as they arrive, and
// the unit closing its end.
#include "platform/capture_connection.hpp"

#include <QTcpSocket>

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
    socket_->connectToHost(QString::fromStdString(address), static_cast<quint16>(port));
    if (!socket_->waitForConnected(timeoutMs)) {
        std::string reason = ConnectFailureText(socket_->error(), socket_->errorString());
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

void CaptureConnection::Close() {
    if (!open_) return;
    open_ = false;
    socket_->abort();
}

void CaptureConnection::HandOnPendingData() {
    // Each read takes at most kReadLimit bytes, as the receive stream expects; a receiver that
    // closes the connection meanwhile empties the buffer and ends the loop.
    while (open_ && socket_->bytesAvailable() > 0) {
        const QByteArray data = socket_->read(kReadLimit);
        if (data.isEmpty()) break;
        emit DataReceived(data);
    }
}

void CaptureConnection::OnDisconnected() {
    if (!open_) return;  // our own Close()
    HandOnPendingData();
    Close();
    emit ClosedByUnit();
}

}  // namespace orvane
