// The loopback-only rule: which destinations pass, and that the network layer heeds it before
// anything leaves the machine.

#include "platform/loopback_guard.h"
#include "platform/tcp_client.h"
#include "platform/udp_endpoint.h"
#include "tests/monitor_link/link_test_support.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

using test::occurrences;
using test::StderrCapture;
using test::timed;

struct DestinationCase {
    std::string what;
    QString address;
    bool allowed;
};

class LoopbackRule : public testing::TestWithParam<DestinationCase> {};

TEST_P(LoopbackRule, passesOnly127Slash8) {
    const DestinationCase& c = GetParam();
    EXPECT_EQ(destinationAllowed(QHostAddress(c.address), true), c.allowed);
    EXPECT_TRUE(destinationAllowed(QHostAddress(c.address), false)) << "no rule, no refusal";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoopbackRule,
    testing::Values(DestinationCase{"default broadcast", "192.168.0.255", false},
                    DestinationCase{"private host", "10.0.0.1", false},
                    DestinationCase{"limited broadcast", "255.255.255.255", false},
                    DestinationCase{"any", "0.0.0.0", false},
                    DestinationCase{"just below", "126.255.255.255", false},
                    DestinationCase{"just above", "128.0.0.0", false},
                    DestinationCase{"loopback host", "127.0.0.1", true},
                    DestinationCase{"virtual monitor", "127.0.0.2", true},
                    DestinationCase{"loopback broadcast", "127.255.255.255", true},
                    DestinationCase{"ipv6 loopback", "::1", false},
                    DestinationCase{"mapped ipv4 loopback", "::ffff:127.0.0.1", false},
                    DestinationCase{"unreadable", "", false}),
    test::CaseName{});

TEST(LoopbackGuard, saysARefusalOncePerDestination) {
    StderrCapture err;
    LoopbackGuard guard(true);
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_FALSE(guard.admits(QHostAddress("192.168.0.255"), "192.168.0.255"));
        EXPECT_FALSE(guard.admits(QHostAddress("10.0.0.1"), "10.0.0.1"));
        EXPECT_TRUE(guard.admits(QHostAddress("127.0.0.1"), "127.0.0.1"));
    }
    const std::string said = err.text();
    EXPECT_EQ(occurrences(said, "192.168.0.255"), 1) << said;
    EXPECT_EQ(occurrences(said, "10.0.0.1"), 1) << said;
    EXPECT_EQ(occurrences(said, "127.0.0.1"), 0) << said;
}

// The sockets read the rule from the environment, as the scripts set it.
class LoopbackOnlySockets : public testing::Test {
protected:
    LoopbackOnlySockets() { qputenv("VQS_LOOPBACK_ONLY", "1"); }
};

TEST_F(LoopbackOnlySockets, refuseDatagramsAndConnectionsBeyondLoopback) {
    StderrCapture err;
    UdpEndpoint endpoint;
    EXPECT_FALSE(timed("sendTo", [&] { return endpoint.sendTo("192.168.0.255", 7001, "x"); }));
    EXPECT_FALSE(endpoint.sendTo(" 10.0.0.1 ", 7001, "x"));
    EXPECT_EQ(endpoint.localPort(), 0) << "nothing was even bound";

    TcpClient client;
    timed("connectTo", [&] { client.connectTo("10.0.0.1", 7000); });
    EXPECT_EQ(client.state(), TcpClient::State::Unconnected);
    EXPECT_EQ(client.failures(), 1);
    EXPECT_NE(client.errorText().indexOf("loopback"), -1) << client.errorText().toStdString();
    EXPECT_NE(err.text().find("VQS_LOOPBACK_ONLY"), std::string::npos);
}

TEST_F(LoopbackOnlySockets, takeNoNamesThatWouldNeedALookup) {
    UdpEndpoint endpoint;
    EXPECT_FALSE(endpoint.sendTo("localhost", 7001, "x"));
    TcpClient client;
    client.connectTo("localhost", 7000);
    EXPECT_EQ(client.state(), TcpClient::State::Unconnected);
    EXPECT_EQ(client.failures(), 1);
}

}  // namespace
}  // namespace vqs
