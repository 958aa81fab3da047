#pragma once
// Datagrams to the monitors listening on port 7001 of the network address (a broadcast address
// by default, so every monitor of the segment hears them).

#include "platform/udp_endpoint.h"

#include <QByteArray>
#include <QString>

namespace vqs {

inline constexpr quint16 kMonitorUdpPort = 7001;

// Sends the text, narrowed to ASCII, as one datagram to networkIp:7001. The link ignores a
// failure; the result is for callers that care.
bool sendDatagram(UdpEndpoint& endpoint, const QString& networkIp, const QByteArray& text);

}  // namespace vqs
