#pragma once
// Monitor discovery: a request to every monitor at the network address, and their answers,
// taken one per call, into the monitor list as network monitors at the senders' addresses.

#include "data/monitor_records.h"
#include "platform/udp_endpoint.h"

#include <QString>

namespace vqs {

// Sends the 19 bytes of the request to networkIp:7001; a failure is ignored.
bool sendDiscoveryRequest(UdpEndpoint& endpoint, const QString& networkIp);

// Takes at most one datagram that has arrived, never waiting. An answer from port 7001 with a
// name and a serial identity adds or updates a network monitor (source: the sender's address).
// The device grid is refilled only for MergeResult::Added; None when nothing was merged.
MergeResult receiveDiscoveryReply(UdpEndpoint& endpoint, MonitorList& monitors);

}  // namespace vqs
