// The CS-2000 driver against the virtual instrument over pseudo-terminals.

#include "probes/cs2000_driver.h"
#include "sim/cs2000_emulator.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

namespace vqs {
namespace {

class Cs2000Protocol : public testing::Test {
protected:
    Cs2000Protocol() {
        qputenv("VQS_SERIAL_DIR", serialDir_.path().toLocal8Bit());
        resetProbeList(probes_);
        display_.show(QColor(235, 235, 235));
    }

    Cs2000Driver makeDriver() {
        Cs2000Driver::Hooks hooks;
        hooks.openPort = [this](int port) {
            opened_ << port;
            return openComPort(port, kCs2000BaudRate);
        };
        hooks.probeAdded = [this] { ++probesAdded_; };
        return Cs2000Driver(probes_, logNext_, hooks);
    }

    // Starts the instrument on COM n and lets the driver find and identify it.
    void findInstrument(Cs2000Driver& driver, int com, int skipPort = 0) {
        ASSERT_TRUE(emulator_.start(comDevicePath(com)));
        driver.startSearch(skipPort);
        for (int second = 0; second < 8 && probesAdded_ == 0; ++second) {
            driver.housekeeping();
            for (int i = 0; i < 10; ++i) tick(driver, false);
        }
        ASSERT_EQ(probesAdded_, 1);
    }

    // One measurement tick: interpret, poll when selected, let the instrument answer, read.
    int tick(Cs2000Driver& driver, bool selected) {
        driver.interpretReplies();
        const int got = selected ? driver.poll(0, X_, Y_, Z_, spectrum_) : 0;
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
        driver.readBytes();
        return got;
    }

    // Ticks until a reading arrives; false when none comes within the given ticks.
    bool measure(Cs2000Driver& driver, int ticks = 200) {
        for (int i = 0; i < ticks; ++i)
            if (tick(driver, true)) return true;
        return false;
    }

    QTemporaryDir serialDir_;
    sim::DisplayModel display_;
    sim::Cs2000Emulator emulator_{display_};
    ProbeList probes_;
    bool logNext_ = false;
    QList<int> opened_;
    int probesAdded_ = 0;
    float X_ = 0, Y_ = 0, Z_ = 0;
    Tsprad spectrum_;
};

TEST_F(Cs2000Protocol, SearchSkipsTheMonitorLinkPortAndIdentifies) {
    sim::DisplayModel other;
    sim::Cs2000Emulator onLinkPort(other);
    ASSERT_TRUE(onLinkPort.start(comDevicePath(3)));
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 5, /*skipPort=*/3);

    EXPECT_EQ(opened_, QList<int>({1, 2, 4, 5}));
    EXPECT_TRUE(onLinkPort.commands().isEmpty());
    EXPECT_EQ(probes_[0].type, kProbeCs2000);
    EXPECT_EQ(probes_[0].displayName, "KM CS-2000 - SN100012345");
    EXPECT_EQ(probes_[0].serialNumber, "100012345");
    EXPECT_EQ(probes_[0].sampleCount, 401);
    EXPECT_EQ(probes_[0].wavelength[400], 780.0f);
    EXPECT_EQ(emulator_.commands(), QStringList({"RMTS,1", "IDDR", "RMTS,0"}));
    EXPECT_EQ(driver.link().state, kCs2000Local) << "identified, then left in local mode";
}

TEST_F(Cs2000Protocol, NoInstrumentEndsTheSearchAfterCom20) {
    Cs2000Driver driver = makeDriver();
    driver.startSearch(0);
    driver.housekeeping();
    EXPECT_EQ(opened_.size(), 20);
    EXPECT_EQ(driver.link().state, kCs2000Closed);
    driver.housekeeping();
    EXPECT_EQ(opened_.size(), 20) << "the search does not start over";
}

TEST_F(Cs2000Protocol, AMeasurementIntegratesTheInstrumentsSpectrum) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 1);
    display_.show(QColor(201, 92, 90));
    ASSERT_TRUE(measure(driver));

    const sim::Tristimulus reference = sim::integrateRadiance(emulator_.lastSpectrum());
    EXPECT_NEAR(X_, reference.X, 2e-5 * reference.Y);
    EXPECT_NEAR(Y_, reference.Y, 2e-5 * reference.Y);
    EXPECT_NEAR(Z_, reference.Z, 2e-5 * reference.Y);
    const sim::Tristimulus shown = display_.tristimulus();
    EXPECT_NEAR(Y_, shown.Y, 1e-3 * shown.Y) << "the instrument sees what the display shows";

    EXPECT_EQ(spectrum_.firstWavelength, 380);
    EXPECT_EQ(spectrum_.lastWavelength, 780);
    EXPECT_EQ(spectrum_.count, 401);
    EXPECT_NEAR(spectrum_.values[240], emulator_.lastSpectrum()[240] * 1e6f,
                1e-5f * spectrum_.values[240] + 1e-9f);
    EXPECT_EQ(emulator_.commands().mid(3, 7),
              QStringList({"RMTS,1", "MEAS,1", "MEDR,1,0,01", "MEDR,1,0,02", "MEDR,1,0,03",
                           "MEDR,1,0,04", "MEAS,1"}))
        << "remote mode, measure, four blocks, and straight on to the next measurement";
}

TEST_F(Cs2000Protocol, SplitRepliesAreJoinedAcrossTicks) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 2);
    emulator_.setFault(sim::Cs2000Fault::SplitReply);
    ASSERT_TRUE(measure(driver, 1500));
    EXPECT_NEAR(Y_, display_.tristimulus().Y, 1e-3 * display_.tristimulus().Y);
}

TEST_F(Cs2000Protocol, DoubledRepliesAreTakenOnce) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 2);
    emulator_.setFault(sim::Cs2000Fault::DoubleReply);
    for (const QColor colour : {QColor(201, 92, 90), QColor(40, 40, 40)}) {
        display_.show(colour);
        ASSERT_TRUE(measure(driver, 100)) << "the measurement under way";
        ASSERT_TRUE(measure(driver, 100)) << "one of the colour shown";
        EXPECT_NEAR(Y_, display_.tristimulus().Y, 1e-3 * display_.tristimulus().Y);
    }
}

struct FaultCase {
    const char* name;
    sim::Cs2000Fault fault;
};

class Cs2000Faults : public Cs2000Protocol, public testing::WithParamInterface<FaultCase> {};

TEST_P(Cs2000Faults, ABadAnswerRestartsTheMeasurementAndRecovers) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 1);
    ASSERT_TRUE(measure(driver));
    const int measurementsBefore = emulator_.commands().count("MEAS,1");
    emulator_.setFault(GetParam().fault);
    measure(driver, 30);  // the measurement under way may still have been answered soundly
    EXPECT_FALSE(measure(driver, kCs2000AnswerTimeoutTicks + 50)) << "no reading from a bad answer";
    EXPECT_GT(emulator_.commands().count("MEAS,1"), measurementsBefore)
        << "the measurement was started again";

    emulator_.setFault(sim::Cs2000Fault::None);
    EXPECT_TRUE(measure(driver, 2 * kCs2000AnswerTimeoutTicks)) << "measures again once the answers are sound";
}

INSTANTIATE_TEST_SUITE_P(Cases, Cs2000Faults,
                         testing::Values(FaultCase{"ErrorCode", sim::Cs2000Fault::ErrorCode},
                                         FaultCase{"ShortBlock", sim::Cs2000Fault::ShortBlock},
                                         FaultCase{"Garbage", sim::Cs2000Fault::Garbage},
                                         FaultCase{"Silence", sim::Cs2000Fault::Silence}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cs2000Protocol, AVanishedPortIsClosedQuietly) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 1);
    emulator_.setFault(sim::Cs2000Fault::Vanish);
    EXPECT_FALSE(measure(driver, 30));
    EXPECT_EQ(driver.link().state, kCs2000Closed);
    EXPECT_EQ(driver.poll(0, X_, Y_, Z_, spectrum_), 0);
    driver.close();
}

TEST_F(Cs2000Protocol, ReleaseLeavesRemoteModeAndTheNextPollReturns) {
    Cs2000Driver driver = makeDriver();
    findInstrument(driver, 1);
    ASSERT_TRUE(measure(driver));
    driver.release(0);
    tick(driver, false);
    EXPECT_EQ(emulator_.commands().last(), "RMTS,0");
    EXPECT_EQ(driver.link().state, kCs2000Local);

    ASSERT_TRUE(measure(driver));
    EXPECT_TRUE(emulator_.commands().contains("RMTS,1"));

    driver.close();
    tick(driver, false);
    EXPECT_EQ(emulator_.commands().last(), "RMTS,0") << "shutdown leaves remote mode";
    EXPECT_EQ(driver.link().state, kCs2000Closed);
}

TEST_F(Cs2000Protocol, ALogRequestTakesOneMeasurement) {
    QList<float> logged;
    Cs2000Driver::Hooks hooks;
    hooks.openPort = [](int port) { return openComPort(port, kCs2000BaudRate); };
    hooks.probeAdded = [this] { ++probesAdded_; };
    hooks.logMeasurement = [&](int, float, float Y, float, const Cs2000Spectrum&) { logged << Y; };
    Cs2000Driver driver(probes_, logNext_, hooks);
    findInstrument(driver, 1);
    logNext_ = true;
    ASSERT_TRUE(measure(driver));
    ASSERT_TRUE(measure(driver));
    EXPECT_EQ(logged, QList<float>({Y_}));
    EXPECT_FALSE(logNext_);
}

TEST(Cs2000Search, AFullProbeListTakesNoInstrument) {
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.path().toLocal8Bit());
    sim::DisplayModel display;
    sim::Cs2000Emulator emulator(display);
    ASSERT_TRUE(emulator.start(comDevicePath(1)));
    ProbeList probes;
    resetProbeList(probes);
    for (Tsmlist& p : probes) p.type = kProbeCs200;
    bool logNext = false;
    int added = 0;
    Cs2000Driver driver(probes, logNext,
                        {[](int port) { return openComPort(port, kCs2000BaudRate); },
                         [&] { ++added; }, {}});
    driver.startSearch(0);
    for (int i = 0; i < 60 && driver.link().state != kCs2000Local; ++i) {
        if (i % 10 == 0) driver.housekeeping();
        driver.interpretReplies();
        QCoreApplication::processEvents();
        QThread::msleep(2);
        QCoreApplication::processEvents();
        driver.readBytes();
    }
    EXPECT_EQ(driver.link().state, kCs2000Local) << "still identified and put in local mode";
    EXPECT_EQ(added, 0);
}

TEST(Cs2000Tristimulus, WalksTheObserverFrom360To780) {
    Tsprad flat;
    flat.count = 401;
    for (int i = 0; i < 401; ++i) flat.values[i] = 1e6f;  // 1 W/(sr·m²·nm) everywhere
    float X, Y, Z;
    cs2000Tristimulus(flat, X, Y, Z);
    // Σȳ over 380..780 nm is 106.8566 for the 1931 observer; 683.4 lm/W turns it into cd/m².
    EXPECT_NEAR(Y, 106.8566 * 1e6 * 143.8 / (501.0 * 420.0), 5.0);
}

}  // namespace
}  // namespace vqs
