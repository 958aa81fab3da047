#pragma once
// A UDP endpoint for the monitors' datagrams: sends to an IPv4 address (broadcast addresses
// included) and takes the datagrams that came back to its own port, never waiting for one.

#include "platform/loopback_guard.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QUdpSocket;

namespace vqs {

struct ReceivedDatagram {
    QByteArray bytes;
    QString senderAddress;  // dotted IPv4
    quint16 senderPort = 0;
};

class UdpEndpoint {
public:
    UdpEndpoint();
    ~UdpEndpoint();
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    // Sends one datagram to a dotted IPv4 address. Names are not looked up: that would wait on
    // a name server. False when the address is unreadable or refused, or the system would not
    // take the datagram.
    bool sendTo(const QString& address, quint16 port, const QByteArray& bytes);

    // One datagram that has arrived, cut to maxSize bytes (the rest of it is lost), or none.
    std::optional<ReceivedDatagram> receive(qsizetype maxSize);

    // The local port replies come back to; 0 before the first send or receive.
    quint16 localPort() const;
    QString errorText() const { return errorText_; }

private:
    bool ensureBound();

    std::unique_ptr<QUdpSocket> socket_;
    LoopbackGuard guard_;
    QString errorText_;
};

}  // namespace vqs
