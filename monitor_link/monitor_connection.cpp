#include "monitor_link/monitor_connection.h"

#include "monitor_link/link_text.h"

#include <algorithm>

namespace vqs {

void tellNewFailure(MonitorConnection& c) {
    const int failures = c.client.failures();
    if (failures == c.failuresSeen) return;
    c.failuresSeen = failures;
    const int connections = c.client.connections();
    if (c.told && c.toldHost == c.host && c.toldConnections == connections) return;
    c.told = true;
    c.toldHost = c.host;
    c.toldConnections = connections;
    // Last: the handler may show a modal box whose event loop runs further ticks.
    if (c.onError) c.onError(c.client.errorText());
}

void connectTo(MonitorConnection& c, const QString& host) {
    const auto state = c.client.state();
    const bool underWay =
        state == TcpClient::State::Connected || state == TcpClient::State::Connecting;
    if (!(underWay && host == c.host)) {
        c.host = host;
        c.client.connectTo(host, kMonitorTcpPort);
    }
    tellNewFailure(c);
}

void disconnect(MonitorConnection& c) {
    c.client.disconnect();
}

bool isConnected(MonitorConnection& c) {
    tellNewFailure(c);
    return c.client.state() == TcpClient::State::Connected;
}

bool sendLine(MonitorConnection& c, const QByteArray& text) {
    const bool sent = c.client.send(asciiOnly(text) + "\r\n");
    tellNewFailure(c);
    return sent;
}

qsizetype takeArrived(MonitorConnection& c, TcpReplyText& reply) {
    const QByteArray arrived = c.client.takeReceived();
    const qsizetype room = std::max<qsizetype>(0, kTcpReplyCapacity - reply.text.size());
    const qsizetype kept = std::min(room, arrived.size());
    reply.text += arrived.left(kept);
    reply.dropped += arrived.size() - kept;
    return arrived.size();
}

}  // namespace vqs
