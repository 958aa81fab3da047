#pragma once
// A TCP client connection that never makes its caller wait: connecting proceeds in the event
// loop between calls, sends are handed to the system at once, and reads take what has arrived.
// Failures are counted, so a caller sees each new one once and decides how to tell it.

#include "platform/loopback_guard.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QTcpSocket;

namespace vqs {

class TcpClient {
public:
    enum class State { Unconnected, Connecting, Connected, Closing };

    TcpClient();
    ~TcpClient();
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;

    // Starts connecting to a dotted IPv4 address and returns at once; a connection in use is
    // dropped first. An unreadable or refused address is a failure at once. The system's own
    // time-out ends a connect that nobody answers.
    void connectTo(const QString& address, quint16 port);
    // Hands what is still queued to the system, then closes; returns at once.
    void disconnect();
    // Queues the bytes; while connected they go to the system at once, while connecting they go
    // when the connection is there. A failure when there is no connection to send on.
    bool send(const QByteArray& bytes);
    // Everything that has arrived and was not taken yet.
    QByteArray takeReceived();

    State state() const;
    // Failures so far (refused, unreachable, timed out, a send without a connection) and the
    // text of the latest, "address: reason"; a monitor closing its end is no failure until
    // something is sent.
    int failures() const { return failures_; }
    QString errorText() const { return errorText_; }
    // Connections established so far.
    int connections() const { return connections_; }

private:
    void fail(const QString& reason);

    std::unique_ptr<QTcpSocket> socket_;
    LoopbackGuard guard_;
    QString address_;
    int failures_ = 0;
    int connections_ = 0;
    QString errorText_;
};

}  // namespace vqs
