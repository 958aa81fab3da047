#include "monitor_link/serial_monitor_link.h"

namespace vqs {

bool openLink(SerialLink& link, int comNumber) {
    closeLink(link);
    link.state = 0;
    link.portNumber = comNumber;
    link.rxCount = 0;
    link.countdown = 0;
    link.handle = openComPort(comNumber, kMonitorLinkLine);
    if (!link.handle) return false;
    link.state = kLinkOpen;
    return true;
}

void closeLink(SerialLink& link) {
    link.handle.reset();
    link.state = 0;
}

bool writeLink(SerialLink& link, const QByteArray& bytes) {
    if (!isLinkOpen(link)) return false;
    return link.handle->write(bytes);
}

void readLink(SerialLink& link) {
    if (!isLinkOpen(link)) return;
    for (const char byte : link.handle->readAvailable()) link.storeByte(static_cast<uint8_t>(byte));
    if (!link.handle->isHealthy()) closeLink(link);
}

}  // namespace vqs
