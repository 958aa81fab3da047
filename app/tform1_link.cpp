// The main window's part of the monitor link: the serial link opened from the COM field and
// closed at exit, its bytes moved every tick, monitor discovery on the datagram endpoint, and
// the TCP connections dropped at exit. Errors of the TCP connections reach the operator once
// per failure.

#include "app/tform1.h"

namespace vqs {

void TForm1::markLinkClosed() {
    trace("markLinkClosed");
    vqs::closeLink(state_.monitorLink->linkPort);
}

void TForm1::closeLink() {
    trace("closeLink");
    vqs::closeLink(state_.monitorLink->linkPort);
}

void TForm1::disconnectMonitors() {
    trace("disconnectMonitors");
    vqs::disconnectMonitors(*state_.monitorLink);
}

void TForm1::readLink() {
    vqs::readLink(state_.monitorLink->linkPort);
}

void TForm1::receiveDiscoveryReply() {
    if (vqs::receiveDiscoveryReply(state_.monitorLink->datagrams, *state_.monitors))
        fillDeviceGrid();
}

void TForm1::sendDiscoveryRequest() {
    vqs::sendDiscoveryRequest(state_.monitorLink->datagrams, state_.settings.networkIp);
}

// A refused or unreachable monitor is told once, not at every tick that tries it again. The box
// comes after the link call that found the failure, never inside it.
void TForm1::watchMonitorConnections() {
    setTcpErrorHandler(*state_.monitorLink, [this](const QString& text) {
        QMetaObject::invokeMethod(
            this,
            [this, text] { services_.prompts.message(PromptKind::Error, text, PromptButtons::Ok); },
            Qt::QueuedConnection);
    });
}

// Failures that happened between ticks (a connect refused or timed out) are told here.
void TForm1::tellConnectionFailures() {
    watchConnections(*state_.monitorLink);
}

}  // namespace vqs
