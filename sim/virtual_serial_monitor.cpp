#include "sim/virtual_serial_monitor.h"

namespace vqs::sim {

namespace {

const QByteArray kPresence = QByteArrayLiteral("OK!\r\n");

}  // namespace

VirtualSerialMonitor::VirtualSerialMonitor(QObject* parent)
    : VirtualSerialMonitor(kSerialMonitorSerial, kSerialMonitorName, parent) {}

VirtualSerialMonitor::VirtualSerialMonitor(const QByteArray& serial, const QByteArray& name,
                                           QObject* parent)
    : QObject(parent), protocol_(serial, name, display_) {
    connect(&terminal_, &PseudoTerminal::received, this, &VirtualSerialMonitor::receive);
    connect(&presence_, &QTimer::timeout, this, [this] {
        if (terminal_.isOpen()) send(kPresence);
    });
}

bool VirtualSerialMonitor::start(const QString& linkPath) {
    received_.clear();
    pendingLine_.clear();
    return terminal_.open(linkPath);
}

void VirtualSerialMonitor::stop() {
    terminal_.close();
}

void VirtualSerialMonitor::setPresenceInterval(int milliseconds) {
    presence_.stop();
    if (milliseconds > 0) presence_.start(milliseconds);
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
        hearLine(line);
    }
}

void VirtualSerialMonitor::hearLine(const QByteArray& line) {
    const HeardLine heard = protocol_.hear(line);
    if (heard.shown) {
        display_.show(*heard.shown);
        emit patternShown(*heard.shown, heard.patternName);
    }
    if (heard.stored) emit reportStored();
    if (heard.queried) send(reportReply());
}

// The reply starts with the presence text too: the program keeps what arrives only while the
// buffer holds "OK!", and a report crosses the line over several of its ticks.
QByteArray VirtualSerialMonitor::reportReply() const {
    const QByteArray text = reportText(protocol_.report());
    switch (fault_) {
        case SerialMonitorFault::NoReport:
            return {};
        case SerialMonitorFault::HalfReport:
            return kPresence + text.left(text.size() / 2);
        default:
            return kPresence + text + kPresence;
    }
}

}  // namespace vqs::sim
