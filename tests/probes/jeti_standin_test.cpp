// The JETI driver on the virtual lab's stand-in SDK (two libraries, loaded through the program's
// own loader): enumeration and its faults, the first result no sooner than the countdown allows,
// X, Y, Z that agree with the spectrum and with the display, and a measurement that never ends.

#include "probes/jeti_driver.h"
#include "sim/virtual_lab.h"
#include "tables/cie1931_observer.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

namespace vqs {
namespace {

class JetiStandIn : public testing::Test {
  protected:
    JetiStandIn() {
        resetProbeList(probes_);
        lab_.display().show(QColor(235, 235, 235));
    }
    ~JetiStandIn() override { driver_.close(); }

    bool start() {
        if (!lab_.startJeti()) return false;
        lab_.jetiStandIn().setTimeScale(50.0);
        return true;
    }

    // Polls until a result came (or a few seconds passed): the polls it took, 0 for none.
    int pollForResult() {
        QElapsedTimer clock;
        clock.start();
        for (int polls = 1; clock.elapsed() < 5000; ++polls) {
            if (driver_.poll(0, X_, Y_, Z_, spectrum_) != 0) return polls;
            QThread::usleep(500);
        }
        return 0;
    }

    sim::VirtualLab lab_;
    ProbeList probes_;
    std::string printed_;
    JetiDriver driver_{probes_, [this](const std::string& text) { printed_ += text; }};
    float X_ = -1, Y_ = -1, Z_ = -1;
    Tsprad spectrum_;
};

TEST_F(JetiStandIn, IsFoundThroughBothLibraries) {
    ASSERT_TRUE(start()) << "the stand-in libraries were not found";
    ASSERT_TRUE(driver_.open());
    EXPECT_EQ(printed_, "Searching device...\n");
    EXPECT_EQ(probes_[0].type, kProbeJeti);
    EXPECT_EQ(probes_[0].displayName, "JETI SPECBOS 1211 - SN1211001");
    EXPECT_EQ(probes_[1].type, kProbeFree);
}

TEST_F(JetiStandIn, FaultyInstrumentsAreLeftOut) {
    ASSERT_TRUE(start());
    lab_.jetiStandIn().setFault(kVqsSimJetiNoInstrument);
    EXPECT_FALSE(driver_.open());
    EXPECT_NE(printed_.find("No matching device found!"), std::string::npos);
    lab_.jetiStandIn().setFault(kVqsSimJetiCannotOpen);
    driver_.open();
    EXPECT_EQ(probes_[0].type, kProbeFree);
}

TEST_F(JetiStandIn, MeasuresTheDisplayWithXyzThatAgreeWithItsSpectrum) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(driver_.open());
    for (const QColor colour : {QColor(235, 235, 235), QColor(0, 235, 0), QColor(0, 0, 235)}) {
        lab_.display().show(colour);
        const int polls = pollForResult();
        // Each measurement after the first starts in the poll that delivered the one before.
        ASSERT_GE(polls, kJetiWaitPolls) << "about five seconds of polls first";
        ASSERT_EQ(spectrum_.count, 401);
        double X = 0, Y = 0, Z = 0;
        for (const ObserverRow& row : cie1931Observer) {
            if (row.wavelength < 380.0f || row.wavelength > 780.0f) continue;
            const double value = spectrum_.values[static_cast<int>(row.wavelength) - 380] / 1e6;
            X += value * row.xbar * 683.0;
            Y += value * row.ybar * 683.0;
            Z += value * row.zbar * 683.0;
        }
        const std::string what = colour.name().toStdString();
        EXPECT_NEAR(X_, X, X * 0.001 + 1e-4) << what;
        EXPECT_NEAR(Y_, Y, Y * 0.001 + 1e-4) << what;
        EXPECT_NEAR(Z_, Z, Z * 0.001 + 1e-4) << what;
        const sim::Tristimulus reference = lab_.display().tristimulus();
        EXPECT_NEAR(X_, reference.X, reference.X * 0.01) << what;
        EXPECT_NEAR(Y_, reference.Y, reference.Y * 0.01) << what;
        EXPECT_NEAR(Z_, reference.Z, reference.Z * 0.01) << what;
    }
}

TEST_F(JetiStandIn, AMeasurementThatNeverEndsDeliversNothingAndNeverWaits) {
    ASSERT_TRUE(start());
    ASSERT_TRUE(driver_.open());
    lab_.jetiStandIn().setFault(kVqsSimJetiNeverFinishes);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 300; ++i) ASSERT_EQ(driver_.poll(0, X_, Y_, Z_, spectrum_), 0);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(probes_[0].driverState, kJetiAskForResult) << "still asking";
    EXPECT_EQ(Y_, -1.0f);
    EXPECT_EQ(lab_.jetiStandIn().measurementsStarted(), 1);
}

}  // namespace
}  // namespace vqs
