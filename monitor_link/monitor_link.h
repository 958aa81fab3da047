#pragma once
// Every channel to the monitors under test, held once by the program: the serial link, the
// three TCP connections, the TCP reply text and the datagram endpoint shared with discovery, and
// where the report query of the network monitors stands.

#include "monitor_link/com_setting.h"
#include "monitor_link/datagrams.h"
#include "monitor_link/monitor_connection.h"
#include "monitor_link/monitor_discovery.h"
#include "monitor_link/network_poll.h"
#include "monitor_link/serial_monitor_link.h"

namespace vqs {

// A monitor takes a save as one unbroken sequence: while a downstream save sends over the
// serial link or over patternConnection, nothing else goes over that channel. Pushes and
// patterns for it are left out meanwhile (the next ones follow soon), and the serial report
// query waits.
struct SaveChannelHold {
    bool serialLink = false;
    bool patternConnection = false;
};

struct MonitorLink {
    MonitorLink() { pollConnection.episodesPerHost = true; }

    SerialLink linkPort;
    MonitorConnection patternConnection;  // to the monitor chosen for pattern display
    MonitorConnection pollConnection;     // fetches each network monitor's report in turn
    MonitorConnection saveConnection;     // one downstream save
    TcpReplyText tcpReply;                // filled from pollConnection
    NetworkPoll networkPoll;              // where the report query of network monitors stands
    UdpEndpoint datagrams;                // to networkIp:7001, and discovery answers
    SaveChannelHold heldForSave;          // set by the save running on a channel
};

// Whether pushes, patterns and queries may use the channel now: the serial link when open and
// no save is sending over it; patternConnection when no save is sending over it.
bool serialLinkFree(const MonitorLink& link);
bool patternConnectionFree(const MonitorLink& link);

// Where the three connections tell their failures.
void setTcpErrorHandler(MonitorLink& link, const TcpErrorHandler& handler);

// Tells the failures that happened since the last look on any of the three connections (a
// connect refused or timed out between ticks), once per episode each.
void watchConnections(MonitorLink& link);

// Shutdown: disconnects patternConnection, saveConnection and pollConnection, in this order,
// each only if connected. Nothing is told from here on, the errors of this included.
void disconnectMonitors(MonitorLink& link);

}  // namespace vqs
