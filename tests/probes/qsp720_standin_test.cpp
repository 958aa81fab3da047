// The QSP720 driver on the virtual lab's stand-in library, loaded through the program's own
// loader: detection, the faults of the instrument, a calibrated white against the virtual
// CS-2000, and the two calibration scans in front of a covered and a lit probe.

#include "platform/vendor_library.h"
#include "probes/cs200_driver.h"
#include "probes/jeti_driver.h"
#include "probes/qsp720_cal_file.h"
#include "probes/qsp720_driver.h"
#include "probes/qsp720_processing.h"
#include "sim/qsp720_standin_control.h"
#include "sim/virtual_lab.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

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
        h.scanDoubtful = [this](const QString& question) { questions_ << question; };
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
    QStringList questions_;
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

// A dark scan is kept when the probe was dark; one that saw light is held back and the probe
// goes on with the dark data it had, whether it had some or none.
struct DarkScanCase {
    const char* what;
    bool covered;
    bool afterAGoodScan;
    bool doubtful;
};

class Qsp720DarkScanJudged : public Qsp720StandIn,
                             public testing::WithParamInterface<DarkScanCase> {};

TEST_P(Qsp720DarkScanJudged, KeepsOnlyDarkness) {
    const DarkScanCase& c = GetParam();
    ASSERT_TRUE(started_);
    ASSERT_TRUE(driver_.open());
    if (c.afterAGoodScan) darkScan();
    const DarkSpectra before = probes_[0].darkData;
    const int saves = darkSaves_, completed = scansCompleted_;
    lab_.display().show(QColor(100, 100, 100));
    lab_.coverQsp720(c.covered);
    ASSERT_EQ(pollResults(2), 2);
    driver_.setCalScanStep(kDarkScanStart);
    ASSERT_TRUE(finishCalScan());
    ASSERT_EQ(questions_.size(), c.doubtful ? 1 : 0);
    EXPECT_EQ(darkSaves_ - saves, c.doubtful ? 0 : 1);
    EXPECT_EQ(scansCompleted_ - completed, c.doubtful ? 0 : 1);
    EXPECT_EQ(probes_[0].darkData == before, c.doubtful);
    if (!c.doubtful) return;
    EXPECT_TRUE(questions_[0].startsWith("The dark scan saw light")) << questions_[0].toStdString();
    driver_.settleHeldScan(false);
    EXPECT_EQ(probes_[0].darkData == before, true);
    EXPECT_EQ(darkSaves_, saves);
}

INSTANTIATE_TEST_SUITE_P(StandIn, Qsp720DarkScanJudged,
                         testing::Values(DarkScanCase{"covered", true, false, false},
                                         DarkScanCase{"open as the first", false, false, true},
                                         DarkScanCase{"open after a good one", false, true, true}),
                         test::CaseName{});

// A stand-in that ends the process in SWDinit, started in a child: its mark stays behind, the
// next start leaves the library out and names its file, and the start after that tries it again.
TEST_F(Qsp720StandIn, ALibraryThatEndsTheStartIsLeftOutOnceAndNamed) {
    ASSERT_TRUE(started_);
    QTemporaryDir marks;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        lab_.setQsp720Fault(kVqsSimQsp720CrashesInInit);
        ProbeList probes;
        resetProbeList(probes);
        bool logNext = false;
        Qsp720Driver driver(probes, logNext, {});
        driver.setStartMarkFolder(marks.path());
        driver.open();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the stand-in did not crash";
    const QString mark = marks.filePath("libqsp72XP.so.starting");
    ASSERT_TRUE(QFileInfo::exists(mark));
    VendorLibrary standIn;
    ASSERT_TRUE(standIn.load(QStringLiteral("qsp72XP")));

    driver_.setStartMarkFolder(marks.path());
    EXPECT_FALSE(driver_.open());
    EXPECT_EQ(probes_[0].type, kProbeFree);
    const std::vector<VendorLibraryTrouble> troubles = driver_.libraryTroubles();
    ASSERT_EQ(troubles.size(), 1u);
    EXPECT_TRUE(troubles[0].crashedLastStart);
    EXPECT_EQ(QFileInfo(troubles[0].file).canonicalFilePath(),
              QFileInfo(standIn.fileName()).canonicalFilePath());
    EXPECT_EQ(troubles[0].probe, "QSP720");
    EXPECT_FALSE(QFileInfo::exists(mark)) << "left out once, not for ever";

    EXPECT_TRUE(driver_.open()) << "the start after tries it again";
    EXPECT_TRUE(driver_.libraryTroubles().empty());
    EXPECT_FALSE(QFileInfo::exists(mark)) << "a start-up that returned takes its mark away";
}

// Libraries of the right names that lack exports: the QSP720 stand-in of another version without
// SWDscanLV, and, in place of the others, a library that has none of their exports. No driver
// calls into them or lists a probe, and each names the file and what it lacks.
struct LackingCase {
    const char* what;
    std::function<std::unique_ptr<ProbeDriver>(ProbeList&, bool&)> driver;
    QStringList troubles;
};

class LibraryWithoutAllExports : public testing::TestWithParam<LackingCase> {
  protected:
    LibraryWithoutAllExports() : saved_(qgetenv(kProbeLibraryDirVariable)) {
        const QString lacking =
            QDir(QStringLiteral(VQS_SIM_LACKING_SCAN_DIR)).filePath("libqsp72XP.so");
        for (const char* name :
             {"libqsp72XP.so", "libkmsecs200.so", "libjeti_core.so", "libjeti_radio_ex.so"})
            QFile::link(lacking, folder_.filePath(QLatin1String(name)));
        qputenv(kProbeLibraryDirVariable, folder_.path().toLocal8Bit());
        resetProbeList(probes_);
    }
    ~LibraryWithoutAllExports() override { qputenv(kProbeLibraryDirVariable, saved_); }

    QTemporaryDir folder_;
    QByteArray saved_;
    ProbeList probes_;
    bool logNext_ = false;
};

TEST_P(LibraryWithoutAllExports, GivesNoProbeAndIsNamed) {
    const LackingCase& c = GetParam();
    const std::unique_ptr<ProbeDriver> driver = c.driver(probes_, logNext_);
    EXPECT_FALSE(driver->open());
    EXPECT_EQ(probes_[0].type, kProbeFree);
    QStringList troubles;
    for (const VendorLibraryTrouble& trouble : driver->libraryTroubles()) {
        troubles << vendorLibraryTroubleText(trouble);
        EXPECT_EQ(QFileInfo(trouble.file).absolutePath(), folder_.path());
    }
    EXPECT_EQ(troubles, c.troubles);
}

INSTANTIATE_TEST_SUITE_P(
    Vendors, LibraryWithoutAllExports,
    testing::Values(
        LackingCase{"QSP720",
                    [](ProbeList& p, bool& log) {
                        return std::make_unique<Qsp720Driver>(p, log, Qsp720Driver::Hooks{});
                    },
                    {"libqsp72XP.so lacks SWDscanLV: no QSP720"}},
        LackingCase{"CS200",
                    [](ProbeList& p, bool&) { return std::make_unique<Cs200Driver>(p); },
                    {"libkmsecs200.so lacks get_num, int_usb, end_usb, write64_usb, read64_usb: "
                     "no CS-200"}},
        LackingCase{"JETI",
                    [](ProbeList& p, bool&) {
                        return std::make_unique<JetiDriver>(p, [](const std::string&) {});
                    },
                    {"libjeti_core.so lacks JETI_SetCycModeConf, JETI_SetCycTimeConf, "
                     "JETI_CloseDevice: no JETI specbos",
                     "libjeti_radio_ex.so lacks JETI_GetNumRadioEx, JETI_GetSerialRadioEx, "
                     "JETI_OpenRadioEx, JETI_MeasureEx, JETI_MeasureStatusEx, JETI_ChromXYZEx, "
                     "JETI_SpecRadEx: no JETI specbos"}}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
