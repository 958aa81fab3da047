// Monitor discovery against virtual network monitors on their own loopback addresses.

#include "monitor_link/datagrams.h"
#include "monitor_link/monitor_discovery.h"
#include "monitor_link/monitor_link.h"
#include "monitor_link/network_poll.h"
#include "tests/monitor_link/link_test_support.h"
#include "tests/monitor_link/network_lab.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace vqs {
namespace {

using sim::NetworkMonitorFault;
using test::betweenTicks;
using test::timed;
using test::waitUntil;

[[maybe_unused]] const auto* const kLongest =
    testing::AddGlobalTestEnvironment(new test::LongestCall);

const QString kLoopbackBroadcast = QStringLiteral("127.255.255.255");

class Discovery : public test::NetworkLab {
protected:
    // One measurement tick's share: the event loop ran, then one receive. True when a record
    // was added.
    bool tick() {
        betweenTicks(2);
        return timed("receiveDiscoveryReply", [&] {
                   return receiveDiscoveryReply(endpoint_, *monitors_);
               }) == MergeResult::Added;
    }

    // Sends the request and waits until each monitor has heard it and its answer had time to
    // come back.
    void request(const QString& networkIp,
                 std::initializer_list<sim::VirtualNetworkMonitor*> heard) {
        ASSERT_TRUE(timed("sendDiscoveryRequest",
                          [&] { return sendDiscoveryRequest(endpoint_, networkIp); }));
        ASSERT_TRUE(waitUntil([&] {
            for (auto* m : heard)
                if (m->discoveryRequests() == 0) return false;
            return true;
        }));
        betweenTicks(20);
    }

    const Tdevices* recordAt(const QString& source) const {
        for (const Tdevices& d : *monitors_)
            if (d.sourceType == kSourceNetwork && d.source == source) return &d;
        return nullptr;
    }

    UdpEndpoint endpoint_;
    std::unique_ptr<MonitorList> monitors_ = std::make_unique<MonitorList>();
};

TEST_F(Discovery, oneBroadcastFindsTwoMonitorsOneAnswerPerTick) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    request(kLoopbackBroadcast, {a, b});

    EXPECT_TRUE(tick());
    EXPECT_EQ(usedMonitorCount(*monitors_), 1) << "at most one datagram per tick";
    EXPECT_TRUE(tick());
    EXPECT_FALSE(tick());
    ASSERT_EQ(usedMonitorCount(*monitors_), 2);

    for (const auto& [source, name, serial] : {std::tuple{"127.0.0.2", "Studio A", "SN-A"},
                                               std::tuple{"127.0.0.3", "Studio B", "SN-B"}}) {
        const Tdevices* d = recordAt(QString::fromLatin1(source));
        ASSERT_NE(d, nullptr) << source;
        EXPECT_EQ(d->report.devname, QString::fromLatin1(name));
        EXPECT_EQ(d->report.devsnid, QString::fromLatin1(serial));
        EXPECT_EQ(d->pollState, 0);
    }
}

TEST_F(Discovery, knownMonitorAnsweringAgainAddsNothing) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN123");
    ASSERT_TRUE(a);
    request(kLoopbackBroadcast, {a});
    EXPECT_TRUE(tick());
    a->stop();

    // The same monitor, moved to another address: its row follows it.
    auto* moved = startMonitor("127.0.0.4", "Studio A", "SN123");
    ASSERT_TRUE(moved);
    request(kLoopbackBroadcast, {moved});
    bool added = false;
    for (int i = 0; i < 5; ++i) added |= tick();
    EXPECT_FALSE(added) << "an update must not refill the grid";
    ASSERT_EQ(usedMonitorCount(*monitors_), 1);
    EXPECT_EQ((*monitors_)[0].source, "127.0.0.4");
    EXPECT_EQ((*monitors_)[0].position, 0);
}

struct IgnoredCase {
    std::string what;
    NetworkMonitorFault fault;
};

class IgnoredAnswer : public Discovery, public testing::WithParamInterface<IgnoredCase> {};

TEST_P(IgnoredAnswer, addsNoMonitor) {
    auto* m = startMonitor("127.0.0.2", "Studio A", "SN123", GetParam().fault);
    ASSERT_TRUE(m);
    request(kLoopbackBroadcast, {m});
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(tick());
    EXPECT_EQ(usedMonitorCount(*monitors_), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IgnoredAnswer,
    testing::Values(IgnoredCase{"from port 7002", NetworkMonitorFault::WrongPort},
                    IgnoredCase{"empty name", NetworkMonitorFault::EmptyName},
                    IgnoredCase{"empty serial", NetworkMonitorFault::EmptySerial},
                    IgnoredCase{"garbage", NetworkMonitorFault::GarbageReply},
                    IgnoredCase{"silent", NetworkMonitorFault::Silent}),
    test::CaseName{});

// 9000 bytes arrive as 8192 and nothing past them is read; a 100-character name keeps 63.
TEST_F(Discovery, oversizedAnswerIsCutSafely) {
    auto* m = startMonitor("127.0.0.2", "unused", "SN-BIG", NetworkMonitorFault::OversizedReply);
    ASSERT_TRUE(m);
    request(kLoopbackBroadcast, {m});
    EXPECT_TRUE(tick());
    ASSERT_EQ(usedMonitorCount(*monitors_), 1);
    EXPECT_EQ((*monitors_)[0].report.devname, QString(63, QLatin1Char('N')));
    EXPECT_EQ((*monitors_)[0].report.devsnid, "SN-BIG");
}

TEST_F(Discovery, unicastAddressReachesThatMonitorAlone) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    request("127.0.0.3", {b});
    EXPECT_EQ(a->discoveryRequests(), 0);
    EXPECT_TRUE(tick());
    EXPECT_FALSE(tick());
    ASSERT_EQ(usedMonitorCount(*monitors_), 1);
    EXPECT_EQ((*monitors_)[0].source, "127.0.0.3");
}

TEST_F(Discovery, datagramsGoOutAsAsciiAndNeverBeyondLoopback) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(a);
    test::StderrCapture err;
    EXPECT_FALSE(sendDatagram(endpoint_, "192.168.0.255", "VQS_DATE=01.02.2025\r\n"));
    EXPECT_FALSE(sendDiscoveryRequest(endpoint_, "192.168.0.255"));
    EXPECT_TRUE(timed("sendDatagram", [&] {
        return sendDatagram(endpoint_, kLoopbackBroadcast, "VQS_SIM=1 0 0 0 M\xFC\xDFig\r\n");
    }));
    ASSERT_TRUE(waitUntil([&] { return !a->datagrams().isEmpty(); }));
    betweenTicks(20);
    EXPECT_EQ(a->datagrams(), QList<QByteArray>{"VQS_SIM=1 0 0 0 M??ig\r\n"});
    EXPECT_EQ(a->discoveryRequests(), 0);
    EXPECT_EQ(test::occurrences(err.text(), "192.168.0.255"), 1);
}

struct IdentityCase {
    std::string what;
    QByteArray name;  // as the monitor sends it
    NetworkMonitorFault fault;
    int records;  // what the list holds of the monitor, each record asked once
};

// Every discovery answer and every report names the monitor; however they differ in what they
// can carry, the list does not grow from one cycle to the next.
class OneMonitorOneRecord : public Discovery, public testing::WithParamInterface<IdentityCase> {
protected:
    // One discovery period: the request, the answer taken, then the report query of whatever is
    // new until nothing is waiting any more.
    void cycle(sim::VirtualNetworkMonitor& m) {
        const int heard = m.discoveryRequests();
        ASSERT_TRUE(sendDiscoveryRequest(endpoint_, m.address()));
        ASSERT_TRUE(waitUntil([&] { return m.discoveryRequests() > heard; }));
        betweenTicks(20);
        for (int i = 0; i < 3; ++i) tick();
        for (int step = 0; step < 200 && asking(); ++step) {
            betweenTicks(2);
            networkPollStep(link_, *monitors_, targets_);
        }
    }

    bool asking() const {
        for (int i = 0; i < usedMonitorCount(*monitors_); ++i)
            if ((*monitors_)[i].pollState < kPollGivenUp) return true;
        return false;
    }

    MonitorLink link_;
    PatchCatalogue targets_ = makePatchCatalogue();
};

TEST_P(OneMonitorOneRecord, throughDiscoveryAndPollOverSeveralCycles) {
    const IdentityCase& c = GetParam();
    auto* m = startMonitor("127.0.0.2", c.name, "SN-1", c.fault);
    ASSERT_TRUE(m);
    for (int n = 0; n < 4; ++n) {
        cycle(*m);
        // A renamed record makes room for one more at the next answer, and no more after it.
        EXPECT_EQ(usedMonitorCount(*monitors_), std::min(n + 1, c.records)) << "cycle " << n;
    }
    EXPECT_EQ(m->reportQueries(), c.records);
    const Tdevices* d = recordAt("127.0.0.2");
    for (int i = 0; i < usedMonitorCount(*monitors_); ++i)
        if ((*monitors_)[i].report.devsnid == "SN-1") d = &(*monitors_)[i];
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->report.devsnid, "SN-1");
    EXPECT_EQ(d->report.devname, QString::fromLatin1(c.name.left(63)))
        << "the record keeps the name as discovery gave it";
    EXPECT_EQ(d->pollState, kPollDone);
    EXPECT_EQ(d->report.repgamma, "2.4") << "the report's results are in the record";
}

QByteArray longName() {
    QByteArray name;
    for (int i = 0; name.size() < 300; ++i) name += "Studio-" + QByteArray::number(i % 10);
    return name.left(300);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OneMonitorOneRecord,
    testing::Values(
        IdentityCase{"300 bytes", longName(), NetworkMonitorFault::None, 1},
        IdentityCase{"Latin-1", "R\xE9gie \xDC", NetworkMonitorFault::None, 1},
        IdentityCase{"UTF-8", "R\xC3\xA9gie \xC3\x9C", NetworkMonitorFault::None, 1},
        // Its report names another monitor: that one record more, not one more per cycle.
        IdentityCase{"report naming another serial", "Studio A",
                     NetworkMonitorFault::OtherSerialInReport, 2}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
