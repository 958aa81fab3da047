#include "monitor_link/monitor_pushes.h"

#include "monitor_link/monitor_messages.h"

namespace vqs {

namespace {

void pushToEveryMonitor(MonitorLink& link, const QString& networkIp, const QByteArray& message) {
    if (serialLinkFree(link)) writeLink(link.linkPort, message);
    sendDatagram(link.datagrams, networkIp, message);
}

}  // namespace

void pushReading(MonitorLink& link, const QString& networkIp, float X, float Y, float Z) {
    pushToEveryMonitor(link, networkIp, readingMessage(X, Y, Z));
}

void pushDate(MonitorLink& link, const QString& networkIp, const QString& date) {
    pushToEveryMonitor(link, networkIp, dateMessage(date));
}

}  // namespace vqs
