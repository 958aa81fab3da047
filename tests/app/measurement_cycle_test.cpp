// The 100 ms measurement cycle with scripted probe drivers.

#include "app/application.h"
#include "app/patch_list.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>

namespace vqs {
namespace {

// Delivers a reading on every poll (Y counts the polls) and records what it was asked to do.
class ScriptedDriver final : public ProbeDriver {
public:
    bool open() override { return false; }
    int poll(int row, float& X, float& Y, float& Z, Tsprad&) override {
        polls << row;
        if (!delivering) return 0;
        X = 0.95f * (polls.size());
        Y = static_cast<float>(polls.size());
        Z = 1.09f * (polls.size());
        return 1;
    }
    void release(int row) override { releases << row; }
    void close() override {}

    QList<int> polls;
    QList<int> releases;
    bool delivering = true;
};

class MeasurementCycle : public testing::Test {
protected:
    MeasurementCycle() { windows_ = createWindows(state_, services_); }

    TForm1& form() { return *windows_.form1; }

    // Puts probes of the given types into rows 0.. and lists them in the selectors.
    void installProbes(std::initializer_list<int32_t> types) {
        int row = 0;
        for (const int32_t type : types) {
            Tsmlist& p = (*state_.probes)[row];
            p.type = type;
            p.displayName = QStringLiteral("probe %1").arg(row++);
            form().probes().drivers().set(type, &driverFor(type));
        }
        form().fillProbeSelectors();
    }

    ScriptedDriver& driverFor(int32_t type) { return type == kProbeQsp720 ? spectrometer_ : colorimeter_; }

    void select(int first, int second) {
        form().firstSM->setCurrentIndex(first);
        form().scndSM->setCurrentIndex(second);
    }

    void ticks(int n) {
        for (int i = 0; i < n; ++i) form().Timer1Timer();
    }

    // Starts an automatic run as the capture buttons do.
    void startRun(int firstSlot, int endSlot) {
        form().selectSlot(firstSlot);
        state_.measurementStopped = false;
        form().capture().startRun(firstSlot, endSlot);
    }

    // Ticks until the slot holds a result; the number of ticks it took.
    int ticksUntilCaptured(int slot, int limit = 100) {
        for (int t = 1; t <= limit; ++t) {
            form().Timer1Timer();
            if (state_.workingReport.xyz[slot].Y != 0.0f) return t;
        }
        return -1;
    }

    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir configHome_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    ScriptedDriver colorimeter_;
    ScriptedDriver spectrometer_;
};

TEST_F(MeasurementCycle, WithoutProbesNothingIsPolledAndThePacingGoesOn) {
    ticks(3);
    EXPECT_TRUE(colorimeter_.polls.isEmpty());
    EXPECT_EQ(form().link().discoveryCountdown(), 28);
    EXPECT_EQ(form().probes().firstActiveRow(), 0) << "no selection is never tracked";
}

TEST_F(MeasurementCycle, BothPositionsOnOneProbePollItOnce) {
    installProbes({kProbeCs200});
    select(0, 1);
    ticks(1);
    EXPECT_EQ(colorimeter_.polls, QList<int>({0}));
    EXPECT_EQ(state_.probe2.Y, state_.probe1.Y);
    EXPECT_EQ(state_.probe2.shown, 2);
    EXPECT_EQ(form().findChild<QLabel*>("_XYZ_Yvalue2")->text(), "1.0");
    EXPECT_EQ(form().findChild<QLabel*>("_XYZ_Yvalue")->text(), "1.0");
}

TEST_F(MeasurementCycle, SecondPositionOnNoneKeepsItsReadout) {
    installProbes({kProbeCs200, kProbeCs200});
    select(0, 2);
    ticks(1);
    const QString shown = form().findChild<QLabel*>("_XYZ_Yvalue2")->text();
    select(0, 0);
    ticks(2);
    EXPECT_EQ(form().findChild<QLabel*>("_XYZ_Yvalue2")->text(), shown);
    EXPECT_EQ(state_.probe2.shown, 0);
    EXPECT_EQ(colorimeter_.polls, QList<int>({0, 1, 0, 0}));
}

TEST_F(MeasurementCycle, ADeselectedSpectrometerIsReleasedUnlessTheOtherPositionTracksIt) {
    installProbes({kProbeQsp720, kProbeQsp720, kProbeQsp720});
    select(2, 0);
    ticks(1);
    select(1, 0);
    ticks(1);
    EXPECT_EQ(spectrometer_.releases, QList<int>({2}));

    select(0, 3);  // the second position measures row 2
    ticks(1);
    select(2, 3);
    ticks(1);
    select(1, 3);
    ticks(1);
    EXPECT_EQ(spectrometer_.releases, QList<int>({2})) << "row 2 still measured in position 2";
}

TEST_F(MeasurementCycle, LeavingTheSecondPositionReleasesACs2000ButTheFirstDoesNot) {
    installProbes({kProbeQsp720, kProbeCs2000, kProbeQsp720});
    select(1, 0);
    ticks(1);
    select(0, 0);
    ticks(1);
    EXPECT_TRUE(colorimeter_.releases.isEmpty()) << "the first position never releases a CS-2000";

    select(0, 2);  // CS-2000 at row 1 in the second position
    ticks(1);
    select(0, 3);
    ticks(1);
    EXPECT_EQ(colorimeter_.releases, QList<int>({1}));
}

TEST_F(MeasurementCycle, WhileStoppedTheFirstProbeIsPolledButTheReadoutStands) {
    installProbes({kProbeCs200});
    select(0, 0);
    ticks(1);
    state_.measurementStopped = true;
    ticks(3);
    EXPECT_EQ(colorimeter_.polls.size(), 4);
    EXPECT_EQ(form().findChild<QLabel*>("_XYZ_Yvalue")->text(), "1.0");
}

TEST_F(MeasurementCycle, CaptureRunPacingAndEnd) {
    installProbes({kProbeCs200});
    select(0, 0);
    startRun(1, kStopSlot);
    const int first = ticksUntilCaptured(1);
    EXPECT_GE(first, 10);
    EXPECT_LE(first, 15);
    EXPECT_EQ(form().selectedSlot(), 2);
    EXPECT_EQ(state_.workingReport.unsaved, 1);
    EXPECT_EQ(ticksUntilCaptured(2), 20) << "then one capture every 2 s without the local window";
    EXPECT_EQ(form().colorsgsgroup->item(1)->text().left(6), "Red  (");

    for (int slot = 3; slot <= 39; ++slot) ASSERT_GT(ticksUntilCaptured(slot), 0) << slot;
    EXPECT_EQ(form().selectedSlot(), kStopSlot);
    EXPECT_TRUE(state_.measurementStopped);
    EXPECT_EQ(form().capture().countdown(), 0);
    EXPECT_EQ(state_.workingReport.xyz[kStopSlot].Y, 0.0f) << "slot 40 is never captured";
}

TEST_F(MeasurementCycle, DicomRunEndsAfterTheLastSlot) {
    installProbes({kProbeCs200});
    select(0, 0);
    startRun(kFirstDicomSlot, kPatchSlots);
    for (int slot = kFirstDicomSlot; slot <= kLastSlot; ++slot)
        ASSERT_GT(ticksUntilCaptured(slot), 0) << slot;
    EXPECT_EQ(form().selectedSlot(), kStopSlot);
    EXPECT_TRUE(state_.measurementStopped);
    EXPECT_EQ(form().capture().countdown(), 0);
}

TEST_F(MeasurementCycle, ARunOnlyMovesOnFreshReadings) {
    installProbes({kProbeCs200});
    select(0, 0);
    colorimeter_.delivering = false;
    startRun(1, kStopSlot);
    EXPECT_EQ(ticksUntilCaptured(1, 60), -1);
    EXPECT_EQ(form().capture().countdown(), 4);
}

struct FreshnessCase {
    const char* what;
    int delivering;  // ticks with a reading, then
    int quiet;       // ticks without
    bool stopped;    // Capture pressed while the readout is stopped
    const char* status;
    bool captured;
};

void PrintTo(const FreshnessCase& c, std::ostream* os) { *os << c.what; }

class FirstProbeFreshness : public MeasurementCycle,
                            public testing::WithParamInterface<FreshnessCase> {};

TEST_P(FirstProbeFreshness, IsShownAndCaptureHeedsIt) {
    const FreshnessCase& c = GetParam();
    installProbes({kProbeCs200});
    select(0, 0);
    ticks(c.delivering);
    colorimeter_.delivering = false;
    ticks(c.quiet);
    form().selectSlot(3);
    if (c.stopped) {
        state_.workingReport.xyz[3] = {1, 2, 3};
        state_.measurementStopped = true;
        form().colorsgsgroupClick();  // shows the stored values of slot 3
        ticks(1);
    }
    EXPECT_EQ(form().valuesStatus->text(), c.status);

    form().btnStoreClick();
    const int slot = c.stopped ? kStartSlot : 3;
    EXPECT_EQ(state_.workingReport.xyz[slot].Y != 0.0f, c.captured);
    EXPECT_EQ(prompter_.shown().size(), c.captured ? 0u : 1u);
    if (!c.captured) {
        EXPECT_EQ(form().selectedSlot(), 3) << "stays on the patch";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FirstProbeFreshness,
    testing::Values(
        FreshnessCase{"live", 10, 0, false, "", true},
        FreshnessCase{"a pause shorter than the shortest silence", 10, 20, false, "", true},
        FreshnessCase{"silent", 10, 21, false,
                      "Probe 1 silent for 2 s: the values shown are not current", false},
        FreshnessCase{"no reading yet", 0, 5, false, "Probe 1: waiting for its first reading",
                      false},
        FreshnessCase{"stopped on stored values", 10, 40, true,
                      "Values of Blue (Measurment Stopped)", true}),
    test::CaseName());

TEST_F(MeasurementCycle, WithoutAProbeCaptureRefusesAndNothingLooksLive) {
    ticks(3);
    form().selectSlot(kFirstPrimarySlot);
    form().btnStoreClick();
    EXPECT_EQ(state_.workingReport.xyz[kFirstPrimarySlot].Y, 0.0f);
    EXPECT_EQ(state_.workingReport.unsaved, 0);
    EXPECT_EQ(form().selectedSlot(), kFirstPrimarySlot) << "stays on the patch";
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shown()[0].text.startsWith("No probe in position 1"))
        << prompter_.shown()[0].text.toStdString();

    EXPECT_EQ(form().probeState1->text(), "\u25cf no probe");
    EXPECT_EQ(form().valuesStatus->text(),
              "No probe in position 1: the values shown are not a reading");
    const QColor shown = form().firstReadout.Y->palette().color(QPalette::WindowText);
    EXPECT_NE(shown, QColor(0x00, 0xFF, 0x00)) << "the default values are no live reading";

    installProbes({kProbeCs200});
    select(0, 0);
    ticks(1);
    EXPECT_EQ(form().firstReadout.Y->palette().color(QPalette::WindowText),
              QColor(0x00, 0xFF, 0x00));
}

TEST_F(MeasurementCycle, ASilentProbeThatDeliversAgainIsLive) {
    installProbes({kProbeCs200});
    select(0, 0);
    ticks(5);
    colorimeter_.delivering = false;
    ticks(40);
    ASSERT_NE(form().valuesStatus->text(), "");
    colorimeter_.delivering = true;
    ticks(1);
    EXPECT_EQ(form().valuesStatus->text(), "");
}

}  // namespace
}  // namespace vqs
