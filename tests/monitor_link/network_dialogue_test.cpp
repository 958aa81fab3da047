// The dialogues with virtual network monitors on their own loopback addresses: pushes by
// datagram, patterns over patternConnection and its three-call switch, the report query over
// pollConnection, and the downstream save.

#include "monitor_link/downstream_save.h"
#include "monitor_link/monitor_link.h"
#include "monitor_link/monitor_messages.h"
#include "monitor_link/monitor_pushes.h"
#include "monitor_link/network_poll.h"
#include "monitor_link/pattern_display.h"
#include "tests/monitor_link/link_test_support.h"
#include "tests/monitor_link/network_lab.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

namespace vqs {
namespace {

using sim::NetworkMonitorFault;
using test::betweenTicks;
using test::timed;
using test::waitUntil;

class NetworkDialogue : public test::NetworkLab {
  protected:
    NetworkDialogue() {
        setTcpErrorHandler(link_, [this](const QString& text) { told_ << text; });
    }

    // The monitor as discovery lists it; its slot in the list.
    int list(const sim::VirtualNetworkMonitor* m, const QString& devsnid, const QString& devname) {
        mergeNetworkMonitor(*monitors_, kSourceNetwork, m->address(), devsnid, devname);
        for (int i = 0; i < usedMonitorCount(*monitors_); ++i)
            if ((*monitors_)[i].report.devsnid == devsnid) return i;
        return -1;
    }

    void listFile(const QString& devsnid) {
        Tdevices& d = (*monitors_)[usedMonitorCount(*monitors_)];
        d.sourceType = kSourceFile;
        d.source = "/reports/VQSREPORT_" + devsnid + ".txt";
        d.report.devsnid = devsnid;
        d.report.repdate = "1.1.2020";
        sortMonitors(*monitors_);
    }

    // A call of the pattern display, and the second until the next one: a connect under way
    // gets there (or fails) meanwhile.
    void showPattern(int selected, const PatternRequest& pattern) {
        timed("showPatternOnMonitor",
              [&] { showPatternOnMonitor(link_, *monitors_, selected, pattern); });
        betweenTicks(30);
        waitUntil(
            [&] { return link_.patternConnection.client.state() != TcpClient::State::Connecting; });
    }

    QStringList told_;
    MonitorLink link_;
    std::unique_ptr<MonitorList> monitors_ = std::make_unique<MonitorList>();
    PatchCatalogue targets_ = makePatchCatalogue();
};

const PatternRequest kRed{kPatternShow, 255, 0, 0, "Red"};
const PatternRequest kGreen{kPatternShow, 0, 255, 0, "Green"};

TEST_F(NetworkDialogue, pushesReachEveryMonitorAsOneDatagramEach) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    timed("pushReading", [&] { pushReading(link_, "127.255.255.255", 1.5f, 100.0f, 98.25f); });
    timed("pushDate", [&] { pushDate(link_, "127.255.255.255", "10.12.2026"); });
    ASSERT_TRUE(
        waitUntil([&] { return a->datagrams().size() == 2 && b->datagrams().size() == 2; }));
    const QList<QByteArray> expected{"VQS_XYZ=  1.500 100.000  98.250\r\n",
                                     "VQS_DATE=10.12.2026\r\n"};
    EXPECT_EQ(a->datagrams(), expected);
    EXPECT_EQ(b->datagrams(), expected);
}

TEST_F(NetworkDialogue, patternMovesBetweenNetworkMonitorsOverThreeCalls) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    const int ia = list(a, "SN-A", "Studio A");
    const int ib = list(b, "SN-B", "Studio B");

    showPattern(ia, kRed);  // connects, sends nothing
    EXPECT_TRUE(waitUntil([&] { return a->connectionsAccepted() == 1; }));
    EXPECT_TRUE(a->tcpReceived().isEmpty());
    showPattern(ia, kRed);
    ASSERT_TRUE(waitUntil([&] { return a->display().shown() == QColor(255, 0, 0); }));
    EXPECT_EQ(a->tcpReceived(), "VQS_SIM=1 255 0 0 Red\r\n\r\n");

    // Another monitor selected: the first is told off with this call's values, and let go.
    showPattern(ib, kGreen);
    ASSERT_TRUE(waitUntil([&] { return a->openConnections() == 0; }));
    EXPECT_EQ(a->tcpReceived(), "VQS_SIM=1 255 0 0 Red\r\n\r\nVQS_SIM=0 0 255 0 Green\r\n\r\n");
    EXPECT_EQ(a->display().shown(), QColor(Qt::black));
    EXPECT_TRUE(link_.patternConnection.host.isEmpty());
    EXPECT_EQ(b->connectionsAccepted(), 0);

    showPattern(ib, kGreen);  // connects to the new one
    EXPECT_TRUE(waitUntil([&] { return b->connectionsAccepted() == 1; }));
    EXPECT_TRUE(b->tcpReceived().isEmpty());
    showPattern(ib, kGreen);
    ASSERT_TRUE(waitUntil([&] { return b->display().shown() == QColor(0, 255, 0); }));
    EXPECT_EQ(b->tcpReceived(), "VQS_SIM=1 0 255 0 Green\r\n\r\n");
    EXPECT_TRUE(told_.isEmpty()) << told_.join(" | ").toStdString();
}

// A monitor switched off mid-run: tried again each call, told once, taken up again when it is
// back; and leaving it for another monitor does not wait on it.
TEST_F(NetworkDialogue, monitorThatWentAwayIsRetriedToldOnceAndLeftWithoutWaiting) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    const int ia = list(a, "SN-A", "Studio A");
    const int ib = list(b, "SN-B", "Studio B");
    showPattern(ia, kRed);
    showPattern(ia, kRed);
    ASSERT_TRUE(waitUntil([&] { return a->display().shown() == QColor(255, 0, 0); }));

    a->stop();
    for (int second = 0; second < 8; ++second) showPattern(ia, kRed);
    EXPECT_EQ(told_.size(), 1) << told_.join(" | ").toStdString();

    a->display().show(Qt::black);
    ASSERT_TRUE(a->start());
    ASSERT_TRUE(waitUntil([&] {
        showPattern(ia, kRed);
        return a->display().shown() == QColor(255, 0, 0);
    }));

    a->stop();
    betweenTicks(30);
    showPattern(ib, kGreen);
    EXPECT_TRUE(link_.patternConnection.host.isEmpty());
    showPattern(ib, kGreen);
    showPattern(ib, kGreen);
    EXPECT_TRUE(waitUntil([&] { return b->display().shown() == QColor(0, 255, 0); }));
}

// An automatic run with the patches on the monitor: each capture step sends the next patch at
// once, and what a probe in front of the monitor measures is what that patch asks for.
TEST_F(NetworkDialogue, runThroughTheMonitorShowsEachPatchForTheProbe) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(a);
    const int ia = list(a, "SN-A", "Studio A");
    QList<QByteArray> shown;
    QObject::connect(a, &sim::VirtualNetworkMonitor::patternShown,
                     [&](const QColor&, const QByteArray& name) { shown << name; });
    sim::DisplayModel reference;
    int off = 0;
    for (int slot = 1; slot <= kLastEbuSlot; ++slot) {
        const Ttarget& t = targets_[slot];
        ASSERT_TRUE(waitUntil([&] {
            sendPatternToMonitor(link_, *monitors_, ia, {slot, false, false}, off, targets_);
            betweenTicks(5);
            return !shown.isEmpty() && shown.back() == t.name.toLatin1();
        })) << slot;
        reference.show(QColor(t.r, t.g, t.b));
        const sim::Tristimulus probe = a->display().tristimulus();
        EXPECT_DOUBLE_EQ(probe.Y, reference.tristimulus().Y) << slot;
        EXPECT_DOUBLE_EQ(probe.X, reference.tristimulus().X) << slot;
    }
    // Slot 40 ends the run: the monitor goes black.
    sendPatternToMonitor(link_, *monitors_, ia, {kStopSlot, true, false}, off, targets_);
    EXPECT_TRUE(waitUntil([&] { return a->display().shown() == QColor(Qt::black); }));
    EXPECT_EQ(off, kRemotePatternOffMessages - 1);
}

class ReportPoll : public NetworkDialogue {
  protected:
    bool step() {
        betweenTicks(2);
        return timed("networkPollStep",
                     [&] { return networkPollStep(link_, *monitors_, targets_); });
    }

    // Steps until the record's poll state is one of the given; the steps taken, or -1.
    int stepUntil(int index, std::initializer_list<int32_t> states, int most = 200) {
        for (int n = 1; n <= most; ++n) {
            step();
            for (int32_t s : states)
                if ((*monitors_)[index].pollState == s) return n;
        }
        return -1;
    }
};

TEST_F(ReportPoll, monitorIsAskedOnceAndItsReportFillsItsRecord) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(a);
    const int ia = list(a, "SN-A", "Studio A");
    step();
    EXPECT_EQ((*monitors_)[ia].pollState, kPollAsked);
    ASSERT_GT(stepUntil(ia, {kPollDone}), 0);
    const Tdevices& d = (*monitors_)[ia];
    EXPECT_EQ(d.report.repgamma, "2.4");
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if (isPatchSlot(slot)) {
            EXPECT_NEAR(d.report.xyz[slot].X, a->storedReport().xyz[slot][0], 0.0005) << slot;
        }
    }
    EXPECT_EQ(a->tcpReceived(), QByteArray("VQS_?\r\n")) << "sendLine ends the query line";

    for (int i = 0; i < 40; ++i) step();
    EXPECT_EQ(a->reportQueries(), 1);
    EXPECT_EQ(a->connectionsAccepted(), 1);
    EXPECT_TRUE(waitUntil([&] { return a->openConnections() == 0; }));
}

TEST_F(ReportPoll, halfAReportEndsAtThirtyOneWithTheKeysItSent) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::HalfReport);
    ASSERT_TRUE(a);
    const int ia = list(a, "SN-A", "Studio A");
    (*monitors_)[ia].report.xyz[kLastSlot] = {7.0f, 7.0f, 7.0f};
    const int steps = stepUntil(ia, {kPollGivenUp, kPollDone});
    ASSERT_GT(steps, 0);
    EXPECT_EQ((*monitors_)[ia].pollState, kPollGivenUp);
    EXPECT_GE(steps, kPollGivenUp) << "30 ticks of waiting after the query";

    const Tdevices& d = (*monitors_)[ia];
    EXPECT_EQ(d.report.repgamma, "2.4") << "keys that arrived are kept";
    EXPECT_NEAR(d.report.xyz[1].X, a->storedReport().xyz[1][0], 0.0005);
    EXPECT_EQ(d.report.xyz[kLastSlot].X, 7.0f) << "keys that never came leave the record alone";
    for (int i = 0; i < 40; ++i) step();
    EXPECT_EQ(a->reportQueries(), 1) << "given up is not asked again";
    EXPECT_EQ(d.pollState, kPollGivenUp);
}

// The report's texts go into the record (its row stays where it is until the next sort); the
// next discovery answer no longer matches it and adds a further record.
TEST_F(ReportPoll, reportNamingAnotherSerialRenamesTheRecordAndDiscoveryAddsAnother) {
    auto* a =
        startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::OtherSerialInReport);
    ASSERT_TRUE(a);
    listFile("P-FILE");
    const int ia = list(a, "SN-A", "Studio A");
    const int position = (*monitors_)[ia].position;
    bool renamed = false;
    for (int n = 0; n < 200 && (*monitors_)[ia].pollState != kPollDone; ++n) renamed |= step();
    ASSERT_EQ((*monitors_)[ia].pollState, kPollDone);
    EXPECT_TRUE(renamed);
    EXPECT_EQ((*monitors_)[ia].report.devsnid, "OTHER-SN-A");
    EXPECT_EQ((*monitors_)[ia].position, position);

    UdpEndpoint endpoint;
    ASSERT_TRUE(sendDiscoveryRequest(endpoint, "127.0.0.2"));
    ASSERT_TRUE(waitUntil(
        [&] { return receiveDiscoveryReply(endpoint, *monitors_) == MergeResult::Added; }));
    EXPECT_EQ(usedMonitorCount(*monitors_), 3);
}

struct QuietListCase {
    const char* what;
    std::vector<int32_t> types;
    int cursor;
};

class QuietList : public ReportPoll, public testing::WithParamInterface<QuietListCase> {};

// Nothing to ask: one step crosses the list, wraps, and connects to nobody.
TEST_P(QuietList, oneStepWrapsTheCursorAndSendsNothing) {
    for (int32_t type : GetParam().types) {
        Tdevices& d = (*monitors_)[usedMonitorCount(*monitors_)];
        d.sourceType = type;
        d.source = type == kSourceSerial ? "RS232" : "127.0.0.2";
        d.pollState = type == kSourceNetwork ? kPollDone : kPollNew;
    }
    link_.networkPoll.cursor = GetParam().cursor;
    EXPECT_FALSE(step());
    EXPECT_EQ(link_.networkPoll.cursor, 0);
    EXPECT_TRUE(link_.pollConnection.host.isEmpty());
    EXPECT_EQ(link_.pollConnection.client.state(), TcpClient::State::Unconnected);
}

INSTANTIATE_TEST_SUITE_P(
    All, QuietList,
    testing::Values(
        QuietListCase{"empty list", {}, 0},
        QuietListCase{"files and the serial monitor", {kSourceFile, kSourceSerial, kSourceFile}, 0},
        QuietListCase{
            "network monitors already done", {kSourceNetwork, kSourceFile, kSourceNetwork}, 1},
        QuietListCase{"cursor behind a list that shrank", {kSourceFile}, 700}),
    test::CaseName{});

// Monitors that refuse are asked again each time the cursor comes round, and told once each,
// however often the query alternates between them.
TEST_F(ReportPoll, refusingMonitorsAreToldOnceEachAndDoNotHoldUpTheOthers) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A", NetworkMonitorFault::RefuseTcp);
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    auto* c = startMonitor("127.0.0.4", "Studio C", "SN-C", NetworkMonitorFault::RefuseTcp);
    ASSERT_TRUE(a && b && c);
    const int ia = list(a, "SN-A", "Studio A");
    const int ib = list(b, "SN-B", "Studio B");
    const int ic = list(c, "SN-C", "Studio C");
    ASSERT_LT(ia, ib) << "a refusing monitor comes first in the list";
    ASSERT_GT(stepUntil(ib, {kPollDone}), 0);
    for (int i = 0; i < 60; ++i) step();
    // Never given up: each is asked again when the cursor comes round (and may be in the middle
    // of that attempt now).
    EXPECT_LT((*monitors_)[ia].pollState, kPollGivenUp)
        << "asked again when the cursor comes round";
    EXPECT_LT((*monitors_)[ic].pollState, kPollGivenUp);
    EXPECT_EQ(b->reportQueries(), 1);
    told_.sort();
    ASSERT_EQ(told_.size(), 2) << told_.join(" | ").toStdString();
    EXPECT_TRUE(told_[0].startsWith("127.0.0.2"));
    EXPECT_TRUE(told_[1].startsWith("127.0.0.4"));

    // Once it answers, its next refusal is news again.
    a->setFault(NetworkMonitorFault::None);
    ASSERT_GT(stepUntil(ia, {kPollDone}), 0);
    (*monitors_)[ia].pollState = kPollNew;
    a->setFault(NetworkMonitorFault::RefuseTcp);
    for (int i = 0; i < 20; ++i) step();
    EXPECT_EQ(told_.size(), 3) << told_.join(" | ").toStdString();
}

class MonitorSave : public NetworkDialogue {
  protected:
    MonitorSave() {
        report_.repdate = "10.12.2026";
        report_.repgamma = "DICOM";
        for (int slot = 0; slot < kPatchSlots; ++slot)
            report_.xyz[slot] = {slot + 0.5f, slot * 3.0f, 1.0f / (slot + 1)};
    }

    std::optional<SaveOutcome> save(const GridSelection& rows) {
        auto targets =
            saveTargets(*monitors_, rows, [&](int row) { return recordAtRow(*monitors_, row); });
        std::optional<SaveOutcome> outcome;
        if (!save_.start(std::move(targets), report_, targets_,
                         [&](const SaveOutcome& o) { outcome = o; }))
            return std::nullopt;
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }, 20000));
        return outcome;
    }

    static QByteArray onTheWire(const std::vector<SaveStep>& steps) {
        QByteArray bytes;
        for (const SaveStep& s : steps) bytes += s.message + "\r\n";
        return bytes;
    }

    Tcaldaten report_;
    DownstreamSave save_{link_, *monitors_};
};

// A is showing patches, so it gets the whole report over that connection; B gets the report
// without the DICOM steps over a connection of its own; the report file is left alone.
TEST_F(MonitorSave, twoNetworkMonitorsAndAFileEachMonitorHoldsTheReportAfterwards) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    const int ia = list(a, "SN-A", "Studio A");
    const int ib = list(b, "SN-B", "Studio B");
    listFile("SN-AB");  // sorts between the two monitors
    showPattern(ia, kRed);
    showPattern(ia, kRed);
    ASSERT_TRUE(waitUntil([&] { return a->display().shown() == QColor(255, 0, 0); }));
    const Tdevices fileBefore = (*monitors_)[2];
    const QByteArray factoryDicom = b->storedReport().xyz[kLastSlot][1] != 0.0
                                        ? QByteArray::number(b->storedReport().xyz[kLastSlot][1])
                                        : QByteArray();

    const auto outcome = save({1, 3});
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->complete) << outcome->failure.toStdString();
    EXPECT_EQ(outcome->monitorsSaved, 2);
    ASSERT_TRUE(waitUntil([&] { return a->savesStored() == 1 && b->savesStored() == 1; }));

    EXPECT_EQ(a->connectionsAccepted(), 1) << "the pattern connection carried the save";
    EXPECT_TRUE(a->tcpReceived().endsWith(onTheWire(saveSchedule(report_, targets_, kLastSlot))));
    EXPECT_NEAR(a->storedReport().xyz[kLastSlot][1], report_.xyz[kLastSlot].Y, 1e-6);
    EXPECT_EQ(link_.patternConnection.client.state(), TcpClient::State::Connected);

    EXPECT_EQ(b->tcpReceived(),
              onTheWire(saveSchedule(report_, targets_, kLastSlotOverSaveConnection)));
    EXPECT_NEAR(b->storedReport().xyz[kLastEbuSlot][0], report_.xyz[kLastEbuSlot].X, 1e-6);
    EXPECT_EQ(QByteArray::number(b->storedReport().xyz[kLastSlot][1]), factoryDicom)
        << "the DICOM steps do not go over the save connection";
    EXPECT_TRUE(waitUntil([&] { return b->openConnections() == 0; }));

    for (int i : {ia, ib}) {
        EXPECT_EQ((*monitors_)[i].report.repdate, "10.12.2026");
        EXPECT_EQ((*monitors_)[i].report.repgamma, "DICOM");
        EXPECT_EQ((*monitors_)[i].report.xyz[kLastSlot].Z, report_.xyz[kLastSlot].Z);
    }
    EXPECT_EQ((*monitors_)[2].report.repdate, fileBefore.report.repdate);
    EXPECT_EQ((*monitors_)[2].report.xyz[1].X, fileBefore.report.xyz[1].X);
    EXPECT_TRUE(told_.isEmpty()) << told_.join(" | ").toStdString();
}

TEST_F(MonitorSave, selectionOfReportFilesOnlyHasNoMonitorToSaveTo) {
    listFile("F1");
    listFile("F2");
    EXPECT_TRUE(saveTargets(*monitors_, {1, 2}, [&](int row) {
                    return recordAtRow(*monitors_, row);
                }).empty());
    EXPECT_FALSE(save({1, 2}));
}

class MonitorSaveFailure : public MonitorSave,
                           public testing::WithParamInterface<NetworkMonitorFault> {};

// The first monitor's connection fails: the save says so and goes no further.
TEST_P(MonitorSaveFailure, endsTheSaveThereAndLeavesTheRestUnsent) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A", GetParam());
    auto* b = startMonitor("127.0.0.3", "Studio B", "SN-B");
    ASSERT_TRUE(a && b);
    list(a, "SN-A", "Studio A");
    list(b, "SN-B", "Studio B");
    const auto outcome = save({1, 2});
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->complete);
    EXPECT_EQ(outcome->monitorsSaved, 0);
    EXPECT_TRUE(outcome->failure.contains("127.0.0.2")) << outcome->failure.toStdString();
    betweenTicks(50);
    EXPECT_EQ(b->connectionsAccepted(), 0);
    EXPECT_EQ(a->savesStored(), 0);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE((*monitors_)[i].report.repdate.isEmpty());
    EXPECT_LE(told_.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(All, MonitorSaveFailure,
                         testing::Values(NetworkMonitorFault::RefuseTcp,
                                         NetworkMonitorFault::DropConnection),
                         [](const testing::TestParamInfo<NetworkMonitorFault>& info) {
                             return info.param == NetworkMonitorFault::RefuseTcp
                                        ? std::string("refused")
                                        : std::string("dropped");
                         });

// The bytes of one save as they arrived, from its first message on.
QByteArray saveAsHeard(const QByteArray& received, const QByteArray& sequence) {
    const qsizetype start = received.indexOf("VQS_REPDATE=");
    return start < 0 ? QByteArray() : received.mid(start, sequence.size());
}

struct PatternDuringSaveCase {
    std::string what;
    bool otherMonitorChosen;  // the operator clicks "Mon 001" while the save runs
};

class PatternDuringSave : public MonitorSave,
                          public testing::WithParamInterface<PatternDuringSaveCase> {};

// "Mon 002" shows patches, so its save goes over the pattern connection, while the window goes
// on calling the pattern display ten times a second, for "Mon 002" or, after a click, for
// "Mon 001". The save keeps the connection to its end and nothing comes between its lines; the
// pattern display carries on after it.
TEST_P(PatternDuringSave, waitsForTheSaveWhichKeepsItsConnectionToTheEnd) {
    auto* a = startMonitor("127.0.0.2", "Mon 001", "SN-1");
    auto* b = startMonitor("127.0.0.3", "Mon 002", "SN-2");
    ASSERT_TRUE(a && b);
    const int ia = list(a, "SN-1", "Mon 001");
    const int ib = list(b, "SN-2", "Mon 002");
    showPattern(ib, kRed);
    showPattern(ib, kRed);
    ASSERT_TRUE(waitUntil([&] { return b->display().shown() == QColor(255, 0, 0); }));
    const int chosen = GetParam().otherMonitorChosen ? ia : ib;
    QTimer display;
    const test::ConnectionGuard showing{QObject::connect(&display, &QTimer::timeout, [&] {
        showPatternOnMonitor(link_, *monitors_, chosen, kRed);
    })};
    display.start(100);

    const int row = (*monitors_)[ib].position + 1;
    const auto outcome = save({row, row});
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->complete) << outcome->failure.toStdString();
    ASSERT_TRUE(waitUntil([&] { return b->savesStored() == 1; }));
    const QByteArray sequence = onTheWire(saveSchedule(report_, targets_, kLastSlot));
    EXPECT_EQ(saveAsHeard(b->tcpReceived(), sequence), sequence);

    if (GetParam().otherMonitorChosen) {
        EXPECT_TRUE(waitUntil([&] { return a->display().shown() == QColor(255, 0, 0); }))
            << "the switch follows the save";
        EXPECT_EQ(b->display().shown(), QColor(Qt::black));
    } else {
        EXPECT_TRUE(waitUntil([&] {
            return b->tcpReceived().lastIndexOf("VQS_SIM=1 255 0 0 Red") >
                   b->tcpReceived().indexOf("SAVE?");
        })) << "the patches follow the save";
    }
    EXPECT_TRUE(told_.isEmpty()) << told_.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternDuringSave,
                         testing::Values(PatternDuringSaveCase{"same monitor shown", false},
                                         PatternDuringSaveCase{"other monitor chosen", true}),
                         test::CaseName{});

// The report query of a monitor is under way when a save to it begins; the reply, the report
// the monitor held before, is taken only after the save. It may not replace the saved report.
TEST_F(MonitorSave, aQueryAskedBeforeTheSaveEndedIsNotMergedOverTheSavedReport) {
    auto* a = startMonitor("127.0.0.2", "Studio A", "SN-A");
    ASSERT_TRUE(a);
    const int ia = list(a, "SN-A", "Studio A");
    auto pollStep = [&] {
        betweenTicks(2);
        networkPollStep(link_, *monitors_, targets_);
    };
    for (int n = 0; n < 100 && a->reportQueries() == 0; ++n) {
        pollStep();
        waitUntil([&] { return a->reportQueries() > 0; }, 20);
    }
    ASSERT_EQ(a->reportQueries(), 1);
    ASSERT_EQ((*monitors_)[ia].pollState, kPollAsked);

    const auto outcome = save({1, 1});
    ASSERT_TRUE(outcome);
    ASSERT_TRUE(outcome->complete) << outcome->failure.toStdString();
    for (int n = 0; n < 40; ++n) pollStep();

    const Tdevices& d = (*monitors_)[ia];
    EXPECT_EQ(d.report.repdate, "10.12.2026");
    EXPECT_EQ(d.report.repgamma, "DICOM");
    EXPECT_EQ(d.report.xyz[1].X, report_.xyz[1].X);
    EXPECT_EQ(d.pollState, kPollDone) << "the record holds the report its monitor holds";
    EXPECT_EQ(a->reportQueries(), 1);
}

}  // namespace
}  // namespace vqs
