#include "monitor_link/monitor_link.h"

namespace vqs {

void setTcpErrorHandler(MonitorLink& link, const TcpErrorHandler& handler) {
    link.patternConnection.onError = handler;
    link.pollConnection.onError = handler;
    link.saveConnection.onError = handler;
}

bool serialLinkFree(const MonitorLink& link) {
    return isLinkOpen(link.linkPort) && !link.heldForSave.serialLink;
}

bool patternConnectionFree(const MonitorLink& link) {
    return !link.heldForSave.patternConnection;
}

void watchConnections(MonitorLink& link) {
    tellNewFailure(link.patternConnection);
    tellNewFailure(link.pollConnection);
    tellNewFailure(link.saveConnection);
}

void disconnectMonitors(MonitorLink& link) {
    setTcpErrorHandler(link, nullptr);
    for (MonitorConnection* c :
         {&link.patternConnection, &link.saveConnection, &link.pollConnection})
        if (c->client.state() == TcpClient::State::Connected) disconnect(*c);
}

}  // namespace vqs
