// A whole measurement with the virtual lab: the test-pattern window shows each patch, the
// virtual display shows what the window shows, the virtual CS-2000 measures it, the runs
// capture everything, the report is saved, listed again, loaded and graded.

#include "app/application.h"
#include "app/patch_list.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace vqs {
namespace {

class EndToEnd : public testing::Test {
protected:
    EndToEnd() {
        qputenv("VQS_SERIAL_DIR", dir_.filePath("serial").toLocal8Bit());
        QDir::setCurrent(dir_.path());
        lab_.startCs2000(3);
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
        QObject::connect(windows_.form2.get(), &TForm2::patchShown,
                         [this](const QColor& c) { lab_.display().show(c); });
    }
    ~EndToEnd() override { QDir::setCurrent(previousDirectory_); }

    TForm1& form() { return *windows_.form1; }

    void tick() {
        form().Timer1Timer();
        if (++ticks_ % 10 == 0) form().Timer2Timer();
        QCoreApplication::processEvents();
        QThread::usleep(300);
        QCoreApplication::processEvents();
    }

    void findInstrument() {
        for (int i = 0; i < 100 && form().firstSM->count() == 0; ++i) tick();
        ASSERT_EQ(form().firstSM->count(), 1);
    }

    // Runs the automatic capture to its end; the ticks at which each slot was captured.
    std::map<int, int> runToEnd(int limit = 6000) {
        std::map<int, int> capturedAt;
        for (int i = 0; i < limit && form().capture().countdown() != 0; ++i) {
            const int before = form().selectedSlot();
            tick();
            if (form().selectedSlot() != before) capturedAt[before] = ticks_;
        }
        return capturedAt;
    }

    static int smallestGap(const std::map<int, int>& capturedAt) {
        int gap = INT_MAX, previous = -1;
        for (const auto& [slot, at] : capturedAt) {
            if (previous >= 0) gap = std::min(gap, std::abs(at - previous));
            previous = at;
        }
        return gap;
    }

    // Measures everything, saves, lets the rescan list the file and loads it from the grid.
    void measureSaveAndLoad() {
        findInstrument();
        form().selectSlot(kFirstPrimarySlot);
        form().Button2Click();
        ASSERT_EQ(lab_.display().shown(), QColor(255, 0, 0)) << "the display shows the window";

        form().editDevsnid->setText("VM-1");
        form().editDevname->setText("Virtual");
        form().storeAllClick();
        const auto all = runToEnd();
        EXPECT_EQ(all.size(), 39u);
        EXPECT_GE(smallestGap(all), 15) << "three countdown moves, five ticks apart";
        EXPECT_EQ(form().selectedSlot(), kStopSlot);
        EXPECT_TRUE(state_.measurementStopped);

        prompter_.answerNext(PromptAnswer::Ok);  // the first run's results are not saved yet
        form().storeGreyscalesClick();
        const auto dicom = runToEnd();
        EXPECT_EQ(dicom.size(), 21u);
        EXPECT_TRUE(state_.measurementStopped);

        form().btnSaveClick();
        for (int i = 0; i < 10; ++i) tick();
        ASSERT_EQ(form().StringGrid1->rowCount(), 1);
        form().StringGrid1->setCurrentCell(0, 0);
        form().StringGrid1Click();
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
    int ticks_ = 0;
};

TEST_F(EndToEnd, AnExactDisplayGradesPerfectly) {
    measureSaveAndLoad();
    EXPECT_EQ(form().editDevsnid->text(), "VM-1");
    const XyzTriple white = state_.workingReport.xyz[5];
    EXPECT_NEAR(white.Y, lab_.display().config().whiteLuminance, 0.01);
    const XyzTriple dicomWhite = state_.workingReport.xyz[42];
    EXPECT_NEAR(dicomWhite.Y, white.Y, 0.01);
    EXPECT_EQ(form().grygrading->text(), "Grade 1: 100%  2: 100%  3: 100%  Out: 0%");
    EXPECT_EQ(form().ebucolgrading->text().left(4), "In: ");
    EXPECT_EQ(state_.workingReport.unsaved, 0);
}

TEST_F(EndToEnd, AShiftedWhitePointLeavesGradeOne) {
    // u' 0.0018 above D65: outside the grade-1 ellipse (half width 0.00144), inside grade 2
    // (0.00222), so every grey of the scale is grade 2 and grade 3.
    lab_.command("white 0.31489 0.32835");
    measureSaveAndLoad();
    EXPECT_EQ(form().grygrading->text(), "Grade 1: 0%  2: 100%  3: 100%  Out: 0%");
}

}  // namespace
}  // namespace vqs
