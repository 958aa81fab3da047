// The dialogues with a virtual serial monitor on a pseudo-terminal: the report query, patterns
// and pushes, and a downstream save paced over the event loop.

#include "monitor_link/downstream_save.h"
#include "monitor_link/monitor_link.h"
#include "monitor_link/monitor_messages.h"
#include "monitor_link/monitor_pushes.h"
#include "monitor_link/pattern_display.h"
#include "monitor_link/serial_reply_check.h"
#include "sim/virtual_serial_monitor.h"
#include "tests/monitor_link/link_test_support.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

namespace vqs {
namespace {

using test::betweenTicks;
using test::timed;
using test::waitUntil;

constexpr int kCom = 6;

class SerialDialogue : public testing::Test {
protected:
    SerialDialogue() { qputenv("VQS_SERIAL_DIR", serialDir_.path().toLocal8Bit()); }

    void SetUp() override {
        ASSERT_TRUE(monitor_.start(comDevicePath(kCom))) << monitor_.error().toStdString();
        ASSERT_TRUE(openLink(link_.linkPort, kCom));
    }

    // The serial share of a measurement tick; true when a complete reply was merged.
    bool tick() {
        betweenTicks(1);
        readLink(link_.linkPort);
        const MergeResult merged = timed("serialReplyCheck", [&] {
            return serialReplyCheck(link_.linkPort, *monitors_, targets_);
        });
        return merged == MergeResult::Added || merged == MergeResult::Updated;
    }

    const Tdevices* serialRecord(const QString& devsnid) const {
        for (const Tdevices& d : *monitors_)
            if (d.sourceType == kSourceSerial && d.report.devsnid == devsnid) return &d;
        return nullptr;
    }

    // The serial monitor as a record of the list, as a reply would have merged it.
    int listSerialMonitor() {
        Tcaldaten identity;
        identity.devsnid = "VSM-0001";
        identity.devname = "Virtual Serial Monitor";
        mergeSerialMonitor(*monitors_, identity);
        return 0;
    }

    QTemporaryDir serialDir_;
    sim::VirtualSerialMonitor monitor_;
    MonitorLink link_;
    std::unique_ptr<MonitorList> monitors_ = std::make_unique<MonitorList>();
    PatchCatalogue targets_ = makePatchCatalogue();
};

TEST_F(SerialDialogue, monitorThatSaysItIsThereIsAskedAndItsReportMerged) {
    monitor_.setPresenceInterval(100);
    ASSERT_TRUE(waitUntil([&] { return tick(); }, 10000));
    EXPECT_TRUE(monitor_.received().startsWith(kReportQuery));
    const Tdevices* d = serialRecord("VSM-0001");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->source, "RS232");
    EXPECT_EQ(d->report.devname, "Virtual Serial Monitor");
    EXPECT_EQ(d->report.repgamma, "2.4");
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if (isPatchSlot(slot)) {
            EXPECT_NEAR(d->report.xyz[slot].Y, monitor_.storedReport().xyz[slot][1], 0.0005)
                << slot;
        }
    }
    EXPECT_GT(d->report.xyz[5].Y, 50.0f) << "the monitor's white";

    // A reply naming another serial is another monitor; the first keeps its record.
    monitor_.storedReport().devsnid = "VSM-0002";
    ASSERT_TRUE(waitUntil([&] { return tick(); }, 10000));
    EXPECT_EQ(usedMonitorCount(*monitors_), 2);
    EXPECT_TRUE(serialRecord("VSM-0001") && serialRecord("VSM-0002"));
    ASSERT_TRUE(waitUntil([&] { return tick(); }, 10000));
    EXPECT_EQ(usedMonitorCount(*monitors_), 2) << "the same identity updates its record";
}

TEST_F(SerialDialogue, halfAReplyIsNeverMergedAndAskedForAgain) {
    monitor_.setFault(sim::SerialMonitorFault::HalfReport);
    monitor_.setPresenceInterval(100);
    ASSERT_TRUE(waitUntil(
        [&] {
            EXPECT_FALSE(tick());
            return monitor_.reportQueries() >= 3;
        },
        10000));
    EXPECT_EQ(usedMonitorCount(*monitors_), 0);
}

TEST_F(SerialDialogue, withoutPresenceTheMonitorIsNeverAsked) {
    ASSERT_TRUE(monitor_.send("VQS_DEVSNID = X\r\n"));
    for (int i = 0; i < 50; ++i) EXPECT_FALSE(tick());
    EXPECT_EQ(monitor_.reportQueries(), 0);
    EXPECT_EQ(link_.linkPort.rxCount, 0);
}

TEST_F(SerialDialogue, patternsAndPushesReachTheMonitorAsFormatted) {
    const int serial = listSerialMonitor();
    QList<QByteArray> names;
    QObject::connect(&monitor_, &sim::VirtualSerialMonitor::patternShown,
                     [&](const QColor&, const QByteArray& name) { names << name; });

    showPatternOnMonitor(link_, *monitors_, serial,
                         {kPatternShow, 122, 86, 70, "EBU1 - Dark Skin"});
    ASSERT_TRUE(waitUntil([&] { return !names.isEmpty(); }));
    EXPECT_EQ(monitor_.display().shown(), QColor(122, 86, 70));
    showPatternOnMonitor(link_, *monitors_, serial, PatternRequest{});
    pushReading(link_, QString(), 1.5f, 100.0f, 98.25f);
    pushDate(link_, QString(), "10.12.2026");
    showPatternOnMonitor(link_, *monitors_, std::nullopt, {kPatternShow, 1, 2, 3, "none"});

    const QByteArray expected =
        "VQS_SIM=1 122 86 70 EBU1 - Dark Skin\r\nVQS_SIM=0 255 255 255 \r\n"
        "VQS_XYZ=  1.500 100.000  98.250\r\nVQS_DATE=10.12.2026\r\n";
    ASSERT_TRUE(waitUntil([&] { return monitor_.received().size() >= expected.size(); }));
    betweenTicks(20);
    EXPECT_EQ(monitor_.received(), expected);
    EXPECT_EQ(monitor_.display().shown(), QColor(Qt::black));
    EXPECT_EQ(names, (QList<QByteArray>{"EBU1 - Dark Skin", ""}));

    // A closed link drops them.
    closeLink(link_.linkPort);
    pushReading(link_, QString(), 2.0f, 2.0f, 2.0f);
    showPatternOnMonitor(link_, *monitors_, serial, {kPatternShow, 1, 2, 3, "x"});
    betweenTicks(20);
    EXPECT_EQ(monitor_.received(), expected);
}

class SerialSave : public SerialDialogue {
protected:
    SerialSave() {
        report_.repdate = "10.12.2026";
        report_.repgamma = "2.35";
        for (int slot = 0; slot < kPatchSlots; ++slot)
            report_.xyz[slot] = {slot * 1.25f, slot * 2.5f + 0.125f, 100.0f / (slot + 1)};
        // What the window's measurement tick keeps doing meanwhile.
        tick_.setInterval(100);
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            ++ticks_;
            readLink(link_.linkPort);
        });
        tick_.start();
    }

    // Saves to the serial monitor at the top of the list; the outcome once it is over.
    std::optional<SaveOutcome> save() {
        const int serial = listSerialMonitor();
        const auto targets =
            saveTargets(*monitors_, {1, 1}, [&](int row) { return recordAtRow(*monitors_, row); });
        EXPECT_EQ(targets.size(), 1u);
        std::optional<SaveOutcome> outcome;
        const bool started = timed("DownstreamSave::start", [&] {
            return save_.start(targets, report_, targets_,
                               [&](const SaveOutcome& o) { outcome = o; });
        });
        EXPECT_TRUE(started);
        EXPECT_FALSE(outcome) << "nothing is sent inside the button's handler";
        EXPECT_FALSE(save_.start(targets, report_, targets_, {})) << "one save at a time";
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }, 20000));
        EXPECT_EQ(serial, 0);
        return outcome;
    }

    Tcaldaten report_;
    DownstreamSave save_{link_, *monitors_};
    QTimer tick_;
    int ticks_ = 0;
};

TEST_F(SerialSave, sendsSixtyThreeMessagesWithPausesAndStoresTheReport) {
    QList<QByteArray> lines;
    QList<qint64> arrivals;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&monitor_, &sim::VirtualSerialMonitor::lineReceived,
                     [&](const QByteArray& line) {
                         lines << line;
                         arrivals << clock.elapsed();
                     });
    const auto outcome = save();
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->complete) << outcome->failure.toStdString();
    EXPECT_EQ(outcome->monitorsSaved, 1);
    ASSERT_TRUE(waitUntil([&] { return lines.size() >= 63; }));
    betweenTicks(20);

    QList<QByteArray> expected;
    for (const SaveStep& s : saveSchedule(report_, targets_, kLastSlot))
        expected << s.message.chopped(2);
    ASSERT_EQ(lines.size(), 63);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines[2], "VQS_RED=1.250000 2.625000 50.000000");
    EXPECT_EQ(lines.back(), "SAVE?");
    EXPECT_GT(ticks_, 0) << "the window's timers ran while the save went on";

    // The pauses, as figures only.
    std::vector<qint64> gaps;
    for (int i = 3; i < lines.size(); ++i) gaps.push_back(arrivals[i] - arrivals[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    std::printf("serial save: %zu pauses, shortest %lld ms, median %lld ms, whole save %lld ms\n",
                gaps.size(), static_cast<long long>(gaps.front()),
                static_cast<long long>(gaps[gaps.size() / 2]),
                static_cast<long long>(arrivals.back() - arrivals.front()));

    const sim::StoredReport& stored = monitor_.storedReport();
    EXPECT_EQ(monitor_.savesStored(), 1);
    EXPECT_EQ(stored.repdate, "10.12.2026");
    EXPECT_EQ(stored.repgamma, "2.35");
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if (isPatchSlot(slot)) {
            EXPECT_NEAR(stored.xyz[slot][2], report_.xyz[slot].Z, 1e-6) << slot;
        }
    }
    const Tdevices& record = (*monitors_)[0];
    EXPECT_EQ(record.report.devsnid, "VSM-0001") << "the record keeps its identity";
    EXPECT_EQ(record.report.repgamma, "2.35");
    EXPECT_EQ(record.report.xyz[61].Z, report_.xyz[61].Z);

    EXPECT_TRUE(save_.sentAsIs(report_));
    report_.xyz[12].Y += 1.0f;  // captured while the save ran
    EXPECT_FALSE(save_.sentAsIs(report_));
}

// The window's tick goes on during the save: readings and the date are pushed, the patch is
// shown on the selected serial monitor, and the monitor's presence is answered with a query. None
// of it may come between the save's lines; and the report the monitor answered with before it
// stored the save may not replace the saved one in the list afterwards.
TEST_F(SerialSave, nothingElseCrossesTheLinkDuringTheSaveAndNoOlderReplyIsMerged) {
    const int serial = listSerialMonitor();
    int merges = 0;
    int off = 0;
    const test::ConnectionGuard ticking{QObject::connect(&tick_, &QTimer::timeout, [&] {
        if (serialReplyCheck(link_, *monitors_, targets_) == MergeResult::Updated) ++merges;
        pushReading(link_, QString(), 1.5f, 100.0f, 98.25f);
        if (ticks_ % 10 == 0) pushDate(link_, QString(), "10.12.2026");
        sendPatternToMonitor(link_, *monitors_, serial, {kFirstPrimarySlot, false, false}, off,
                             targets_);
    })};
    // The monitor says it is there a third of the way through the save, and from then on.
    const test::ConnectionGuard presence{QObject::connect(
        &monitor_, &sim::VirtualSerialMonitor::lineReceived, [&](const QByteArray& line) {
            if (!line.startsWith("VQS_GRY10")) return;
            monitor_.send("OK!\r\n");
            monitor_.setPresenceInterval(100);
        })};
    // A query goes out just before the save starts; its reply is the report held before.
    ASSERT_TRUE(monitor_.send("OK!\r\n"));
    ASSERT_TRUE(waitUntil([&] { return monitor_.reportQueries() == 1; }));
    const auto outcome = save();
    ASSERT_TRUE(outcome);
    ASSERT_TRUE(outcome->complete) << outcome->failure.toStdString();
    const int mergesBefore = merges;

    // Until the monitor was asked again and its new report merged, the record keeps the save.
    const Tdevices& record = (*monitors_)[0];
    auto holdsTheSave = [&] {
        return record.report.repdate == "10.12.2026" && record.report.repgamma == "2.35";
    };
    ASSERT_TRUE(waitUntil([&] { return !holdsTheSave() || merges > mergesBefore; }, 10000));
    EXPECT_TRUE(holdsTheSave()) << "merged over the save: " << record.report.repdate.toStdString()
                                << " " << record.report.repgamma.toStdString();
    EXPECT_NEAR(record.report.xyz[kLastSlot].Z, report_.xyz[kLastSlot].Z, 0.0005);

    QByteArray sequence;
    for (const SaveStep& step : saveSchedule(report_, targets_, kLastSlot))
        sequence += step.message;
    const QByteArray& heard = monitor_.received();
    const qsizetype start = heard.indexOf("VQS_REPDATE=");
    ASSERT_GE(start, 0);
    EXPECT_EQ(heard.mid(start, sequence.size()), sequence) << "the save is one unbroken sequence";
    const QByteArray after = heard.mid(start + sequence.size());
    for (const char* resumed : {"VQS_XYZ=", "VQS_DATE=", "VQS_SIM=1 255 0 0", "VQS_?"})
        EXPECT_TRUE(after.contains(resumed)) << resumed << " goes out again after the save";
}

// Nothing could be sent, so the report is not saved anywhere, and the operator is told.
TEST_F(SerialSave, closedLinkSendsNothingAndLeavesTheSaveIncomplete) {
    closeLink(link_.linkPort);
    const auto outcome = save();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->complete);
    EXPECT_EQ(outcome->monitorsSaved, 0);
    EXPECT_TRUE(outcome->failure.contains("RS232")) << outcome->failure.toStdString();
    betweenTicks(20);
    EXPECT_TRUE(monitor_.received().isEmpty());
    EXPECT_TRUE((*monitors_)[0].report.repgamma.isEmpty()) << "the record was not updated";
}

TEST_F(SerialSave, portThatVanishesDuringTheSaveEndsItIncomplete) {
    QObject::connect(&monitor_, &sim::VirtualSerialMonitor::lineReceived,
                     [&](const QByteArray& line) {
                         if (line.startsWith("VQS_GRY15")) monitor_.stop();
                     });
    const auto outcome = save();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->complete);
    EXPECT_TRUE(outcome->failure.contains("serial link")) << outcome->failure.toStdString();
    EXPECT_EQ(monitor_.savesStored(), 0);
    EXPECT_TRUE((*monitors_)[0].report.repgamma.isEmpty());
}

}  // namespace
}  // namespace vqs
