// The capture session without a window: a run at the probe's pace, Capture refused on values
// that are not current, the status line's confirmations, and the recovery file.

#include "capture/capture_session.h"

#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "probes/probe_session.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

namespace vqs {
namespace {

class SteadyDriver final : public ProbeDriver {
public:
    bool open() override { return false; }
    int poll(int, float& X, float& Y, float& Z, Tsprad&) override {
        if (!delivering) return 0;
        X = 95.0f;
        Y = 100.0f;
        Z = 108.9f;
        return 1;
    }
    void release(int) override {}
    void close() override {}
    bool delivering = true;
};

// The patch list as a number, and what the session asked to show.
class RecordingView final : public CaptureView {
public:
    int selectedSlot() const override { return slot; }
    void selectSlot(int s) override { slot = s; }
    void showPatchValues(int s) override { shownPatches << s; }
    void showFirstReading() override {}
    void refreshCharts() override {}
    bool showPatternLocally() override { return false; }
    bool patternWindowShown() const override { return false; }
    void sendPatternToMonitor() override { ++patternsSent; }
    void showStatus(const QString& text) override { status = text; }
    QString typedDevname() const override { return QStringLiteral("Studio 4"); }
    QString typedDevsnid() const override { return QStringLiteral("SN42"); }

    int slot = kStartSlot;
    QList<int> shownPatches;
    int patternsSent = 0;
    QString status;
};

class NoProbeList final : public ProbeSessionView {
    void probeListChanged() override {}
};

class CaptureSessionTest : public testing::Test {
protected:
    CaptureSessionTest() {
        probeList_[0].type = kProbeCs200;
        probes_.drivers().set(kProbeCs200, &driver_);
        capture_.setRecoveryFolder(folder_.filePath(QStringLiteral("recovery")));
        capture_.setSteadyClock([this] { return nowMs_; });
    }

    // The measurement tick as the window runs it, 100 ms apart.
    void tick() {
        nowMs_ += 100;
        const bool got = probes_.pollFirst(0, reading_);
        if (!stopped_) capture_.advance(got, false);
    }

    void makeLive() {
        for (int i = 0; i < 3; ++i) tick();
        ASSERT_TRUE(probes_.firstIsLive());
    }

    QTemporaryDir folder_;
    ProbeList probeList_{};
    Settings settings_;
    test::ScriptedPrompter prompter_;
    IniSettingsStore store_{folder_.filePath(QStringLiteral("store.ini")), kSettingsBaseKey};
    FixedClock clock_{QDate(2026, 12, 11), QTime(9, 30)};
    NoProbeList probeView_;
    StepTrace trace_;
    ProbeSession probes_{probeList_, settings_, {prompter_, store_, clock_}, probeView_, trace_};
    SteadyDriver driver_;
    PatchCatalogue targets_ = makePatchCatalogue();
    Tcaldaten report_;
    Tprobevals reading_;
    bool stopped_ = false;
    RecordingView view_;
    int64_t nowMs_ = 0;
    CaptureSession capture_{{report_, targets_, settings_, reading_, stopped_},
                            probes_,
                            prompter_,
                            clock_,
                            view_};
};

TEST_F(CaptureSessionTest, ADicomRunCapturesEveryStepAndStopsOnTheOverview) {
    makeLive();
    report_.xyz[5] = {1, 2, 3};
    capture_.captureDicom(QStringLiteral("Capture DICOM"));
    EXPECT_EQ(view_.slot, kFirstDicomSlot);
    EXPECT_EQ(capture_.countdown(), 4);
    for (int i = 0; i < 2000 && capture_.countdown() != 0; ++i) tick();
    EXPECT_EQ(capture_.countdown(), 0);
    EXPECT_TRUE(stopped_);
    EXPECT_EQ(view_.slot, kStopSlot);
    for (int slot = kFirstDicomSlot; slot <= kLastSlot; ++slot)
        EXPECT_EQ(report_.xyz[slot].Y, 100.0f) << "slot " << slot;
    EXPECT_EQ(report_.xyz[5].Y, 2.0f) << "the rest of the report stays";
    EXPECT_TRUE(view_.status.startsWith("Capture DICOM finished: 21 patches captured in "))
        << view_.status.toStdString();
}

// The run waits while its probe does not deliver, and names why in the status line.
TEST_F(CaptureSessionTest, ARunStandsStillWhileItsProbeIsSilent) {
    makeLive();
    capture_.captureAll(QStringLiteral("Capture All"));
    EXPECT_EQ(report_.devname, "Studio 4") << "a run names the monitor typed";
    driver_.delivering = false;
    for (int i = 0; i < 100; ++i) tick();
    EXPECT_EQ(view_.slot, kFirstPrimarySlot);
    EXPECT_EQ(report_.xyz[kFirstPrimarySlot].Y, 0.0f);
    const std::optional<QString> line = capture_.statusLine();
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->contains("Capture All waits at 1 of")) << line->toStdString();
    EXPECT_TRUE(capture_.cancelRun());
    EXPECT_FALSE(capture_.cancelRun()) << "nothing left to cancel";
}

TEST_F(CaptureSessionTest, CaptureRefusesValuesThatAreNotCurrent) {
    view_.slot = 3;
    EXPECT_FALSE(capture_.captureOne()) << "no reading yet";
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shownTexts().first().contains("nothing was captured"));
    EXPECT_EQ(report_.xyz[3].Y, 0.0f);

    makeLive();
    EXPECT_TRUE(capture_.captureOne());
    EXPECT_EQ(report_.xyz[3].Y, 100.0f);
    EXPECT_EQ(view_.slot, 4) << "Capture moves on to the next patch";
    EXPECT_EQ(report_.unsaved, 1);
}

TEST_F(CaptureSessionTest, AConfirmationStandsForEightSecondsOrUntilTheOperatorMovesOn) {
    makeLive();
    capture_.tellQuietly(QStringLiteral("The report was saved as r.txt"));
    nowMs_ += 7900;
    EXPECT_EQ(capture_.statusLine(), "The report was saved as r.txt");
    nowMs_ += 200;
    EXPECT_EQ(capture_.statusLine(), "");
    capture_.tellQuietly(QStringLiteral("again"));
    capture_.moveOn();
    EXPECT_EQ(capture_.statusLine(), "");
    stopped_ = true;
    EXPECT_FALSE(capture_.statusLine()) << "stopped, the line names the stored values";
}

TEST_F(CaptureSessionTest, TheRecoveryFileFollowsTheUnsavedReportAndGoesOnceItIsSaved) {
    makeLive();
    view_.slot = 3;
    capture_.captureOne();
    const QString path = capture_.recoveryFile().path();
    EXPECT_TRUE(QFileInfo::exists(path));
    report_.unsaved = 0;  // saved, say to a monitor
    capture_.dropRecoveryOnceSaved();
    EXPECT_FALSE(QFileInfo::exists(path));
}

}  // namespace
}  // namespace vqs
