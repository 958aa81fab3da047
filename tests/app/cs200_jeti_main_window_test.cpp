// The main window with every library probe of the virtual lab: the QSP720, JETI and CS-200
// stand-ins are listed in the order of their drivers, the CS-200 and the JETI measure the
// display in the two positions without the window ever waiting on them, and the JETI is closed
// at shutdown.

#include "app/application.h"
#include "data/recovery_file.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>

namespace vqs {
namespace {

TEST(LibraryProbesOnTheMainWindow, AreListedInDriverOrderMeasuredAndClosed) {
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
    sim::VirtualLab lab;
    ASSERT_TRUE(lab.startCs200());
    ASSERT_TRUE(lab.startJeti());
    ASSERT_TRUE(lab.startQsp720());
    lab.cs200StandIn().setTimeScale(10.0);
    lab.jetiStandIn().setTimeScale(10.0);
    lab.display().show(QColor(235, 235, 235));
    IniSettingsStore store(dir.filePath("VQS1.0.ini"), kSettingsBaseKey);
    const QString network = QStringLiteral("NETWORKIP");
    ASSERT_TRUE(store.writeText(settingKey(network), settingValueName(network), "127.0.0.1"));
    AppState state;
    test::ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    AppServices services{prompter, clock, store};
    Windows windows = createWindows(state, services);
    TForm1& form = *windows.form1;
    form.Timer1->stop();
    form.Timer2->stop();

    const QStringList expected = {"NV QSP720 - SNSIM72001", "JETI SPECBOS 1211 - SN1211001",
                                  "CS200 - SNSIM20001"};
    ASSERT_EQ(form.firstSM->count(), 3);
    ASSERT_EQ(form.scndSM->count(), 4);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form.firstSM->itemText(i), expected[i]);
        EXPECT_EQ(form.scndSM->itemText(i + 1), expected[i]);
    }

    form.firstSM->setCurrentIndex(2);
    form.firstSMChange();
    EXPECT_TRUE(form.firstSMRange->isEnabled());
    EXPECT_EQ(form.firstSMRange->currentText(), "Normal");
    EXPECT_FALSE(form.firstSMdark->isEnabled());
    form.scndSM->setCurrentIndex(2);
    form.scndSMChange();
    EXPECT_FALSE(form.scndSMRange->isEnabled());

    // Ticks until both positions have a reading; the CS-200's second of settling and the JETI's
    // slow measurement pass between ticks.
    QElapsedTimer tick;
    qint64 slowest = 0;
    int ticks = 0, firstCs200 = 0, firstJeti = 0;
    while ((firstCs200 == 0 || firstJeti == 0) && ticks < 400) {
        tick.start();
        form.Timer1Timer();
        slowest = std::max(slowest, tick.elapsed());
        ++ticks;
        if (firstCs200 == 0 && state.probe1.Y > 0) firstCs200 = ticks;
        if (firstJeti == 0 && state.probe2.spectrum.count == 401) firstJeti = ticks;
        QThread::msleep(10);
    }
    EXPECT_GT(firstCs200, 1);
    EXPECT_GT(firstJeti, 50) << "the JETI is first asked some five seconds of ticks later";
    EXPECT_LT(slowest, 500) << "a tick waited on an instrument";
    const double white = lab.display().tristimulus().Y;
    EXPECT_NEAR(state.probe1.Y, white, white * 0.01);
    EXPECT_NEAR(state.probe2.Y, white, white * 0.01);
    EXPECT_NEAR(state.probe2.x, state.probe1.x, 0.003) << "both probes agree on the white";
    EXPECT_NEAR(state.probe2.y, state.probe1.y, 0.003);

    form.close();
    EXPECT_TRUE(form.stepTrace().contains("closeJeti"));
    EXPECT_EQ((*state.probes)[1].type, kProbeFree);
    EXPECT_EQ((*state.probes)[2].type, kProbeCs200) << "the CS-200 has no close";
}

// The marks a start left behind when it ended inside the makers' libraries: that start's
// libraries are left out once, the operator is told after start-up which files they are and
// where, and the start after lists the probes again.
TEST(LibraryProbesOnTheMainWindow, ALibraryThatEndedTheLastStartIsLeftOutOnceAndNamed) {
    QTemporaryDir dir;
    qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit());
    sim::VirtualLab lab;
    ASSERT_TRUE(lab.startCs200());
    ASSERT_TRUE(lab.startJeti());
    ASSERT_TRUE(lab.startQsp720());
    const QDir vendor(qEnvironmentVariable(kProbeLibraryDirVariable));
    const QDir marks(defaultDataFolder());
    ASSERT_TRUE(marks.mkpath("."));
    const QStringList files = {"libqsp72XP.so", "libjeti_radio_ex.so", "libkmsecs200.so"};
    for (const QString& file : files) {
        QFile mark(marks.filePath(file + kStartMarkSuffix));
        ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
        mark.write(vendor.filePath(file).toUtf8() + '\n');
    }
    IniSettingsStore store(dir.filePath("VQS1.0.ini"), kSettingsBaseKey);
    AppState state;
    test::ScriptedPrompter prompter;
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    AppServices services{prompter, clock, store};
    {
        Windows windows = createWindows(state, services);
        windows.form1->Timer1->stop();
        windows.form1->Timer2->stop();
        EXPECT_EQ(windows.form1->firstSM->count(), 0);
        EXPECT_TRUE(prompter.shown().empty()) << "told during the start-up";
        QCoreApplication::processEvents();
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_EQ(prompter.shown()[0].kind, PromptKind::Warning);
        const QString told = prompter.shownTexts()[0];
        for (const QString& file : files)
            EXPECT_TRUE(told.contains("the file " + file + " in the folder " +
                                      QDir::toNativeSeparators(vendor.absolutePath())))
                << told.toStdString();
        for (const char* probe : {"QSP720", "JETI specbos", "CS-200"})
            EXPECT_TRUE(told.contains(QStringLiteral("no %1 is listed").arg(probe)))
                << told.toStdString();
        windows.form1->firstSMMouseEnter();
        EXPECT_TRUE(windows.form1->commonmsg->text().startsWith(
            "libqsp72XP.so crashed the last start: no QSP720 this time"));
        windows.form1->close();
    }
    for (const QString& file : files)
        EXPECT_FALSE(QFile::exists(marks.filePath(file + kStartMarkSuffix))) << file.toStdString();

    AppState again;
    Windows windows = createWindows(again, services);
    windows.form1->Timer1->stop();
    windows.form1->Timer2->stop();
    EXPECT_EQ(windows.form1->firstSM->count(), 3) << "the start after tries them again";
    for (const QString& file : files)
        EXPECT_FALSE(QFile::exists(marks.filePath(file + kStartMarkSuffix))) << file.toStdString();
    windows.form1->close();
}

}  // namespace
}  // namespace vqs
