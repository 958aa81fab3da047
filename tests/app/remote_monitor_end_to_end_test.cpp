// A whole Capture All with the patches shown by a virtual network monitor instead of the local
// test-pattern window: the monitor is found by discovery, chosen in the device grid, told each
// patch over TCP, and the virtual CS-2000 measures what its display shows. The report then
// holds what that display emits, and grades as the run through the local window does.

#include "app/application.h"
#include "charts/grading.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/virtual_lab.h"
#include "sim/virtual_network_monitor.h"
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

class RemoteMonitorEndToEnd : public testing::Test {
  protected:
    RemoteMonitorEndToEnd() {
        qputenv("VQS_SERIAL_DIR", dir_.filePath("serial").toLocal8Bit());
        QDir::setCurrent(dir_.path());
        lab_.startCs2000(3);
        // The probe looks at the monitor's screen.
        QObject::connect(&monitor_, &sim::VirtualNetworkMonitor::patternShown,
                         [this](const QColor& colour) { lab_.display().show(colour); });
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
    }
    ~RemoteMonitorEndToEnd() override { QDir::setCurrent(previousDirectory_); }

    TForm1& form() { return *windows_.form1; }

    void tick() {
        form().Timer1Timer();
        if (++ticks_ % 10 == 0) form().Timer2Timer();
        QCoreApplication::processEvents();
        QThread::usleep(300);
        QCoreApplication::processEvents();
    }

    int monitorRow() {
        for (int row = 0; row < form().StringGrid1->rowCount(); ++row)
            if (form().StringGrid1->item(row, 2)->text() == monitor_.address()) return row;
        return -1;
    }

    const QString previousDirectory_ = QDir::currentPath();
    QTemporaryDir dir_;
    sim::VirtualLab lab_;
    sim::VirtualNetworkMonitor monitor_{QStringLiteral("127.0.0.2"), "Studio A", "SN-A"};
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store_{dir_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    int ticks_ = 0;
};

TEST_F(RemoteMonitorEndToEnd, CaptureAllMeasuresWhatTheMonitorWasToldToShow) {
    if (!monitor_.start())
        GTEST_SKIP() << "no loopback monitor here: " << monitor_.error().toStdString();
    form().editNetworkIP->setText(QStringLiteral("127.255.255.255"));
    form().applyNetworkAddress();
    for (int i = 0; i < 300 && (form().firstSM->count() == 0 || monitorRow() < 0); ++i) tick();
    ASSERT_EQ(form().firstSM->count(), 1) << "the virtual CS-2000";
    ASSERT_GE(monitorRow(), 0) << "the monitor found by discovery";
    form().StringGrid1->setCurrentCell(monitorRow(), 0);

    // The first patch reaches the monitor over the connection the pattern display opens.
    form().selectSlot(kFirstPrimarySlot);
    for (int i = 0; i < 40 && lab_.display().shown() != QColor(255, 0, 0); ++i) tick();
    ASSERT_EQ(lab_.display().shown(), QColor(255, 0, 0));

    form().editDevsnid->setText("SN-A");
    form().editDevname->setText("Studio A");
    form().storeAllClick();
    for (int i = 0; i < 6000 && form().capture().countdown() != 0; ++i) tick();
    ASSERT_EQ(form().selectedSlot(), kStopSlot) << "the run ended";

    for (int slot : {1, 2, 3, 5, 14, 23, 32}) {
        const Ttarget& t = state_.targets[slot];
        sim::DisplayModel screen = monitor_.display();
        screen.show(QColor(t.r, t.g, t.b));
        const sim::Tristimulus emitted = screen.tristimulus();
        const XyzTriple& captured = state_.workingReport.xyz[slot];
        EXPECT_NEAR(captured.X, emitted.X, 0.01 + 1e-3 * emitted.X) << t.name.toStdString();
        EXPECT_NEAR(captured.Y, emitted.Y, 0.01 + 1e-3 * emitted.Y) << t.name.toStdString();
        EXPECT_NEAR(captured.Z, emitted.Z, 0.01 + 1e-3 * emitted.Z) << t.name.toStdString();
    }
    EXPECT_EQ(gradeReport(state_.workingReport, state_.targets).greyScale,
              "Grade 1: 100%  2: 100%  3: 100%  Out: 0%")
        << "as through the local window";
}

}  // namespace
}  // namespace vqs
