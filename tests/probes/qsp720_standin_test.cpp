// The QSP720 driver on the virtual lab's stand-in library, loaded through the program's own
// loader: detection, the faults of the instrument, a calibrated white against the virtual
// CS-2000, and the two calibration scans in front of a covered and a lit probe.

#include "platform/vendor_library.h"
#include "probes/qsp720_cal_file.h"
#include "probes/qsp720_driver.h"
#include "probes/qsp720_processing.h"
#include "sim/qsp720_standin_control.h"
#include "sim/virtual_lab.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

namespace vqs {
namespace {

class Qsp720StandIn : public testing::Test {
  protected:
    Qsp720StandIn() {
        resetProbeList(probes_);
        started_ = lab_.startQsp720();
        lab_.setQsp720TimeScale(50.0);  // 2400 ms scans in 48 ms
        lab_.display().show(QColor(235, 235, 235));
    }
    ~Qsp720StandIn() override { driver_.close(); }

    Qsp720Driver::Hooks hooks() {
        Qsp720Driver::Hooks h;
        h.loadStoredData = [](Tsmlist& probe) {
            probe.calFilePath = sim::VirtualLab::qsp720CalFile();
        };
        h.saveDarkData = [this](const Tsmlist&) { ++darkSaves_; };
        h.saveRangeFactors = [this](const Tsmlist&) { ++factorSaves_; };
        h.scanComplete = [this] { ++scansCompleted_; };
        return h;
    }

    // Polls until `results` results came (or a few seconds passed); the last result's values.
    int pollResults(int results, int row = 0) {
        QElapsedTimer clock;
        clock.start();
        int got = 0;
        while (got < results && clock.elapsed() < 20000) {
            if (driver_.poll(row, X_, Y_, Z_, spectrum_) != 0) ++got;
            QThread::usleep(500);
        }
        return got;
    }

    // The dark spectra of all ranges, taken with the probe covered.
    void darkScan() {
        lab_.coverQsp720(true);
        ASSERT_EQ(pollResults(2), 2);
        driver_.setCalScanStep(kDarkScanStart);
        ASSERT_TRUE(finishCalScan());
        lab_.coverQsp720(false);
    }

    // Polls until the running calibration scan is over.
    bool finishCalScan() {
        QElapsedTimer clock;
        clock.start();
        while (driver_.calScanStep() != 0 && clock.elapsed() < 30000) {
            driver_.poll(0, X_, Y_, Z_, spectrum_);
            QThread::usleep(500);
        }
        return driver_.calScanStep() == 0;
    }

    sim::VirtualLab lab_;
    bool started_ = false;
    ProbeList probes_;
    bool logNext_ = false;
    int darkSaves_ = 0, factorSaves_ = 0, scansCompleted_ = 0;
    Qsp720Driver driver_{probes_, logNext_, hooks()};
    float X_ = 0, Y_ = 0, Z_ = 0;
    Tsprad spectrum_;
};

TEST_F(Qsp720StandIn, ALackingExportIsNamedOnceOnStandardError) {
    VendorLibrary library;
    ASSERT_TRUE(library.load(QStringLiteral("qsp72XP")));
    testing::internal::CaptureStderr();
    EXPECT_EQ(library.resolve("SWDnoSuchExport"), nullptr);
    EXPECT_EQ(library.resolve("SWDnoSuchExport"), nullptr);
    EXPECT_NE(library.resolve("SWDscanLV"), nullptr);
    const QString said = QString::fromStdString(testing::internal::GetCapturedStderr());
    EXPECT_EQ(said.count(QStringLiteral("lacks the export SWDnoSuchExport")), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("libqsp72XP.so"))) << said.toStdString();
}

TEST_F(Qsp720StandIn, IsDetectedAndOpenedFromItsMemoryAndCalibrationFile) {
    ASSERT_TRUE(started_) << "the stand-in library was not found";
    ASSERT_TRUE(driver_.open());
    const Tsmlist& probe = probes_[0];
    EXPECT_EQ(probe.type, kProbeQsp720);
    EXPECT_EQ(probe.serialNumber, "SIM72001");
    EXPECT_EQ(probe.displayName, "NV QSP720 - SNSIM72001");
    EXPECT_FLOAT_EQ(probe.wavelength[0], 340.25f);
    EXPECT_NEAR(probe.wavelength[2047], 1020.27f, 0.01f);
    EXPECT_LT(probe.wavelength[probe.firstPixel], 380.0f);
    EXPECT_GE(probe.wavelength[probe.firstPixel + 1], 380.0f);
    EXPECT_EQ(probe.calStatus, sim::VirtualLab::qsp720CalFile());
    EXPECT_EQ(probe.integrationTime, (std::array<int32_t, 4>{50, 100, 200, 2400}));
    EXPECT_EQ(probes_[1].type, kProbeFree) << "the stand-in has one device";
    EXPECT_EQ(driver_.libraryState(), kQsp720DevicesOpen);
}

TEST_F(Qsp720StandIn, FaultyInstrumentsAreLeftOut) {
    ASSERT_TRUE(started_);
    for (const int fault : {kVqsSimQsp720NoDevice, kVqsSimQsp720Unprintable}) {
        lab_.setQsp720Fault(fault);
        EXPECT_FALSE(driver_.open()) << "fault " << fault;
        EXPECT_EQ(probes_[0].type, kProbeFree);
        EXPECT_EQ(driver_.libraryState(), kQsp720LibraryClosed);
    }
}

TEST_F(Qsp720StandIn, AScanThatNeverFinishesDeliversNothingAndNeverWaits) {
    ASSERT_TRUE(started_);
    ASSERT_TRUE(driver_.open());
    lab_.setQsp720Fault(kVqsSimQsp720NeverFinishes);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 200; ++i) EXPECT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0);
    EXPECT_LT(clock.elapsed(), 1000);
}

TEST_F(Qsp720StandIn, AWhiteAgreesWithTheVirtualCs2000) {
    ASSERT_TRUE(started_);
    ASSERT_TRUE(driver_.open());
    darkScan();
    // The scan ends in range 1; Normal follows, its first result discarded.
    ASSERT_EQ(pollResults(3), 3);
    const sim::Tristimulus reference = lab_.display().tristimulus();
    EXPECT_NEAR(X_, reference.X, reference.X * 0.01);
    EXPECT_NEAR(Y_, reference.Y, reference.Y * 0.01);
    EXPECT_NEAR(Z_, reference.Z, reference.Z * 0.01);
    EXPECT_EQ(spectrum_.label, "100ms");
    EXPECT_EQ(spectrum_.firstWavelength, 341);
    EXPECT_EQ(spectrum_.lastWavelength, 1019);
}

TEST_F(Qsp720StandIn, SaturatedPixelsShowTheSaturationValue) {
    ASSERT_TRUE(started_);
    ASSERT_TRUE(driver_.open());
    lab_.setQsp720Fault(kVqsSimQsp720Saturated);
    ASSERT_EQ(pollResults(3), 3);
    const int at540 = 540 - spectrum_.firstWavelength;
    EXPECT_FLOAT_EQ(spectrum_.values[at540], kQsp720SaturatedValue);
}

TEST_F(Qsp720StandIn, DarkThenBrightnessScanBringsTheRangesTogether) {
    ASSERT_TRUE(started_);
    ASSERT_TRUE(driver_.open());
    darkScan();
    EXPECT_EQ(darkSaves_, 1);
    const Tsmlist& probe = probes_[0];
    for (int range = 0; range < 4; ++range)
        EXPECT_NEAR(probe.darkData[range][100],
                    900 + 40 * std::sin(1.3) + 0.25 * probe.integrationTime[range], 5)
            << "dark of range " << range + 1;

    // A grey that the Dark range (2400 ms) does not saturate.
    lab_.display().show(QColor(140, 140, 140));
    ASSERT_EQ(pollResults(3), 3);
    ASSERT_GT(probe.lastY, 20.0f);
    driver_.setCalScanStep(kBrightnessScanStart);
    ASSERT_TRUE(finishCalScan());
    EXPECT_EQ(factorSaves_, 1);
    EXPECT_EQ(scansCompleted_, 2);
    for (int range = 1; range <= 4; ++range)
        EXPECT_NEAR(probe.rangeFactor[range], 1.0f, 0.01f) << "range " << range;

    probes_[0].userRange = 0;  // Auto: the Dark range for a dim grey
    ASSERT_EQ(pollResults(6), 6);
    const double reference = lab_.display().tristimulus().Y;
    EXPECT_NEAR(Y_, reference, reference * 0.01) << spectrum_.label.toStdString();
}

}  // namespace
}  // namespace vqs
