// The main window keeps the operator informed, with the virtual lab's CS-2000: a run's
// progress in the status line, whether each probe position delivers, serial ports to mend,
// the recovery of a report the program did not live to save, and the keys of the commands.

#include "app/application.h"
#include "app/patch_list.h"
#include "data/recovery_file.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <sys/wait.h>
#include <unistd.h>

namespace vqs {
namespace {

constexpr int64_t kTickMs = 100;

// Screenshots for a person to look at, when VQS_SHOTS_DIR names a folder.
void keepShot(QWidget& window, const char* name) {
    const QString folder = qEnvironmentVariable("VQS_SHOTS_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window.grab().save(folder + "/" + name);
}

class OperatorFeedback : public testing::Test {
protected:
    OperatorFeedback() {
        qputenv("VQS_SERIAL_DIR", dir_.filePath("serial").toLocal8Bit());
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toLocal8Bit());
        QDir::setCurrent(dir_.path());
        const QString network = QStringLiteral("NETWORKIP");
        store_.writeText(settingKey(network), settingValueName(network), "127.0.0.1");
    }
    ~OperatorFeedback() override { QDir::setCurrent(previousDirectory_); }

    void open() {
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
        // The window's steady clock runs with the ticks, as it does when Timer1 keeps its pace.
        form().capture().setSteadyClock([this] { return ticks_ * kTickMs; });
        QObject::connect(windows_.form2.get(), &TForm2::patchShown,
                         [this](const QColor& c) { lab_.display().show(c); });
        QCoreApplication::processEvents();  // the recovery offer comes once the window runs
    }

    TForm1& form() { return *windows_.form1; }
    QString status() { return form().valuesStatus->text(); }

    // A box opened inside a tick would hold the measurement until someone clicks: whatever a
    // tick has to tell is shown once it is over.
    void tick() {
        const std::size_t told = prompter_.shown().size();
        form().Timer1Timer();
        if (++ticks_ % 10 == 0) form().Timer2Timer();
        EXPECT_EQ(prompter_.shown().size(), told) << "a message box inside a timer tick";
        QCoreApplication::processEvents();
        QThread::usleep(300);
        QCoreApplication::processEvents();
    }

    void findInstrument() {
        for (int i = 0; i < 100 && form().firstSM->count() == 0; ++i) tick();
        ASSERT_EQ(form().firstSM->count(), 1);
    }

    // Starts "Capture All" with the local test-pattern window, as an operator does.
    void startCaptureAll() {
        findInstrument();
        form().selectSlot(kFirstPrimarySlot);
        form().Button2Click();
        form().editDevsnid->setText("VM-1");
        form().editDevname->setText("Virtual");
        form().storeAllClick();
    }

    void tickUntil(const std::function<bool()>& done, int limit = 3000) {
        for (int i = 0; i < limit && !done(); ++i) tick();
    }

    const QString previousDirectory_ = QDir::currentPath();
    QTemporaryDir dir_;
    sim::VirtualLab lab_;
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store_{dir_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    int64_t ticks_ = 0;
};

// ---- Run progress ---------------------------------------------------------------------------

TEST_F(OperatorFeedback, TheStatusLineFollowsARunFromStartToCancelAndToItsEnd) {
    open();
    lab_.startCs2000(3);
    startCaptureAll();
    tick();
    EXPECT_EQ(status(), "Probe 1 has not delivered yet: Capture All waits at 1 of 39, Red");
    tickUntil([this] { return form().probeState1->text() == "\u25cf live"; }, 200);
    tick();
    EXPECT_TRUE(status().startsWith("Capture All: 1 of 39, Red  \u00b7  0:0"))
        << status().toStdString();
    EXPECT_TRUE(status().contains(" elapsed  \u00b7  ")) << status().toStdString();

    tickUntil([this] { return form().selectedSlot() == 10; });
    tick();
    const QString middle = status();
    EXPECT_TRUE(middle.startsWith("Capture All: 10 of 39, " + state_.targets[10].name + "  \u00b7  "))
        << middle.toStdString();
    EXPECT_TRUE(QRegularExpression(" elapsed  \u00b7  about \\d+:\\d\\d left$").match(middle).hasMatch())
        << middle.toStdString();
    keepShot(form(), "run-progress.png");

    form().storeAllClick();  // a second press cancels where the run stands
    for (int i = 0; i < 30; ++i) tick();
    EXPECT_TRUE(status().startsWith("Capture All cancelled: 9 of 39 patches captured in "))
        << status().toStdString();
    EXPECT_EQ(form().capture().countdown(), 0);

    prompter_.answerNext(PromptAnswer::Ok);  // the nine patches are not saved
    form().storeGreyscalesClick();
    tick();
    EXPECT_TRUE(status().startsWith("Capture DICOM: 1 of 21, DICOM20")) << status().toStdString();
    tickUntil([this] { return form().capture().countdown() == 0; });
    for (int i = 0; i < 20; ++i) tick();
    EXPECT_TRUE(status().startsWith("Capture DICOM finished: 21 patches captured in "))
        << status().toStdString();
    EXPECT_EQ(form().selectedSlot(), kStopSlot);

    form().selectSlot(5);
    form().colorsgsgroupClick();  // the operator moves on: the stopped state speaks again
    EXPECT_EQ(status(), "Values of Grey19 - White (Measurment Stopped)");
}

int secondsLeft(const QString& status) {
    const auto match = QRegularExpression("about (\\d+):(\\d\\d) left$").match(status);
    if (!match.hasMatch()) return -1;
    return match.captured(1).toInt() * 60 + match.captured(2).toInt();
}

TEST_F(OperatorFeedback, TheEstimateOfTheTimeLeftHoldsForTheVirtualCs2000) {
    open();
    lab_.startCs2000(3);
    startCaptureAll();
    for (const int slot : {4, 20}) {
        tickUntil([this, slot] { return form().selectedSlot() == slot; });
        tick();
        const int estimated = secondsLeft(status());
        ASSERT_GT(estimated, 0) << status().toStdString();
        const int64_t from = ticks_;
        tickUntil([this] { return form().capture().countdown() == 0; });
        const double actual = (ticks_ - from) * kTickMs / 1000.0;
        EXPECT_NEAR(estimated, actual, 0.2 * actual) << "at slot " << slot;
        if (slot == 4) {  // once more from the middle of a second run
            prompter_.answerNext(PromptAnswer::Ok);
            form().storeAllClick();
        }
    }
}

// ---- Probe states ---------------------------------------------------------------------------

TEST_F(OperatorFeedback, EachPositionShowsWhetherItsProbeDelivers) {
    open();
    EXPECT_EQ(form().probeState1->text(), "");
    EXPECT_EQ(form().probeState2->text(), "") << "\"none\" in the second list";
    lab_.startCs2000(3);
    findInstrument();
    tick();
    EXPECT_EQ(form().probeState1->text(), "\u25cf waiting");
    form().scndSM->setCurrentIndex(1);  // the same instrument in both positions
    tickUntil([this] { return form().probeState1->text() == "\u25cf live"; }, 200);
    tick();
    EXPECT_EQ(form().probeState1->text(), "\u25cf live");
    EXPECT_EQ(form().probeState2->text(), "\u25cf live");
}

TEST_F(OperatorFeedback, AVanishedProbeIsShownSilentWithinItsInterval) {
    open();
    lab_.startCs2000(3);
    findInstrument();
    // Its own interval: ticks between two measurements of the instrument.
    tickUntil([this] { return lab_.cs2000().completedMeasurements() >= 2; }, 300);
    int measured = lab_.cs2000().completedMeasurements();
    const int64_t from = ticks_;
    tickUntil([&] { return lab_.cs2000().completedMeasurements() >= measured + 3; }, 300);
    const int64_t interval = (ticks_ - from) / 3;
    ASSERT_GT(interval, 0);
    ASSERT_EQ(form().probeState1->text(), "\u25cf live");

    form().scndSM->setCurrentIndex(1);
    lab_.command("fault vanish");
    const int64_t vanished = ticks_;
    tickUntil([this] { return form().probeState1->text().startsWith("\u25cf silent for "); },
              200);
    EXPECT_LE(ticks_ - vanished, interval + 2) << "its interval is " << interval << " ticks";
    EXPECT_TRUE(form().probeState2->text().startsWith("\u25cf silent for "));
    EXPECT_TRUE(form().probeState1->toolTip().contains("its port is gone"))
        << form().probeState1->toolTip().toStdString();
    for (int i = 0; i < 25; ++i) tick();
    EXPECT_TRUE(QRegularExpression("^\u25cf silent for [2-9] s$")
                    .match(form().probeState1->text())
                    .hasMatch())
        << form().probeState1->text().toStdString();
    EXPECT_TRUE(status().startsWith("Probe 1 silent for ")) << status().toStdString();
    keepShot(form(), "probe-vanished.png");
}

// ---- Serial ports to mend -------------------------------------------------------------------

TEST_F(OperatorFeedback, ADanglingComLinkIsToldOnceAfterStartUp) {
    QDir().mkpath(dir_.filePath("serial"));
    const QString gone = dir_.filePath("unplugged/ttyUSB0");
    ASSERT_TRUE(QFile::link(gone, dir_.filePath("serial/COM1")));
    open();
    EXPECT_TRUE(prompter_.shown().empty()) << "nothing holds the start-up up";
    for (int i = 0; i < 60; ++i) tick();  // the search goes on through COM2 .. COM7
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].kind, PromptKind::Warning);
    EXPECT_EQ(prompter_.shown()[0].text,
              "COM1 cannot be opened: " + dir_.filePath("serial/COM1") + " is a link to " + gone +
                  ", which does not exist. Plug the adapter in again, or point the link at the "
                  "device's present name (see /dev/serial/by-id).");
}

// ---- Keys -----------------------------------------------------------------------------------

TEST_F(OperatorFeedback, CommandKeysPressTheirButtonsFromEitherWindow) {
    open();
    lab_.startCs2000(3);
    findInstrument();
    tickUntil([this] { return form().probeState1->text() == "\u25cf live"; }, 200);
    form().show();
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    EXPECT_EQ(form().btnStore->toolTip(), "Speichert den aktuellen Meßwert (F5)");
    EXPECT_EQ(form().btnSave->toolTip(), "Speichert alle Meßwerte in eine Datei. (Ctrl+S)");
    for (QPushButton* b : {form().storeAll, form().storeGreyscales, form().Button2, form().btnPrint})
        EXPECT_TRUE(b->toolTip().contains(QRegularExpression("\\((F\\d|Ctrl\\+P)\\)$")))
            << b->toolTip().toStdString();

    QTest::keyClick(&form(), Qt::Key_F1);
    EXPECT_TRUE(prompter_.shown().empty()) << "help stays as it was";

    QTest::keyClick(&form(), Qt::Key_F5);  // Capture of "Start Measurment" moves on to Red
    EXPECT_EQ(form().selectedSlot(), kFirstPrimarySlot);
    QTest::keyClick(&form(), Qt::Key_F6);
    EXPECT_NE(form().capture().countdown(), 0) << "Capture All started";
    QTest::keyClick(&form(), Qt::Key_F6);
    EXPECT_EQ(form().capture().countdown(), 0) << "and cancelled";

    QTest::keyClick(&form(), Qt::Key_F8);  // Show Pattern: the operator is at the monitor now
    QWidget& pattern = *windows_.form2;
    ASSERT_TRUE(pattern.isVisible());
    QApplication::setActiveWindow(&pattern);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pattern));
    QTest::keyClick(&pattern, Qt::Key_F7);
    EXPECT_NE(form().capture().countdown(), 0) << "Capture DICOM from the test-pattern window";
    QTest::keyClick(&pattern, Qt::Key_F7);

    int presented = 0;
    form().setReportPresenter([&presented](const ReportDocument&, const QString&) { ++presented; });
    QTest::keyClick(&pattern, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(presented, 1);
    QTest::keyClick(&pattern, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(QDir(dir_.path()).entryList({"VQSREPORT_*.txt"}).size(), 1);
}

// ---- Recovery -------------------------------------------------------------------------------

class Recovery : public OperatorFeedback {
protected:
    RecoveryFile file() const { return RecoveryFile(dir_.filePath("data/lumiquest")); }

    // What a killed program leaves: a recovery file whose writer is gone.
    void leaveBehind(int patches) {
        Tcaldaten report;
        report.devsnid = "VM-9";
        report.devname = "Grading B";
        report.repgamma = "2.4";
        for (int slot = 1; slot <= patches; ++slot) report.xyz[slot] = {10.0f, 20.0f + slot, 5.0f};
        const pid_t child = ::fork();
        if (child == 0) ::_exit(0);
        RecoveryOwner owner = thisProcess();
        owner.pid = child;
        ::waitpid(child, nullptr, 0);
        QDir().mkpath(dir_.filePath("data/lumiquest"));
        QFile out(file().path());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(recoveryText(report, state_.targets, owner));
    }
};

TEST_F(Recovery, AReportLeftBehindIsOfferedAndRestored) {
    leaveBehind(7);
    prompter_.answerNext(PromptAnswer::Yes);
    open();
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].text,
              "Lumiquest ended before the report of \"Grading B\" (SN/ID VM-9) was saved. "
              "Restore its 7 captured patches?");
    EXPECT_EQ(prompter_.shown()[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(form().editDevname->text(), "Grading B");
    EXPECT_EQ(form().editDevsnid->text(), "VM-9");
    EXPECT_EQ(form().targetGamma->currentText(), "2.4");
    EXPECT_FLOAT_EQ(state_.workingReport.xyz[7].Y, 27.0f);
    EXPECT_EQ(state_.workingReport.unsaved, 1) << "restored is not saved";
    EXPECT_EQ(form().selectedSlot(), kStopSlot);
    EXPECT_EQ(status(), "Restored 7 captured patches of \"Grading B\" (SN/ID VM-9), not saved yet");
    EXPECT_TRUE(QFile::exists(file().path())) << "kept until the report is saved";

    form().btnSaveClick();
    EXPECT_FALSE(QFile::exists(file().path())) << "a saved report needs no recovery";
    EXPECT_TRUE(status().startsWith("The report was saved as " + QDir::currentPath()))
        << "the restored text is stale once saved: " << status().toStdString();
    EXPECT_EQ(prompter_.shown().size(), 1u) << "confirmed without a box";
}

TEST_F(Recovery, ARecoveryFileThatCannotBeWrittenIsToldOnceAndTheRunGoesOn) {
    QFile blocker(dir_.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    open();
    form().capture().setRecoveryFolder(blocker.fileName() + "/lumiquest");
    lab_.startCs2000(3);
    startCaptureAll();
    tickUntil([this] { return form().selectedSlot() == 5; });
    EXPECT_EQ(form().selectedSlot(), 5) << "the run did not wait for the message";
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].kind, PromptKind::Warning);
    EXPECT_TRUE(
        prompter_.shown()[0].text.startsWith("The captured patches cannot be kept for "
                                             "recovery in "))
        << prompter_.shown()[0].text.toStdString();
}

TEST_F(Recovery, DeclinedIsDiscarded) {
    leaveBehind(3);
    prompter_.answerNext(PromptAnswer::No);
    open();
    EXPECT_EQ(prompter_.shown().size(), 1u);
    EXPECT_FALSE(QFile::exists(file().path()));
    EXPECT_EQ(state_.workingReport.xyz[1].Y, 0.0f);
    EXPECT_EQ(form().editDevname->text(), "");
}

TEST_F(Recovery, EveryCaptureKeepsTheReportAndADiscardTakesItAway) {
    open();
    lab_.startCs2000(3);
    startCaptureAll();
    tickUntil([this] { return form().selectedSlot() == 4; });
    QFile kept(file().path());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const auto recovered = parseRecoveryText(kept.readAll(), state_.targets);
    ASSERT_TRUE(recovered);
    EXPECT_EQ(recovered->capturedPatches, 3);
    EXPECT_EQ(recovered->report.devname, "Virtual");
    EXPECT_FALSE(file().leftBehind(state_.targets)) << "never offered while its writer runs";

    prompter_.answerNext(PromptAnswer::Ok);  // "Captured Data not saved! Continoue anyway?"
    form().btnClearClick();
    EXPECT_FALSE(QFile::exists(file().path()));
}

}  // namespace
}  // namespace vqs
