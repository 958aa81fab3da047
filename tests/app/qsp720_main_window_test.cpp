// The probe controls of the main window for a spectrometer: the range and CalScan controls per
// probe type, the calibration scans asked for, the calibration file chosen by double-click, the
// status line; and the stand-in QSP720 found, measured and closed by the window.

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "probes/qsp720_cal_file.h"
#include "sim/virtual_lab.h"
#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

namespace vqs {
namespace {

class ProbeControls : public testing::Test {
  protected:
    ProbeControls() {
        qputenv("VQS_SERIAL_DIR", dir_.filePath("serial").toLocal8Bit());
        qunsetenv("VQS_PROBE_LIBRARY_DIR");  // the rows are the test's own
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
    }

    TForm1& form() { return *windows_.form1; }
    Tsmlist& row(int r) { return (*state_.probes)[r]; }

    // Rows of the given types, listed in both selectors.
    void listProbes(std::initializer_list<int32_t> types) {
        int r = 0;
        for (const int32_t type : types) {
            row(r).type = type;
            row(r).displayName = QStringLiteral("probe %1").arg(r);
            ++r;
        }
        form().fillProbeSelectors();
    }

    QTemporaryDir dir_;
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store_{dir_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
};

struct ControlsCase {
    const char* what;
    int32_t type;
    bool calScan, range;
    const char* rangeShown;
};

class ProbeControlsPerType : public ProbeControls,
                             public testing::WithParamInterface<ControlsCase> {};

TEST_P(ProbeControlsPerType, FollowTheSelectedProbe) {
    const ControlsCase& c = GetParam();
    listProbes({kProbeCs2000, c.type});
    form().firstSM->setCurrentIndex(1);
    form().firstSMChange();
    form().scndSM->setCurrentIndex(2);
    form().scndSMChange();
    EXPECT_EQ(form().firstSMdark->isEnabled(), c.calScan);
    EXPECT_EQ(form().firstSMRange->isEnabled(), c.range);
    EXPECT_EQ(form().firstSMRange->currentText(), c.rangeShown);
    EXPECT_EQ(form().secondSMDark->isEnabled(), c.calScan);
    EXPECT_EQ(form().scndSMRange->isEnabled(), c.range);
    EXPECT_EQ(row(1).userRange, 0) << "showing a range does not choose it";
}

INSTANTIATE_TEST_SUITE_P(Qsp720, ProbeControlsPerType,
                         testing::Values(ControlsCase{"QSP720", kProbeQsp720, true, true, "Normal"},
                                         ControlsCase{"CS200", kProbeCs200, false, true, "Normal"},
                                         ControlsCase{"JETI", kProbeJeti, false, false, "Auto"},
                                         ControlsCase{"CS2000", kProbeCs2000, false, false,
                                                      "Auto"}),
                         test::CaseName{});

TEST_F(ProbeControls, ARangeChoiceReachesTheProbeAndClearsItsHold) {
    listProbes({kProbeQsp720, kProbeQsp720});
    row(1).holdCount = 3;
    form().scndSM->setCurrentIndex(2);
    form().scndSMRange->setCurrentIndex(3);  // "Mediuml"
    form().scndSMRangeChange();
    EXPECT_EQ(row(1).userRange, 3);
    EXPECT_EQ(row(1).holdCount, 0);
    form().scndSM->setCurrentIndex(0);  // "none"
    form().scndSMRange->setCurrentIndex(4);
    form().scndSMRangeChange();
    EXPECT_EQ(row(1).userRange, 3);
}

struct CalScanCase {
    const char* what;
    float lastY;
    PromptAnswer answer;
    int step;
    const char* asked;
};

class CalScanRequest : public ProbeControls, public testing::WithParamInterface<CalScanCase> {};

TEST_P(CalScanRequest, AsksForTheScanTheLightAllows) {
    const CalScanCase& c = GetParam();
    listProbes({kProbeQsp720});
    row(0).lastY = c.lastY;
    prompter_.answerNext(c.answer);
    form().firstSMdarkClick();
    EXPECT_EQ(form().probes().qsp720().calScanStep(), c.step);
    ASSERT_EQ(prompter_.shownTexts().size(), 1);
    EXPECT_TRUE(prompter_.shownTexts()[0].startsWith(c.asked))
        << prompter_.shownTexts()[0].toStdString();
    EXPECT_EQ(prompter_.shown()[0].buttons, PromptButtons::OkCancel);
}

INSTANTIATE_TEST_SUITE_P(
    Qsp720, CalScanRequest,
    testing::Values(
        CalScanCase{"lit probe brightness scan", 25.0f, PromptAnswer::Ok, 19,
                    "For Dark Scan please ensure the probe is darkend. Now Brightness Scan"},
        CalScanCase{"dark probe dark scan", 5.0f, PromptAnswer::Ok, 9,
                    "For Dark Scan please ensure the probe is darkend. Press OK if ready for dark"},
        CalScanCase{"exactly 20 counts as dark", 20.0f, PromptAnswer::Ok, 9,
                    "For Dark Scan please ensure the probe is darkend. Press OK if ready for dark"},
        CalScanCase{"cancelled", 25.0f, PromptAnswer::Cancel, 0, "For Dark Scan"}),
    test::CaseName{});

TEST_F(ProbeControls, AJetiNeedsNoDarkScan) {
    listProbes({kProbeCs2000, kProbeJeti});
    form().scndSM->setCurrentIndex(2);
    form().secondSMDarkClick();
    EXPECT_EQ(prompter_.shownTexts(), QStringList{"No Dark Scan required for this Device."});
    form().scndSM->setCurrentIndex(1);
    form().secondSMDarkClick();  // a CS-2000: nothing
    EXPECT_EQ(prompter_.shownTexts().size(), 1);
}

TEST_F(ProbeControls, ADoubleClickChoosesTheCalibrationFile) {
    listProbes({kProbeCs2000, kProbeQsp720});
    const QString file = sim::VirtualLab::qsp720CalFile();
    prompter_.answerNextFile(file);
    form().scndSM->setCurrentIndex(0);  // "none": nothing
    form().scndSMDblClick();
    form().firstSM->setCurrentIndex(0);  // a CS-2000: nothing
    form().firstSMDblClick();
    EXPECT_TRUE(row(1).calFilePath.isEmpty());

    form().firstSM->setCurrentIndex(1);
    form().firstSMDblClick();
    EXPECT_EQ(row(1).calFilePath, file);
    EXPECT_EQ(row(1).calStatus, file);
    EXPECT_GT(row(1).radCalCor, 1.0f) << "the file was read";

    prompter_.answerNextFile(dir_.filePath("missing.cal"));
    form().firstSMDblClick();
    EXPECT_EQ(row(1).calFilePath, file) << "a file that does not exist changes nothing";
}

TEST_F(ProbeControls, ACalibrationFileOver16MiBIsRefusedWithAMessage) {
    listProbes({kProbeQsp720});
    QFile file(dir_.filePath("huge.cal"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RADCALCOR = 2\n" + QByteArray(kQsp720CalFileMaxBytes, ' '));
    file.close();
    prompter_.answerNextFile(file.fileName());
    form().firstSMDblClick();
    EXPECT_FLOAT_EQ(row(0).radCalCor, 1.0f) << "no part of the file is used";
    EXPECT_EQ(row(0).calStatus, kCalFileTooLargeStatus + file.fileName());
    ASSERT_EQ(prompter_.shown().size(), 2) << "the file dialog, then the refusal";
    EXPECT_EQ(prompter_.shown()[1].kind, PromptKind::Warning);
    EXPECT_TRUE(prompter_.shownTexts()[1].contains("more than 16 MiB"))
        << prompter_.shownTexts()[1].toStdString();
}

TEST_F(ProbeControls, TheStatusLineShowsTheProbesCalibrationWhileTheMouseIsOnTheList) {
    listProbes({kProbeQsp720});
    row(0).calStatus = kNoCalFileStatus;
    row(0).calStatusColour = kCalStatusRed;
    form().firstSMMouseEnter();
    EXPECT_EQ(form().commonmsg->text(), "NO CAL FILE");
    EXPECT_EQ(form().commonmsg->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    form().commonmsg->setText("something else");
    form().firstSMMouseLeave();
    EXPECT_EQ(form().commonmsg->text(), "");
    EXPECT_EQ(form().commonmsg->palette().color(QPalette::WindowText), QColor(Qt::white));
    form().scndSM->setCurrentIndex(0);
    form().scndSMMouseEnter();
    EXPECT_EQ(form().commonmsg->text(), "") << "\"none\" has no status";
}

// The window with the virtual lab's stand-in spectrometer, its calibration file remembered.
TEST(Qsp720OnTheMainWindow, IsFoundMeasuredAndClosed) {
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
    sim::VirtualLab lab;
    ASSERT_TRUE(lab.startQsp720());
    lab.setQsp720TimeScale(20.0);
    lab.display().show(QColor(235, 235, 235));
    IniSettingsStore store(dir.filePath("VQS1.0.ini"), kSettingsBaseKey);
    const QString calPath = QStringLiteral("PROBE_1_SIM72001_CALFILE");
    ASSERT_TRUE(store.writeText(settingKey(calPath), settingValueName(calPath),
                                sim::VirtualLab::qsp720CalFile()));
    AppState state;
    test::ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    AppServices services{prompter, clock, store};
    Windows windows = createWindows(state, services);
    TForm1& form = *windows.form1;
    form.Timer1->stop();
    form.Timer2->stop();

    ASSERT_EQ(form.firstSM->count(), 1);
    EXPECT_EQ(form.firstSM->itemText(0), "NV QSP720 - SNSIM72001");
    EXPECT_TRUE(form.firstSMdark->isEnabled());
    EXPECT_EQ((*state.probes)[0].calStatus, sim::VirtualLab::qsp720CalFile());

    for (int tick = 0; tick < 300 && state.probe1.spectrum.count == 0; ++tick) {
        form.Timer1Timer();
        QThread::msleep(2);
    }
    EXPECT_GT(state.probe1.spectrum.count, 600);
    EXPECT_TRUE(state.probe1.spectrum.label.endsWith("ms"));

    form.close();
    EXPECT_TRUE(form.stepTrace().contains("closeQsp720"));
    EXPECT_EQ((*state.probes)[0].type, kProbeFree);
    EXPECT_EQ(form.probes().qsp720().libraryState(), kQsp720LibraryClosed);
}

// A window started with a QSP720 library that lacks SWDscanLV: no probe from it, and the status
// line of the probe lists says which file lacks what, whole and in red; standard error too.
TEST(Qsp720OnTheMainWindow, ALibraryWithoutAllItsExportsIsNamedInTheStatusLine) {
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
    ASSERT_TRUE(QFile::link(QDir(VQS_SIM_LACKING_SCAN_DIR).filePath("libqsp72XP.so"),
                            dir.filePath("libqsp72XP.so")));
    const QByteArray saved = qgetenv(kProbeLibraryDirVariable);
    qputenv(kProbeLibraryDirVariable, dir.path().toLocal8Bit());
    AppState state;
    test::ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store(dir.filePath("VQS1.0.ini"), kSettingsBaseKey);
    AppServices services{prompter, clock, store};
    testing::internal::CaptureStderr();
    Windows windows = createWindows(state, services);
    const std::string said = testing::internal::GetCapturedStderr();
    qputenv(kProbeLibraryDirVariable, saved);
    TForm1& form = *windows.form1;
    form.Timer1->stop();
    form.Timer2->stop();

    EXPECT_EQ(form.firstSM->count(), 0);
    EXPECT_NE(said.find("lacks the export SWDscanLV"), std::string::npos) << said;
    for (auto enter : {&TForm1::firstSMMouseEnter, &TForm1::scndSMMouseEnter}) {
        (form.*enter)();
        const QString shown = form.commonmsg->text();
        EXPECT_EQ(shown, "libqsp72XP.so lacks SWDscanLV: no QSP720");
        EXPECT_EQ(form.commonmsg->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_LE(form.commonmsg->fontMetrics().horizontalAdvance(shown), form.commonmsg->width())
            << "the operator reads it whole";
        form.firstSMMouseLeave();
    }
    form.close();
}

// The dark scan in the window, the probe covered or open: the scan ends inside a measurement
// tick, and what it has to say comes after that tick. Light in a dark scan is kept only when
// the operator takes it.
struct WindowDarkScanCase {
    const char* what;
    bool covered;
    PromptAnswer answer;
    const char* said;  // the start of what the operator is shown
    bool kept;         // the new dark data are in use and stored
};

class Qsp720WindowDarkScan : public testing::TestWithParam<WindowDarkScanCase> {};

TEST_P(Qsp720WindowDarkScan, SaysWhatItFoundAfterTheTick) {
    const WindowDarkScanCase& c = GetParam();
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
    sim::VirtualLab lab;
    ASSERT_TRUE(lab.startQsp720());
    lab.setQsp720TimeScale(50.0);
    lab.display().show(QColor(100, 100, 100));
    lab.coverQsp720(c.covered);
    IniSettingsStore store(dir.filePath("VQS1.0.ini"), kSettingsBaseKey);
    AppState state;
    test::ScriptedPrompter prompter;
    prompter.answerNext(c.answer);
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    AppServices services{prompter, clock, store};
    Windows windows = createWindows(state, services);
    TForm1& form = *windows.form1;
    form.Timer1->stop();
    form.Timer2->stop();
    ASSERT_EQ(form.firstSM->itemText(0), "NV QSP720 - SNSIM72001");

    form.probes().qsp720().setCalScanStep(kDarkScanStart);
    for (int tick = 0; tick < 3000 && form.probes().qsp720().calScanStep() != 0; ++tick) {
        form.Timer1Timer();
        QThread::usleep(500);
    }
    ASSERT_EQ(form.probes().qsp720().calScanStep(), 0);
    EXPECT_TRUE(prompter.shown().empty()) << "a box opened inside the tick";
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_TRUE(prompter.shownTexts()[0].startsWith(QLatin1String(c.said)))
        << prompter.shownTexts()[0].toStdString();

    const Tsmlist& probe = (*state.probes)[0];
    EXPECT_EQ(probe.darkData[3][100] != 0.0f, c.kept);
    std::array<std::array<float, kProbeSamples>, 4> stored{};
    std::array<float, 6> factors{};
    loadProbeScans(store, {kProbeQsp720, probe.serialNumber},
                   {stored[0], stored[1], stored[2], stored[3]}, factors);
    EXPECT_EQ(stored[3][100] != 0.0f, c.kept);
    form.close();
}

INSTANTIATE_TEST_SUITE_P(
    Qsp720, Qsp720WindowDarkScan,
    testing::Values(WindowDarkScanCase{"covered", true, PromptAnswer::Ok, "Scan complete!", true},
                    WindowDarkScanCase{"open and kept out", false, PromptAnswer::No,
                                       "The dark scan saw light", false},
                    WindowDarkScanCase{"open and taken", false, PromptAnswer::Yes,
                                       "The dark scan saw light", true}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
