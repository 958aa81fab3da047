// The main window with the virtual CS-2000: found by the search, listed, measured, released.

#include "app/application.h"
#include "colour/fixed_text.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace vqs {
namespace {

class Cs2000OnTheMainWindow : public testing::Test {
protected:
    Cs2000OnTheMainWindow() {
        qputenv("VQS_SERIAL_DIR", dir_.filePath("serial").toLocal8Bit());
        lab_.startCs2000(2);
        lab_.display().show(QColor(235, 235, 235));
        windows_ = createWindows(state_, services_);
        // The test steps the timers itself.
        form().Timer1->stop();
        form().Timer2->stop();
    }

    TForm1& form() { return *windows_.form1; }

    void runFor(int ticks) {
        for (int i = 1; i <= ticks; ++i) {
            form().Timer1Timer();
            if (i % 10 == 0) form().Timer2Timer();
            QCoreApplication::processEvents();
            QThread::msleep(1);
            QCoreApplication::processEvents();
        }
    }

    QString shown(const char* label) { return form().findChild<QLabel*>(label)->text(); }

    QTemporaryDir dir_;
    sim::VirtualLab lab_;
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store_{dir_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
};

TEST_F(Cs2000OnTheMainWindow, IsFoundListedAndMeasured) {
    // A probe the operator picked before the instrument answered.
    Tsmlist& other = (*state_.probes)[0];
    other.type = kProbeCs200;
    other.displayName = "CS200 - SN1";
    form().fillProbeSelectors();
    form().scndSM->setCurrentIndex(1);

    runFor(80);
    ASSERT_EQ(form().firstSM->count(), 2);
    EXPECT_EQ(form().firstSM->itemText(1), "KM CS-2000 - SN100012345");
    EXPECT_EQ(form().scndSM->itemText(2), "KM CS-2000 - SN100012345");
    EXPECT_EQ(form().scndSM->currentIndex(), 0) << "adding the instrument resets both lists";

    form().firstSM->setCurrentIndex(1);
    runFor(40);
    EXPECT_EQ(shown("_XYZ_Yvalue"), "100.0");
    EXPECT_EQ(shown("_xyCCT_xvalue"), "0.3127");
    lab_.display().show(QColor(128, 128, 128));
    runFor(40);
    EXPECT_EQ(shown("_XYZ_Yvalue"), fixedText(lab_.display().tristimulus().Y, 5, 1))
        << "the readout follows the display";
}

TEST_F(Cs2000OnTheMainWindow, AVanishedInstrumentIsShownSilentNotCapturedAndFoundAgain) {
    runFor(80);
    ASSERT_EQ(form().firstSM->count(), 1);
    runFor(40);
    EXPECT_EQ(form().valuesStatus->text(), "");
    form().selectSlot(32);  // EBU8 - Medium Red
    form().btnStoreClick();
    ASSERT_EQ(state_.workingReport.xyz[32].Y, state_.probe1.Y) << "a live reading is captured";
    ASSERT_EQ(form().selectedSlot(), 33);

    lab_.cs2000().setFault(sim::Cs2000Fault::Vanish);
    runFor(80);
    EXPECT_TRUE(form().valuesStatus->text().startsWith("Probe 1 silent for"))
        << form().valuesStatus->text().toStdString();
    form().selectSlot(1);  // Red
    form().btnStoreClick();
    EXPECT_EQ(state_.workingReport.xyz[1].Y, 0.0f) << "the reading taken before is not stored";
    EXPECT_EQ(form().selectedSlot(), 1);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shownTexts()[0].contains("nothing was captured"));

    // The adapter is plugged back in: the same instrument, the same entry.
    lab_.cs2000().setFault(sim::Cs2000Fault::None);
    ASSERT_TRUE(lab_.startCs2000(2));
    runFor(120);
    EXPECT_EQ(form().firstSM->count(), 1);
    EXPECT_EQ((*state_.probes)[1].type, kProbeFree);
    EXPECT_EQ(form().valuesStatus->text(), "") << "live again";
}

TEST_F(Cs2000OnTheMainWindow, ShutdownLeavesRemoteMode) {
    runFor(80);
    ASSERT_EQ(form().firstSM->count(), 1);
    runFor(20);
    form().close();
    runFor(1);
    EXPECT_EQ(lab_.cs2000().commands().last(), "RMTS,0");
}

}  // namespace
}  // namespace vqs
