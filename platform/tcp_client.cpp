#include "platform/tcp_client.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace vqs {

TcpClient::TcpClient() : socket_(std::make_unique<QTcpSocket>()) {
    QObject::connect(socket_.get(), &QAbstractSocket::connected, [this] { ++connections_; });
    QObject::connect(socket_.get(), &QAbstractSocket::errorOccurred,
                     [this](QAbstractSocket::SocketError error) {
                         if (error == QAbstractSocket::RemoteHostClosedError) return;
                         fail(socket_->errorString());
                     });
}

TcpClient::~TcpClient() {
    // No signal may reach this object while its socket goes down.
    socket_->disconnect();
    socket_->abort();
}

// The text names the monitor: the operator may have several.
void TcpClient::fail(const QString& reason) {
    ++failures_;
    errorText_ = address_ + QStringLiteral(": ") + reason;
}

void TcpClient::connectTo(const QString& address, quint16 port) {
    if (socket_->state() != QAbstractSocket::UnconnectedState) socket_->abort();
    address_ = address.trimmed();
    const QHostAddress destination(address_);
    if (destination.protocol() != QAbstractSocket::IPv4Protocol) {
        fail(QStringLiteral("not an IPv4 address"));
        return;
    }
    if (!guard_.admits(destination, address_)) {
        fail(QStringLiteral("refused, loopback only (VQS_LOOPBACK_ONLY)"));
        return;
    }
    // A literal address needs no lookup, so this only starts a non-blocking connect.
    socket_->connectToHost(destination, port);
}

void TcpClient::disconnect() {
    switch (socket_->state()) {
        case QAbstractSocket::ConnectedState:
            socket_->flush();
            socket_->disconnectFromHost();
            break;
        case QAbstractSocket::UnconnectedState: break;
        default:
            socket_->abort();
            break;
    }
}

bool TcpClient::send(const QByteArray& bytes) {
    const auto state = socket_->state();
    const bool connected = state == QAbstractSocket::ConnectedState;
    if (!connected && state != QAbstractSocket::ConnectingState &&
        state != QAbstractSocket::HostLookupState) {
        fail(QStringLiteral("not connected"));
        return false;
    }
    if (socket_->write(bytes) != bytes.size()) {
        fail(socket_->errorString());
        return false;
    }
    if (connected) socket_->flush();  // the event loop may not run before the next tick
    return true;
}

QByteArray TcpClient::takeReceived() {
    return socket_->readAll();
}

TcpClient::State TcpClient::state() const {
    switch (socket_->state()) {
        case QAbstractSocket::UnconnectedState: return State::Unconnected;
        case QAbstractSocket::ConnectedState: return State::Connected;
        case QAbstractSocket::ClosingState: return State::Closing;
        default: return State::Connecting;
    }
}

}  // namespace vqs
