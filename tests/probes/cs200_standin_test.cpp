// The CS-200 driver on the virtual lab's stand-in library, loaded through the program's own
// loader: enumeration of one and two instruments, the instruments' faults, the connection's
// second of settling spent across polls, the speed-mode command after a result, and readings of
// the lab's display.

#include "probes/cs200_driver.h"
#include "sim/virtual_lab.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

namespace vqs {
namespace {

constexpr int kQuickSettleMs = 20;

class Cs200StandIn : public testing::Test {
  protected:
    Cs200StandIn() {
        resetProbeList(probes_);
        lab_.display().show(QColor(235, 235, 235));
    }

    bool start(int instruments = 1) {
        if (!lab_.startCs200(instruments)) return false;
        lab_.cs200StandIn().setTimeScale(20.0);
        return true;
    }

    // Polls until a result came (or a few seconds passed): the polls it took, 0 for none.
    int pollForResult(int row = 0) {
        QElapsedTimer clock;
        clock.start();
        for (int polls = 1; clock.elapsed() < 5000; ++polls) {
            if (driver_.poll(row, X_, Y_, Z_, spectrum_) != 0) return polls;
            QThread::usleep(500);
        }
        return 0;
    }

    // The commands sent since the last call.
    QByteArray newCommands() {
        const QByteArray log = lab_.cs200StandIn().commandLog();
        const QByteArray fresh = log.mid(logSeen_);
        logSeen_ = log.size();
        return fresh;
    }

    sim::VirtualLab lab_;
    ProbeList probes_;
    Cs200Driver driver_{probes_, Cs200Driver::Timing{{}, {}, kQuickSettleMs}};
    float X_ = -1, Y_ = -1, Z_ = -1;
    Tsprad spectrum_;
    qsizetype logSeen_ = 0;
};

TEST_F(Cs200StandIn, EachInstrumentGetsARowInIndexOrder) {
    ASSERT_TRUE(start(2)) << "the stand-in library was not found";
    ASSERT_TRUE(driver_.open());
    for (int row = 0; row < 2; ++row) {
        const Tsmlist& probe = probes_[row];
        EXPECT_EQ(probe.type, kProbeCs200);
        EXPECT_EQ(probe.device, row);
        EXPECT_EQ(probe.serialNumber, QStringLiteral("SIM2000%1").arg(row + 1));
        EXPECT_EQ(probe.displayName, "CS200 - SN" + probe.serialNumber);
        EXPECT_EQ(probe.userRange, 2) << "Normal";
        EXPECT_EQ(probe.driverState, kCs200NotOpen);
        EXPECT_EQ(driver_.lastSpeed(row), kCs200NoSpeedSent);
    }
    EXPECT_EQ(probes_[2].type, kProbeFree);
    EXPECT_EQ(newCommands(), "RMT,1\r\nIDR\r\nRMT,1\r\nIDR\r\n");
}

struct FaultCase {
    const char* what;
    int fault;
};

class Cs200Faults : public Cs200StandIn, public testing::WithParamInterface<FaultCase> {};

TEST_P(Cs200Faults, LeaveTheInstrumentOut) {
    ASSERT_TRUE(start());
    lab_.cs200StandIn().setFault(GetParam().fault);
    driver_.open();
    EXPECT_EQ(probes_[0].type, kProbeFree);
}

INSTANTIATE_TEST_SUITE_P(
    StandIn, Cs200Faults,
    testing::Values(FaultCase{"no instrument", kVqsSimCs200NoInstrument},
                    FaultCase{"connection cannot be opened", kVqsSimCs200CannotOpen},
                    FaultCase{"identification without OK00", kVqsSimCs200BadIdentification}),
    test::CaseName{});

// The instrument's second of settling passes between polls: none of them waits for it.
TEST_F(Cs200StandIn, TheFirstResultComesAfterTheSettlingSecondAndNoPollWaits) {
    ASSERT_TRUE(start());
    Cs200Driver driver(probes_);
    ASSERT_TRUE(driver.open());
    newCommands();
    QElapsedTimer clock, poll;
    clock.start();
    int polls = 0, result = 0;
    qint64 slowest = 0;
    while (result == 0 && clock.elapsed() < 5000) {
        poll.start();
        result = driver.poll(0, X_, Y_, Z_, spectrum_);
        slowest = std::max(slowest, poll.elapsed());
        if (++polls == 1) {
            EXPECT_EQ(newCommands(), "") << "nothing is said before it settles";
        }
        QThread::msleep(5);
    }
    EXPECT_EQ(result, 1);
    EXPECT_GT(polls, 1);
    EXPECT_GE(clock.elapsed(), kCs200SettleMs);
    EXPECT_LT(slowest, 100) << "a poll waited";
    EXPECT_TRUE(newCommands().startsWith("RMT,1\r\nMES,1\r\nMDR,3\r\n"));
}

TEST_F(Cs200StandIn, AConnectionThatCannotBeOpenedIsTriedAgainWithoutWaiting) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(driver_.open());
    lab_.cs200StandIn().setFault(kVqsSimCs200CannotOpen);
    QElapsedTimer clock;
    clock.start();
    int polls = 0;
    while (clock.elapsed() < 10 * kQuickSettleMs) {
        EXPECT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0);
        ++polls;
        QThread::usleep(500);
    }
    EXPECT_GT(polls, 100) << "the polls went on while the connection failed";
    EXPECT_EQ(probes_[0].driverState, kCs200NotOpen);
    lab_.cs200StandIn().setFault(kVqsSimCs200NoFault);
    EXPECT_GT(pollForResult(), 0);
}

// The speed mode of the row's range goes out once after a result, before the next measurement,
// and again only when the range changes; each row keeps its own.
TEST_F(Cs200StandIn, TheRangeReachesTheInstrumentAfterAResult) {
    ASSERT_TRUE(start(2));
    ASSERT_TRUE(driver_.open());
    probes_[0].userRange = 3;
    probes_[1].userRange = 3;
    ASSERT_GT(pollForResult(0), 0);
    EXPECT_TRUE(newCommands().endsWith("MDR,3\r\nSPS,5, 4\r\nMES,1\r\n"));
    EXPECT_EQ(driver_.lastSpeed(0), 3);
    EXPECT_EQ(driver_.lastSpeed(1), kCs200NoSpeedSent);

    ASSERT_GT(pollForResult(0), 0);
    EXPECT_FALSE(newCommands().contains("SPS")) << "no change, no speed mode";

    ASSERT_GT(pollForResult(1), 0);
    EXPECT_TRUE(newCommands().endsWith("MDR,3\r\nSPS,5, 4\r\nMES,1\r\n")) << "the other row's own";

    probes_[0].userRange = 0;
    ASSERT_GT(pollForResult(0), 0);
    EXPECT_TRUE(newCommands().endsWith("MDR,3\r\nSPS,6, 0\r\nMES,1\r\n"));
    EXPECT_EQ(driver_.lastSpeed(0), 0);
    EXPECT_EQ(driver_.lastSpeed(1), 3);
}

TEST_F(Cs200StandIn, AMeasurementWithoutValuesLeavesTheReadingAlone) {
    for (const int fault : {kVqsSimCs200NeverFinishes, kVqsSimCs200ShortReply}) {
        resetProbeList(probes_);
        ASSERT_TRUE(start());
        ASSERT_TRUE(driver_.open());
        lab_.cs200StandIn().setFault(fault);
        X_ = Y_ = Z_ = -1.0f;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 300) {
            EXPECT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0) << "fault " << fault;
            QThread::usleep(500);
        }
        EXPECT_EQ(probes_[0].driverState, kCs200Measuring) << "fault " << fault;
        EXPECT_EQ(Y_, -1.0f) << "fault " << fault;
        EXPECT_EQ(spectrum_.count, 0) << "the CS-200 has no spectrum";
    }
}

TEST_F(Cs200StandIn, ReadsTheDisplayWithinItsAccuracy) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(driver_.open());
    for (const QColor colour : {QColor(235, 235, 235), QColor(235, 0, 0), QColor(0, 0, 235),
                                QColor(60, 60, 60)}) {
        lab_.display().show(colour);
        ASSERT_GT(pollForResult(), 0);
        ASSERT_GT(pollForResult(), 0);  // measured wholly in front of the colour
        const sim::Tristimulus reference = lab_.display().tristimulus();
        EXPECT_NEAR(X_, reference.X, reference.X * 0.01 + 0.005) << colour.name().toStdString();
        EXPECT_NEAR(Y_, reference.Y, reference.Y * 0.01 + 0.005) << colour.name().toStdString();
        EXPECT_NEAR(Z_, reference.Z, reference.Z * 0.01 + 0.005) << colour.name().toStdString();
    }
}

// In its automatic speed mode the instrument integrates longer the less light it sees.
TEST_F(Cs200StandIn, ADarkPatchTakesLongerThanABrightOne) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(driver_.open());
    probes_[0].userRange = 0;
    ASSERT_GT(pollForResult(), 0);  // Auto is sent after this one
    auto measuringTime = [this](QColor colour) {
        lab_.display().show(colour);
        pollForResult();  // started before the colour changed
        QElapsedTimer clock;
        clock.start();
        pollForResult();
        return clock.elapsed();
    };
    const qint64 bright = measuringTime(QColor(235, 235, 235));
    const qint64 dark = measuringTime(QColor(0, 0, 0));
    EXPECT_GT(dark, 2 * bright) << "bright " << bright << " ms, dark " << dark << " ms";
}

// Replies that come in pieces of 24 bytes, as the USB pipe carries them, are read to their end;
// a reply whose end comes late costs one result, not every later one.
class Cs200InPieces : public Cs200StandIn, public testing::WithParamInterface<FaultCase> {};

TEST_P(Cs200InPieces, AreReadWholeAndInStep) {
    ASSERT_TRUE(start());
    lab_.cs200StandIn().setFault(GetParam().fault);
    ASSERT_TRUE(driver_.open());
    EXPECT_EQ(probes_[0].serialNumber, "SIM20001") << "an identification of 27 bytes";
    const sim::Tristimulus reference = lab_.display().tristimulus();
    for (int result = 0; result < 4; ++result) {
        ASSERT_GT(pollForResult(), 0) << "result " << result;
        EXPECT_NEAR(Y_, reference.Y, reference.Y * 0.01) << "result " << result;
        EXPECT_NEAR(X_, reference.X, reference.X * 0.01) << "result " << result;
    }
}

INSTANTIATE_TEST_SUITE_P(StandIn, Cs200InPieces,
                         testing::Values(FaultCase{"pieces", kVqsSimCs200Pieces},
                                         FaultCase{"pieces, one reply ending late",
                                                   kVqsSimCs200PiecesOneLate}),
                         test::CaseName{});

}  // namespace
}  // namespace vqs
