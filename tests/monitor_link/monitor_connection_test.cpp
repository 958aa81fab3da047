// The TCP connections to port 7000 of virtual network monitors: lines on the wire, the reply
// text, failures told once per episode, connects that never keep the caller waiting, shutdown.

#include "monitor_link/monitor_link.h"
#include "tests/monitor_link/link_test_support.h"
#include "tests/monitor_link/network_lab.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace vqs {
namespace {

using sim::NetworkMonitorFault;
using test::betweenTicks;
using test::timed;
using test::waitUntil;

class MonitorConnections : public test::NetworkLab {
protected:
    MonitorConnections() {
        connection_.onError = [this](const QString& text) { told_ << text; };
    }

    // A tick of a dialogue that keeps trying: connect (kept while under way), then ask.
    void retryTick(const QString& host) {
        timed("connectTo", [&] { connectTo(connection_, host); });
        betweenTicks(3);
        timed("isConnected", [&] { return isConnected(connection_); });
    }

    bool connectedTo(const QString& host) {
        timed("connectTo", [&] { connectTo(connection_, host); });
        return waitUntil([&] { return isConnected(connection_); });
    }

    MonitorConnection connection_;
    QStringList told_;
};

TEST_F(MonitorConnections, linesSentWhileConnectingArriveWithTheirEmptyLine) {
    auto* m = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(m);
    QList<QByteArray> lines;
    QObject::connect(m, &sim::VirtualNetworkMonitor::lineReceived,
                     [&](const QByteArray& line) { lines << line; });

    timed("connectTo", [&] { connectTo(connection_, "127.0.0.2"); });
    EXPECT_TRUE(
        timed("sendLine", [&] { return sendLine(connection_, "VQS_SIM=1 255 0 0 R\xF6t\r\n"); }));
    EXPECT_TRUE(sendLine(connection_, "VQS_?"));
    ASSERT_TRUE(waitUntil([&] { return lines.size() >= 3; }));
    EXPECT_EQ(m->tcpReceived(), "VQS_SIM=1 255 0 0 R?t\r\n\r\nVQS_?\r\n");
    EXPECT_EQ(lines, (QList<QByteArray>{"VQS_SIM=1 255 0 0 R?t", "", "VQS_?"}));
    EXPECT_TRUE(told_.isEmpty());
}

TEST_F(MonitorConnections, sameHostKeepsItsConnectionAnotherHostReplacesIt) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(connectedTo("127.0.0.2"));
    ASSERT_TRUE(connectedTo("127.0.0.2"));
    EXPECT_EQ(a->connectionsAccepted(), 1);
    ASSERT_TRUE(connectedTo("127.0.0.3"));
    EXPECT_TRUE(waitUntil([&] { return a->openConnections() == 0; }));
    EXPECT_EQ(b->connectionsAccepted(), 1);
}

// A report longer than the reply text keeps its start, where its keys are.
TEST_F(MonitorConnections, replyTextKeepsItsFirst32768Bytes) {
    auto* m = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(m);
    ASSERT_TRUE(connectedTo("127.0.0.2"));
    QByteArray sent;
    for (int i = 0; sent.size() < 40000; ++i) sent += "VQS_LINE" + QByteArray::number(i) + "\r\n";
    m->sendToClient(sent);
    TcpReplyText reply;
    ASSERT_TRUE(waitUntil([&] {
        timed("takeArrived", [&] { return takeArrived(connection_, reply); });
        return reply.text.size() + reply.dropped == sent.size();
    }));
    EXPECT_EQ(reply.text, sent.left(kTcpReplyCapacity));
    EXPECT_EQ(reply.dropped, sent.size() - kTcpReplyCapacity);
    reply.clear();
    EXPECT_TRUE(reply.text.isEmpty());
    EXPECT_EQ(reply.dropped, 0);
}

TEST_F(MonitorConnections, refusalIsToldOncePerEpisodeNotPerTick) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::RefuseTcp);
    ASSERT_TRUE(a);
    for (int tick = 0; tick < 30; ++tick) retryTick("127.0.0.2");
    EXPECT_GE(connection_.client.failures(), 10) << "the dialogue kept trying";
    ASSERT_EQ(told_.size(), 1) << told_.join(" | ").toStdString();

    // Another monitor refusing is news; so is the first one again after it.
    EXPECT_TRUE(told_[0].startsWith("127.0.0.2: ")) << "names the monitor";
    for (int tick = 0; tick < 10; ++tick) retryTick("127.0.0.3");
    ASSERT_EQ(told_.size(), 2);
    EXPECT_TRUE(told_[1].startsWith("127.0.0.3: "));
    for (int tick = 0; tick < 10; ++tick) retryTick("127.0.0.2");
    EXPECT_EQ(told_.size(), 3);

    // It worked in between: the next refusal starts a new episode.
    a->setFault(NetworkMonitorFault::None);
    ASSERT_TRUE(connectedTo("127.0.0.2"));
    disconnect(connection_);
    a->setFault(NetworkMonitorFault::RefuseTcp);
    for (int tick = 0; tick < 10; ++tick) retryTick("127.0.0.2");
    EXPECT_EQ(told_.size(), 4) << told_.join(" | ").toStdString();
}

TEST_F(MonitorConnections, refusalBetweenTicksIsToldByTheWatch) {
    MonitorLink link;
    QStringList told;
    setTcpErrorHandler(link, [&](const QString& text) { told << text; });
    connectTo(link.pollConnection, "127.0.0.5");
    ASSERT_TRUE(waitUntil([&] {
        timed("watchConnections", [&] { watchConnections(link); });
        return !told.isEmpty();
    }));
    betweenTicks(20);
    watchConnections(link);
    EXPECT_EQ(told.size(), 1);
}

TEST_F(MonitorConnections, droppedConnectionFailsTheNextSendsToldOnce) {
    auto* m = startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::DropConnection);
    ASSERT_TRUE(m);
    ASSERT_TRUE(connectedTo("127.0.0.2"));
    EXPECT_TRUE(sendLine(connection_, "VQS_?"));
    ASSERT_TRUE(waitUntil([&] { return !isConnected(connection_); }));
    EXPECT_TRUE(told_.isEmpty()) << "the monitor closing its end is no failure yet";
    for (int tick = 0; tick < 10; ++tick) {
        EXPECT_FALSE(
            timed("sendLine", [&] { return sendLine(connection_, "VQS_SIM=0 0 0 0 \r\n"); }));
        betweenTicks(2);
    }
    EXPECT_EQ(told_.size(), 1);
}

// A monitor switched off answers no SYN: the connect must neither wait nor fail for as long as
// the system tries, and a line for it waits in the queue.
TEST_F(MonitorConnections, silentHostKeepsConnectingWithoutHoldingTheCaller) {
    auto* m = startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::Silent);
    ASSERT_TRUE(m);
    timed("connectTo", [&] { connectTo(connection_, "127.0.0.2"); });
    EXPECT_TRUE(timed("sendLine", [&] { return sendLine(connection_, "VQS_?"); }));
    for (int tick = 0; tick < 10; ++tick) {
        betweenTicks(100);
        EXPECT_FALSE(timed("isConnected", [&] { return isConnected(connection_); }));
    }
    EXPECT_EQ(connection_.client.state(), TcpClient::State::Connecting);
    EXPECT_TRUE(told_.isEmpty());
    disconnect(connection_);
    EXPECT_EQ(connection_.client.state(), TcpClient::State::Unconnected);
}

TEST_F(MonitorConnections, guardRefusalIsToldOnce) {
    test::StderrCapture err;
    for (int tick = 0; tick < 10; ++tick) retryTick("10.0.0.1");
    EXPECT_EQ(told_.size(), 1);
    EXPECT_EQ(test::occurrences(err.text(), "10.0.0.1"), 1);
}

// At exit the connected ones close after what was sent, and nothing more reaches the window.
TEST_F(MonitorConnections, shutdownClosesConnectedOnesAndTellsNothing) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    MonitorLink link;
    QStringList told;
    setTcpErrorHandler(link, [&](const QString& text) { told << text; });
    connectTo(link.patternConnection, "127.0.0.2");
    connectTo(link.saveConnection, "127.0.0.3");
    ASSERT_TRUE(waitUntil(
        [&] { return isConnected(link.patternConnection) && isConnected(link.saveConnection); }));
    sendLine(link.saveConnection, "SAVE?");
    connectTo(link.pollConnection, "127.0.0.9");  // refused, and not yet noticed

    timed("disconnectMonitors", [&] { disconnectMonitors(link); });
    ASSERT_TRUE(waitUntil([&] { return a->openConnections() == 0 && b->openConnections() == 0; }));
    EXPECT_EQ(b->tcpReceived(), "SAVE?\r\n");
    betweenTicks(20);
    watchConnections(link);
    EXPECT_TRUE(told.isEmpty()) << told.join(" | ").toStdString();
}

}  // namespace
}  // namespace vqs
