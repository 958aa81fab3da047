// Capturing, the readout states, the device grid and the report buttons on the main window.

#include "app/application.h"
#include "app/patch_list.h"
#include "data/report_file.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

namespace vqs {
namespace {

const QString kDiscardQuestion = QStringLiteral("Captured Data not saved! Continoue anyway?");

// A colorimeter in position 1 that delivers whatever the test puts in front of it: Capture
// takes only a current reading.
class HeldReadingDriver final : public ProbeDriver {
public:
    explicit HeldReadingDriver(const Tprobevals& held) : held_(held) {}
    bool open() override { return false; }
    int poll(int, float& X, float& Y, float& Z, Tsprad&) override {
        X = held_.X;
        Y = held_.Y;
        Z = held_.Z;
        return 1;
    }
    void release(int) override {}
    void close() override {}

private:
    const Tprobevals& held_;
};

class Capture : public testing::Test {
protected:
    Capture() {
        QDir::setCurrent(reports_.path());  // the report directory defaults to it
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
        (*state_.probes)[0].type = kProbeCs200;
        (*state_.probes)[0].displayName = QStringLiteral("colorimeter");
        form().probes().drivers().set(kProbeCs200, &colorimeter_);
        form().fillProbeSelectors();
        form().firstSM->setCurrentIndex(0);
        form().Timer1Timer();  // live from its first reading
    }

    ~Capture() override { QDir::setCurrent(previousDirectory_); }

    TForm1& form() { return *windows_.form1; }
    QString status() { return form().valuesStatus->text(); }
    QString shown(const char* label) { return form().findChild<QLabel*>(label)->text(); }

    void reading(float X, float Y, float Z) {
        state_.probe1.X = held_.X = X;
        state_.probe1.Y = held_.Y = Y;
        state_.probe1.Z = held_.Z = Z;
    }

    const QString previousDirectory_ = QDir::currentPath();
    QTemporaryDir reports_;
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir config_;
    IniSettingsStore store_{config_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Tprobevals held_;
    HeldReadingDriver colorimeter_{held_};
    Windows windows_;
};

struct StepCase {
    int from;
    int to;
    bool unsaved;
};

class CaptureStep : public Capture, public testing::WithParamInterface<StepCase> {};

TEST_P(CaptureStep, StoresAndMovesOn) {
    const StepCase& c = GetParam();
    form().selectSlot(c.from);
    reading(95.047f, 100.0f, 108.883f);
    form().btnStoreClick();
    EXPECT_EQ(state_.workingReport.xyz[c.from].Y, 100.0f);
    EXPECT_EQ(form().selectedSlot(), c.to);
    EXPECT_EQ(state_.workingReport.unsaved, c.unsaved ? 1 : 0);
    EXPECT_EQ(state_.workingReport.repdate, clock_.shortDate(clock_.today()));
}

INSTANTIATE_TEST_SUITE_P(Cases, CaptureStep,
                         testing::Values(StepCase{0, 1, false}, StepCase{1, 2, true},
                                         StepCase{39, 41, true}, StepCase{61, 40, true}));

TEST_F(Capture, TheLastDicomStepStopsOnTheOverview) {
    form().selectSlot(61);
    reading(1, 2, 3);
    form().btnStoreClick();
    EXPECT_TRUE(state_.measurementStopped);
    EXPECT_EQ(status(), "(Measurment Stopped)");
    EXPECT_EQ(shown("_XYZ_Yvalue"), "0.0") << "slot 40 holds no measurement";
}

TEST_F(Capture, StoppedSelectionShowsStoredValuesAndCaptureReturnsToLive) {
    state_.workingReport.xyz[5] = {95.047f, 100.0f, 108.883f};
    form().selectSlot(kStopSlot);
    form().colorsgsgroupClick();
    ASSERT_TRUE(state_.measurementStopped);
    form().selectSlot(5);
    form().colorsgsgroupClick();
    EXPECT_EQ(status(), "Values of Grey19 - White (Measurment Stopped)");
    EXPECT_EQ(shown("_XYZ_Yvalue"), "100.0");
    EXPECT_EQ(shown("_xyCCT_CCTvalue"), "6502");

    form().btnStoreClick();
    EXPECT_EQ(form().selectedSlot(), kStartSlot) << "Capture while stopped stores into slot 0";
    EXPECT_FALSE(state_.measurementStopped);
    EXPECT_EQ(state_.workingReport.xyz[0].Y, 100.0f) << "the stored values that were shown";
    EXPECT_EQ(status(), "");
}

TEST_F(Capture, CaptureAllStartsCancelsAndAsksBeforeDiscarding) {
    form().editDevsnid->setText("SN7");
    form().editDevname->setText("Grade 1");
    state_.workingReport.xyz[3] = {1, 1, 1};
    form().storeAllClick();
    EXPECT_TRUE(prompter_.shown().empty()) << "nothing unsaved, nothing asked";
    EXPECT_EQ(form().capture().countdown(), 4);
    EXPECT_EQ(form().capture().runEndSlot(), kStopSlot);
    EXPECT_EQ(form().selectedSlot(), 1);
    EXPECT_EQ(state_.workingReport.devsnid, "SN7");
    EXPECT_EQ(state_.workingReport.xyz[3].Y, 0.0f) << "a new run starts from an empty report";

    form().storeAllClick();
    EXPECT_EQ(form().capture().countdown(), 0) << "a second press cancels";
    EXPECT_EQ(form().selectedSlot(), 1);

    state_.workingReport.unsaved = 1;
    form().storeAllClick();  // the scripted box is closed: abandon
    EXPECT_EQ(prompter_.shownTexts(), QStringList({kDiscardQuestion}));
    EXPECT_EQ(form().capture().countdown(), 0);
    prompter_.answerNext(PromptAnswer::Ok);
    form().storeAllClick();
    EXPECT_EQ(form().capture().countdown(), 4);
}

TEST_F(Capture, CaptureDicomKeepsTheRestOfTheReport) {
    state_.workingReport.devsnid = "SN7";
    state_.workingReport.repdate = "01.12.26";
    state_.workingReport.xyz[10] = {5, 5, 5};
    state_.workingReport.xyz[50] = {6, 6, 6};
    form().storeGreyscalesClick();
    EXPECT_EQ(state_.workingReport.devsnid, "SN7");
    EXPECT_EQ(state_.workingReport.repdate, "01.12.26");
    EXPECT_EQ(state_.workingReport.xyz[10].Y, 5.0f);
    EXPECT_EQ(state_.workingReport.xyz[50].Y, 0.0f);
    EXPECT_EQ(form().selectedSlot(), kFirstDicomSlot);
    EXPECT_EQ(form().capture().runEndSlot(), kPatchSlots);
}

TEST_F(Capture, SavedReportAppearsInTheGridAndLoadsWithItsGrading) {
    EXPECT_EQ(form().StringGrid1->rowCount(), 0) << "only the header without reports";
    form().editDevsnid->setText("SN9");
    form().editDevname->setText("Reference");
    for (int slot = 1; slot < kPatchSlots; ++slot)
        if (isPatchSlot(slot)) state_.workingReport.xyz[slot] = {95.047f, 100.0f, 108.883f};
    state_.workingReport.unsaved = 1;
    form().btnSaveClick();
    EXPECT_EQ(state_.workingReport.unsaved, 0);
    EXPECT_TRUE(form().link().reportDirReloadPending());
    form().Timer2Timer();  // the rescan
    ASSERT_EQ(form().StringGrid1->rowCount(), 1);
    EXPECT_EQ(form().StringGrid1->item(0, 0)->text(), "SN9");
    EXPECT_EQ(form().StringGrid1->item(0, 1)->text(), "Reference");

    form().btnClearClick();
    EXPECT_EQ(form().editDevsnid->text(), "");
    EXPECT_EQ(form().selectedSlot(), kStopSlot);

    form().StringGrid1->setCurrentCell(0, 0);
    form().StringGrid1Click();
    EXPECT_EQ(form().editDevsnid->text(), "SN9");
    EXPECT_EQ(state_.workingReport.xyz[12].Y, 100.0f);
    EXPECT_EQ(form().grygrading->text(), "Grade 1: 100%  2: 100%  3: 100%  Out: 0%");
    EXPECT_FALSE(form().ebucolgrading->text().isEmpty());
    EXPECT_EQ(status(), "(Measurment Stopped)");
    EXPECT_EQ(state_.settings.targetGamma, "2.35") << "the report's gamma became the setting";
}

TEST_F(Capture, AFailedSaveIsReportedAndTheResultsStayUnsaved) {
    state_.settings.reportDir = reports_.filePath("gone");
    state_.workingReport.unsaved = 1;
    form().btnSaveClick();
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shownTexts()[0].contains("VQSREPORT_"));
    EXPECT_EQ(state_.workingReport.unsaved, 1);
}

TEST_F(Capture, GridClicksInSelectionModeLoadNothingAndLeavingEndsTheMode) {
    Tdevices& m = (*state_.monitors)[0];
    m.sourceType = kSourceNetwork;
    m.source = "127.0.0.1";
    m.report.devsnid = "NET";
    form().fillDeviceGrid();
    state_.deviceSelectionMode = true;
    state_.workingReport.unsaved = 1;
    form().StringGrid1->setCurrentCell(0, 0);
    form().StringGrid1Click();
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(state_.workingReport.devsnid, "");
    form().StringGrid1Exit();
    EXPECT_FALSE(state_.deviceSelectionMode);
}

TEST_F(Capture, LoadAlwaysEndsOnTheOverview) {
    const QString path = reports_.filePath("cr_one.txt");
    Tcaldaten r;
    r.devsnid = "FROMFILE";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reportText(r, state_.targets));
    f.close();

    form().btnLoadClick();  // cancelled dialog
    EXPECT_TRUE(state_.measurementStopped);
    EXPECT_EQ(form().selectedSlot(), kStopSlot);
    EXPECT_EQ(state_.workingReport.devsnid, "");

    prompter_.answerNextFile(path);
    form().btnLoadClick();
    EXPECT_EQ(form().editDevsnid->text(), "FROMFILE");
}

TEST_F(Capture, ThePatternWindowShowsTheSelectedPatch) {
    TForm2& pattern = *windows_.form2;
    form().selectSlot(0);
    form().Button2Click();
    EXPECT_TRUE(pattern.isVisible());
    EXPECT_EQ(pattern.patchColour(), QColor(255, 255, 255));
    EXPECT_EQ(pattern.windowTitle(), "Testpattern");
    EXPECT_EQ(pattern.frameGeometry().topLeft(), QPoint(100, 100));

    form().selectSlot(32);
    form().colorsgsgroupClick();
    EXPECT_EQ(pattern.patchColour(), QColor(201, 92, 90));
    EXPECT_EQ(pattern.windowTitle(), "EBU8 - Medium Red");

    pattern.move(150, 120);
    pattern.close();
    EXPECT_EQ(state_.settings.patternGeometry[0], 150);
    EXPECT_EQ(state_.settings.patternGeometry[1], 120);
}

}  // namespace
}  // namespace vqs
