#include "platform/udp_endpoint.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace vqs {

UdpEndpoint::UdpEndpoint() : socket_(std::make_unique<QUdpSocket>()) {}

UdpEndpoint::~UdpEndpoint() = default;

// Bound once to an ephemeral port on every interface, so that replies find their way back.
bool UdpEndpoint::ensureBound() {
    if (socket_->state() == QAbstractSocket::BoundState) return true;
    if (socket_->bind(QHostAddress::AnyIPv4, 0)) return true;
    errorText_ = socket_->errorString();
    return false;
}

bool UdpEndpoint::sendTo(const QString& address, quint16 port, const QByteArray& bytes) {
    const QString text = address.trimmed();
    const QHostAddress destination(text);
    if (destination.protocol() != QAbstractSocket::IPv4Protocol) {
        errorText_ = QStringLiteral("%1 is no IPv4 address").arg(text);
        return false;
    }
    if (!guard_.admits(destination, text)) {
        errorText_ = QStringLiteral("%1 is refused: loopback only").arg(text);
        return false;
    }
    if (!ensureBound()) return false;
    if (socket_->writeDatagram(bytes, destination, port) == bytes.size()) return true;
    errorText_ = socket_->errorString();
    return false;
}

std::optional<ReceivedDatagram> UdpEndpoint::receive(qsizetype maxSize) {
    if (!ensureBound() || !socket_->hasPendingDatagrams()) return std::nullopt;
    const QNetworkDatagram datagram = socket_->receiveDatagram(maxSize);
    if (!datagram.isValid()) {
        errorText_ = socket_->errorString();
        return std::nullopt;
    }
    ReceivedDatagram received;
    received.bytes = datagram.data();
    received.senderAddress = QHostAddress(datagram.senderAddress().toIPv4Address()).toString();
    received.senderPort = static_cast<quint16>(datagram.senderPort());
    return received;
}

quint16 UdpEndpoint::localPort() const {
    return socket_->localPort();
}

}  // namespace vqs
