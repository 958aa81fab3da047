#include "sim/virtual_serial_monitor.h"

namespace vqs::sim {

VirtualSerialMonitor::VirtualSerialMonitor(QObject* parent) : QObject(parent) {
    connect(&terminal_, &PseudoTerminal::received, this, &VirtualSerialMonitor::receive);
}

bool VirtualSerialMonitor::start(const QString& linkPath) {
    received_.clear();
    pendingLine_.clear();
    return terminal_.open(linkPath);
}

bool VirtualSerialMonitor::send(const QByteArray& bytes) {
    if (fault_ == SerialMonitorFault::Silent) return true;
    return terminal_.write(bytes);
}

void VirtualSerialMonitor::receive(const QByteArray& bytes) {
    received_ += bytes;
    pendingLine_ += bytes;
    for (qsizetype end; (end = pendingLine_.indexOf('\n')) >= 0;) {
        QByteArray line = pendingLine_.left(end);
        pendingLine_.remove(0, end + 1);
        if (line.endsWith('\r')) line.chop(1);
        emit lineReceived(line);
    }
}

}  // namespace vqs::sim
