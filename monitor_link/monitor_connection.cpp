#include "monitor_link/monitor_connection.h"

#include "monitor_link/link_text.h"

namespace vqs {

namespace {

// Whether this failure belongs to an episode already told.
bool toldAlready(MonitorConnection& c, int connections) {
    if (!c.episodesPerHost)
        return c.told && c.toldHost == c.host && c.toldConnections == connections;
    if (c.toldHosts.contains(c.host)) return true;
    c.toldHosts.insert(c.host);
    return false;
}

}  // namespace

void tellNewFailure(MonitorConnection& c) {
    const int connections = c.client.connections();
    if (connections != c.connectionsSeen) c.toldHosts.remove(c.host);  // it worked: episode over
    c.connectionsSeen = connections;
    const int failures = c.client.failures();
    if (failures == c.failuresSeen) return;
    c.failuresSeen = failures;
    if (toldAlready(c, connections)) return;
    c.told = true;
    c.toldHost = c.host;
    c.toldConnections = connections;
    // Last: the handler may show a modal box whose event loop runs further ticks.
    if (c.onError) c.onError(c.client.errorText());
}

void connectTo(MonitorConnection& c, const QString& host) {
    // What happened so far happened with the host before; a late failure is its own.
    tellNewFailure(c);
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
    appendReply(reply, arrived);
    return arrived.size();
}

}  // namespace vqs
