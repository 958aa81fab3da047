#include "monitor_link/datagrams.h"

#include "monitor_link/link_text.h"

namespace vqs {

bool sendDatagram(UdpEndpoint& endpoint, const QString& networkIp, const QByteArray& text) {
    return endpoint.sendTo(networkIp, kMonitorUdpPort, asciiOnly(text));
}

}  // namespace vqs
