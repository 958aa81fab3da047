#include "monitor_link/monitor_discovery.h"

#include "monitor_link/datagrams.h"
#include "monitor_link/discovery_reply.h"

namespace vqs {

bool sendDiscoveryRequest(UdpEndpoint& endpoint, const QString& networkIp) {
    return endpoint.sendTo(networkIp, kMonitorUdpPort, kDiscoveryRequest);
}

MergeResult receiveDiscoveryReply(UdpEndpoint& endpoint, MonitorList& monitors) {
    const auto datagram = endpoint.receive(kDiscoveryReplyMaxBytes);
    if (!datagram || datagram->senderPort != kMonitorUdpPort) return MergeResult::None;
    const auto answer = parseDiscoveryReply(datagram->bytes);
    if (!answer) return MergeResult::None;
    return mergeNetworkMonitor(monitors, kSourceNetwork, datagram->senderAddress, answer->devsnid,
                               answer->devname);
}

}  // namespace vqs
