#pragma once
// Virtual network monitors on their own loopback addresses, for tests that use the fixed ports
// 7000 and 7001. They need a private network namespace with lo up (unshare -n), where nothing
// else holds those ports and a broadcast to 127.255.255.255 reaches every monitor; elsewhere the
// tests are skipped, never left hanging.

#include "sim/virtual_network_monitor.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QUdpSocket>

#include <memory>
#include <vector>

namespace vqs::test {

class NetworkLab : public testing::Test {
protected:
    // Before the fixtures' endpoints exist: their guards read the setting when they are made.
    NetworkLab() { qputenv("VQS_LOOPBACK_ONLY", "1"); }

    void SetUp() override {
        const QString reason = portsUnavailable();
        if (!reason.isEmpty())
            GTEST_SKIP() << "virtual monitors cannot run here (" << reason.toStdString()
                         << "); run inside `unshare -n` with lo up";
    }

    // Starts a monitor; null (and a failure) when it cannot bind.
    sim::VirtualNetworkMonitor* startMonitor(
        const QString& address, const QByteArray& name, const QByteArray& serial,
        sim::NetworkMonitorFault fault = sim::NetworkMonitorFault::None) {
        auto monitor = std::make_unique<sim::VirtualNetworkMonitor>(address, name, serial);
        monitor->setFault(fault);
        if (!monitor->start()) {
            ADD_FAILURE() << monitor->error().toStdString();
            return nullptr;
        }
        monitors_.push_back(std::move(monitor));
        return monitors_.back().get();
    }

private:
    // Empty when a second loopback address and the fixed ports can be bound.
    static QString portsUnavailable() {
        QTcpServer tcp;
        if (!tcp.listen(QHostAddress(QStringLiteral("127.0.0.2")), 7000))
            return QStringLiteral("127.0.0.2:7000: ") + tcp.errorString();
        QUdpSocket udp;
        if (!udp.bind(QHostAddress(QStringLiteral("127.0.0.2")), 7001))
            return QStringLiteral("127.0.0.2:7001: ") + udp.errorString();
        // A namespace whose lo is down binds, but carries nothing.
        QUdpSocket receiver;
        QUdpSocket sender;
        if (!receiver.bind(QHostAddress::AnyIPv4, 0) ||
            sender.writeDatagram("probe", QHostAddress(QStringLiteral("127.255.255.255")),
                                 receiver.localPort()) < 0)
            return QStringLiteral("broadcast to 127.255.255.255: ") + sender.errorString();
        if (!receiver.waitForReadyRead(1000))
            return QStringLiteral("a broadcast to 127.255.255.255 does not arrive");
        return {};
    }

    std::vector<std::unique_ptr<sim::VirtualNetworkMonitor>> monitors_;
};

}  // namespace vqs::test
