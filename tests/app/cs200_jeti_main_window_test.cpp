// The main window with every library probe of the virtual lab: the QSP720, JETI and CS-200
// stand-ins are listed in the order of their drivers, the CS-200 and the JETI measure the
// display in the two positions without the window ever waiting on them, and the JETI is closed
// at shutdown.

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QElapsedTimer>
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

}  // namespace
}  // namespace vqs
