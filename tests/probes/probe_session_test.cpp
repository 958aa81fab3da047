// The probe session without a window: both positions' polls and freshness, the controls a
// probe type uses, the status line, and the log of readings.

#include "probes/probe_session.h"

#include "colour/probe_reading.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

namespace vqs {
namespace {

// Delivers a reading on every poll while told to, and records what it was asked to do.
class ScriptedDriver final : public ProbeDriver {
public:
    bool open() override { return false; }
    int poll(int row, float& X, float& Y, float& Z, Tsprad&) override {
        polls << row;
        if (!delivering) return 0;
        X = 95.0f;
        Y = 100.0f + static_cast<float>(polls.size());
        Z = 108.9f;
        return 1;
    }
    void release(int row) override { releases << row; }
    void close() override {}

    QList<int> polls;
    QList<int> releases;
    bool delivering = true;
};

class ListView final : public ProbeSessionView {
public:
    void probeListChanged() override { ++changes; }
    int changes = 0;
};

class ProbeSessionTest : public testing::Test {
protected:
    ProbeSessionTest() {
        settings_.reportDir = folder_.path();
        session_.drivers().set(kProbeCs200, &colorimeter_);
        session_.drivers().set(kProbeQsp720, &spectrometer_);
    }

    // Probes of the given types in rows 0..
    void list(std::initializer_list<int32_t> types) {
        int row = 0;
        for (const int32_t type : types) {
            probes_[row].type = type;
            probes_[row].displayName = QStringLiteral("probe %1").arg(row);
            ++row;
        }
    }

    // One measurement tick of both positions, as the window runs it.
    std::pair<bool, bool> tick(int firstRow, int secondIndex) {
        const bool got1 = session_.pollFirst(firstRow, first_);
        session_.releaseDeselectedFirst(firstRow);
        const bool got2 = session_.pollSecond(secondIndex, first_, second_);
        return {got1, got2};
    }

    ProbeList probes_{};
    Settings settings_;
    QTemporaryDir folder_;
    test::ScriptedPrompter prompter_;
    IniSettingsStore store_{folder_.filePath(QStringLiteral("store.ini")), kSettingsBaseKey};
    FixedClock clock_{QDate(2026, 12, 11), QTime(9, 30)};
    ListView view_;
    StepTrace trace_;
    ProbeSession session_{probes_, settings_, {prompter_, store_, clock_}, view_, trace_};
    ScriptedDriver colorimeter_;
    ScriptedDriver spectrometer_;
    Tprobevals first_;
    Tprobevals second_;
};

TEST_F(ProbeSessionTest, BothPositionsOnOneProbePollItOnceAndShowItsValues) {
    list({kProbeCs200});
    const auto [got1, got2] = tick(0, 1);
    EXPECT_TRUE(got1);
    EXPECT_TRUE(got2);
    EXPECT_EQ(colorimeter_.polls, QList<int>({0}));
    EXPECT_EQ(second_.Y, first_.Y);
    EXPECT_GT(second_.x, 0.0f) << "the second reading is converted";
}

TEST_F(ProbeSessionTest, SecondPositionNonePollsNothingAndHasNoProbe) {
    list({kProbeCs200, kProbeQsp720});
    tick(0, 0);
    EXPECT_TRUE(spectrometer_.polls.isEmpty());
    EXPECT_EQ(second_.shown, 0);
    EXPECT_EQ(session_.secondFreshness().liveness(), ProbeLiveness::NoProbe);
}

TEST_F(ProbeSessionTest, ASpectrometerTheFirstPositionLeavesIsReleased) {
    list({kProbeCs200, kProbeQsp720});
    tick(1, 0);
    EXPECT_TRUE(spectrometer_.releases.isEmpty());
    tick(0, 0);
    EXPECT_EQ(spectrometer_.releases, QList<int>({1}));
}

TEST_F(ProbeSessionTest, NoSelectionIsNeverTracked) {
    tick(-1, 0);
    EXPECT_EQ(session_.firstActiveRow(), 0);
    EXPECT_EQ(session_.firstFreshness().liveness(), ProbeLiveness::NoProbe);
}

// What the operator is told of the first position, by its freshness.
TEST_F(ProbeSessionTest, FreshnessTextsAndCaptureRefusalFollowTheFirstPosition) {
    list({kProbeCs200});
    EXPECT_EQ(session_.firstFreshnessText(),
              "No probe in position 1: the values shown are not a reading");
    ASSERT_TRUE(session_.captureRefusal());
    EXPECT_TRUE(session_.captureRefusal()->startsWith("No probe in position 1"));

    colorimeter_.delivering = false;
    tick(0, 0);
    EXPECT_EQ(session_.firstFreshnessText(), "Probe 1: waiting for its first reading");
    EXPECT_EQ(session_.firstHoldUp(), "Probe 1 has not delivered yet");
    ASSERT_TRUE(session_.captureRefusal());
    EXPECT_TRUE(session_.captureRefusal()->startsWith("Probe 1 has not delivered a reading yet"));

    colorimeter_.delivering = true;
    for (int i = 0; i < 3; ++i) tick(0, 0);
    EXPECT_TRUE(session_.firstIsLive());
    EXPECT_TRUE(session_.firstFreshnessText().isEmpty());
    EXPECT_FALSE(session_.captureRefusal());
}

TEST_F(ProbeSessionTest, EachProbeTypeUsesItsControls) {
    list({kProbeCs200, kProbeQsp720, kProbeJeti, kProbeCs2000});
    const struct {
        int row;
        bool calScan, range;
        int rangeIndex;
    } cases[] = {{0, false, true, 2}, {1, true, true, 2}, {2, false, false, 0},
                 {3, false, false, 0}, {-1, false, false, 0}, {9, false, false, 0}};
    for (const auto& c : cases) {
        const ProbeControls controls = session_.controlsFor(c.row);
        EXPECT_EQ(controls.calScan, c.calScan) << "row " << c.row;
        EXPECT_EQ(controls.range, c.range) << "row " << c.row;
        EXPECT_EQ(controls.rangeIndex, c.rangeIndex) << "row " << c.row;
    }
}

TEST_F(ProbeSessionTest, ARangeGoesToItsProbeAndRestartsItsHold) {
    list({kProbeCs200});
    probes_[0].holdCount = 7;
    session_.setUserRange(0, 4);
    EXPECT_EQ(probes_[0].userRange, 4);
    EXPECT_EQ(probes_[0].holdCount, 0);
    session_.setUserRange(-1, 3);  // no selection: nothing to change
    session_.setUserRange(kProbeRows, 3);
    EXPECT_EQ(probes_[0].userRange, 4);
}

TEST_F(ProbeSessionTest, TheStatusLineShowsTheProbesOwnStatusInItsColour) {
    list({kProbeQsp720});
    probes_[0].calStatus = QStringLiteral("CAL FILE OK");
    probes_[0].calStatusColour = 0x00FF00;
    const std::optional<ProbeStatusLine> line = session_.statusLine(0);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text, "CAL FILE OK");
    EXPECT_EQ(line->colour, 0x00FF00);
    EXPECT_FALSE(session_.statusLine(-1)) << "no probe and no library trouble: nothing to say";
}

TEST_F(ProbeSessionTest, ProbeNamesSkipFreeRows) {
    list({kProbeCs200, kProbeFree, kProbeQsp720});
    EXPECT_EQ(session_.probeNames(), QStringList({"probe 0", "probe 2"}));
}

// The drivers log from inside the measurement tick: a log that cannot be written is told once
// the tick is over, never inside it.
TEST_F(ProbeSessionTest, ALogThatCannotBeWrittenIsToldAfterTheTick) {
    list({kProbeCs200});
    settings_.reportDir = folder_.filePath(QStringLiteral("missing/folder"));
    session_.logMeasurement(0, 1, 2, 3, {});
    EXPECT_TRUE(prompter_.shown().empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shownTexts().first().contains("could not be written"));
}

TEST_F(ProbeSessionTest, SavingTheSpectrumLogsTheNextReading) {
    Tsprad spectrum;
    spectrum.count = 0;
    session_.saveSpectrum(spectrum);
    EXPECT_TRUE(session_.logNextMeasurement());
    EXPECT_TRUE(prompter_.shown().empty());
}

}  // namespace
}  // namespace vqs
