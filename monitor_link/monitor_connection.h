#pragma once
// A TCP connection to port 7000 of a network monitor. Connecting never makes the window wait:
// it proceeds in the event loop, and a line sent meanwhile goes out once the connection is
// there. A failure (refused, unreachable, timed out, a send without a connection) is told to the
// error handler once per episode: again only for another host, or after a connection worked in
// between, so a monitor that refuses is not told every tick.

#include "monitor_link/tcp_reply_text.h"
#include "platform/tcp_client.h"

#include <QByteArray>
#include <QSet>
#include <QString>

#include <functional>

namespace vqs {

inline constexpr quint16 kMonitorTcpPort = 7000;

using TcpErrorHandler = std::function<void(const QString& text)>;

struct MonitorConnection {
    QString host;  // dotted IPv4 of the monitor; empty while the connection is not in use
    TcpClient client;
    TcpErrorHandler onError;

    // The episode last told: failures seen so far, and whom and when it was about.
    int failuresSeen = 0;
    bool told = false;
    QString toldHost;
    int toldConnections = 0;

    // A connection that visits every monitor in turn by itself (the report query) keeps one
    // episode per monitor: each is told once until a connection to it works, however often the
    // visits alternate between monitors that refuse.
    bool episodesPerHost = false;
    QSet<QString> toldHosts;
    int connectionsSeen = 0;
};

// Sets the host and starts connecting to its port 7000. A connection that is already there or
// on its way to the same host is kept; one to another host is dropped first.
void connectTo(MonitorConnection& connection, const QString& host);

// Closes the connection after what was sent has been handed over; the host stays.
void disconnect(MonitorConnection& connection);

bool isConnected(MonitorConnection& connection);

// Sends the text, narrowed to ASCII, followed by CR LF. True when it was sent or queued for the
// connection on its way.
bool sendLine(MonitorConnection& connection, const QByteArray& text);

// Tells a failure that happened since the last look, once per episode (see above).
void tellNewFailure(MonitorConnection& connection);

// Appends every byte that has arrived to the reply. A full reply keeps its first 32768 bytes
// (a report starts with its keys) and drops the rest. Returns the number of bytes taken.
qsizetype takeArrived(MonitorConnection& connection, TcpReplyText& reply);

}  // namespace vqs
