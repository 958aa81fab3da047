// The connection fields of the main window (report directory, COM number, network address) and
// the monitor link they steer: when a value is taken over, what it does to the monitor list,
// the serial link and the directory; and monitor discovery filling the device grid.

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/pseudo_terminal.h"
#include "sim/virtual_network_monitor.h"
#include "tests/support/case_name.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace vqs {
namespace {

class ConnectionFields : public testing::Test {
  protected:
    ConnectionFields() {
        qputenv("VQS_SERIAL_DIR", serialDir_.path().toLocal8Bit());
        windows_ = createWindows(state_, services_);
        form().Timer1->stop();
        form().Timer2->stop();
    }
    ~ConnectionFields() override { qunsetenv("VQS_SERIAL_DIR"); }

    TForm1& form() { return *windows_.form1; }

    // A monitor record of each source type, so that a take-over shows which ones it drops.
    void listOneMonitorOfEachSource() {
        MonitorList& list = *state_.monitors;
        for (int32_t type : {kSourceFile, kSourceNetwork, kSourceSerial}) {
            Tdevices& record = list[type - 1];
            record = Tdevices{};
            record.sourceType = type;
            record.source = QStringLiteral("source %1").arg(type);
            record.report.devsnid = QStringLiteral("SN%1").arg(type);
            record.report.devname = QStringLiteral("monitor %1").arg(type);
        }
    }
    bool listed(int32_t type) const {
        for (const Tdevices& record : *state_.monitors)
            if (record.sourceType == type) return true;
        return false;
    }

    // Replaces the field's text by keys, as the operator would.
    void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    void leave(QLineEdit* field) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(field, &out);
    }

    QTemporaryDir serialDir_;
    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir config_;
    IniSettingsStore store_{config_.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
};

TEST_F(ConnectionFields, EnterTakesTheComNumberOverOnceAndLeavingDoesNotAgain) {
    sim::PseudoTerminal monitor;
    ASSERT_TRUE(monitor.open(serialDir_.filePath(QStringLiteral("COM3"))));
    listOneMonitorOfEachSource();
    type(form().editComNr, QStringLiteral("3"));
    QTest::keyClick(form().editComNr, Qt::Key_Return);
    EXPECT_TRUE(isLinkOpen(state_.monitorLink->linkPort));
    EXPECT_EQ(state_.monitorLink->linkPort.portNumber, 3);
    EXPECT_FALSE(listed(kSourceSerial)) << "the serial monitors are dropped";
    EXPECT_TRUE(listed(kSourceFile) && listed(kSourceNetwork));

    listOneMonitorOfEachSource();
    leave(form().editComNr);
    EXPECT_TRUE(listed(kSourceSerial)) << "not taken over a second time";

    form().editComNr->setFocus();
    leave(form().editComNr);
    EXPECT_FALSE(listed(kSourceSerial)) << "leaving without Enter takes it over";

    listOneMonitorOfEachSource();
    QTest::mouseDClick(form().editComNr, Qt::LeftButton);
    EXPECT_FALSE(listed(kSourceSerial)) << "a double-click takes it over";
    EXPECT_TRUE(isLinkOpen(state_.monitorLink->linkPort)) << "and reopens the port";
    listOneMonitorOfEachSource();
    leave(form().editComNr);
    EXPECT_TRUE(listed(kSourceSerial)) << "leaving after the double-click does not";
}

struct ComTextCase {
    const char* what;
    const char* typed;
    const char* shown;
};

class ComFieldText : public ConnectionFields, public testing::WithParamInterface<ComTextCase> {};

TEST_P(ComFieldText, IsReadAsScanfReadsANumber) {
    const ComTextCase& c = GetParam();
    sim::PseudoTerminal monitor;
    ASSERT_TRUE(monitor.open(serialDir_.filePath(QStringLiteral("COM7"))));
    type(form().editComNr, QStringLiteral("7"));
    QTest::keyClick(form().editComNr, Qt::Key_Return);
    ASSERT_TRUE(isLinkOpen(state_.monitorLink->linkPort));

    type(form().editComNr, QString::fromUtf8(c.typed));
    leave(form().editComNr);
    EXPECT_EQ(form().editComNr->text(), QString::fromLatin1(c.shown));
    EXPECT_EQ(state_.settings.comSetting, QString::fromLatin1(c.shown));
    EXPECT_EQ(isLinkOpen(state_.monitorLink->linkPort), QByteArray(c.shown) == "7");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComFieldText,
    testing::Values(ComTextCase{"space_seven_letter", " 7x", "7"},
                    ComTextCase{"too_large", "300", "0"}, ComTextCase{"zero", "0", "0"},
                    ComTextCase{"negative", "-2", "0"}, ComTextCase{"letters", "COM", "0"},
                    ComTextCase{"empty", "", "0"}, ComTextCase{"missing_port", "9", "9"}),
    test::CaseName());

TEST_F(ConnectionFields, EnterInTheNetworkFieldDropsTheNetworkMonitorsEvenUnchanged) {
    listOneMonitorOfEachSource();
    const QString address = form().editNetworkIP->text();
    form().editNetworkIP->setFocus();
    QTest::keyClick(form().editNetworkIP, Qt::Key_Return);
    EXPECT_EQ(state_.settings.networkIp, address);
    EXPECT_FALSE(listed(kSourceNetwork));
    EXPECT_TRUE(listed(kSourceFile) && listed(kSourceSerial));
}

TEST_F(ConnectionFields, ADirectoryIsChosenCreatedAfterAskingOrLeftAsItWas) {
    listOneMonitorOfEachSource();
    const QString before = state_.settings.reportDir;
    prompter_.answerNextFile(QString());  // cancelled
    QTest::mouseDClick(form().editWorkingDir, Qt::LeftButton);
    EXPECT_EQ(state_.settings.reportDir, before);
    EXPECT_TRUE(listed(kSourceFile));

    QTemporaryDir parent;
    const QString missing = parent.filePath(QStringLiteral("reports"));
    prompter_.answerNextFile(missing);
    prompter_.answerNext(PromptAnswer::No);
    QTest::mouseDClick(form().editWorkingDir, Qt::LeftButton);
    EXPECT_EQ(state_.settings.reportDir, before) << "not created: nothing changes";
    EXPECT_FALSE(QFileInfo::exists(missing));

    prompter_.answerNextFile(missing);
    prompter_.answerNext(PromptAnswer::Yes);
    QTest::mouseDClick(form().editWorkingDir, Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(missing).isDir());
    EXPECT_EQ(state_.settings.reportDir, missing);
    EXPECT_EQ(form().editWorkingDir->text(), missing);
    EXPECT_FALSE(listed(kSourceFile)) << "the old folder's reports leave the list";
    EXPECT_TRUE(form().link().reportDirReloadPending()) << "the new folder is scanned a second later";
    EXPECT_EQ(prompter_.shownTexts().filter(QStringLiteral("does not exist")).size(), 2);
}

// Two virtual network monitors answer a broadcast on loopback; each lands in the device grid at
// its own address, and the grid is refilled only when a monitor is new.
TEST_F(ConnectionFields, DiscoveredMonitorsAppearInTheDeviceGrid) {
    sim::VirtualNetworkMonitor studioA(QStringLiteral("127.0.0.2"), "Studio A", "SN-A");
    sim::VirtualNetworkMonitor studioB(QStringLiteral("127.0.0.3"), "Studio B", "SN-B");
    if (!studioA.start() || !studioB.start())
        GTEST_SKIP() << "no loopback monitors here: " << studioA.error().toStdString()
                     << studioB.error().toStdString();
    type(form().editNetworkIP, QStringLiteral("127.255.255.255"));
    QTest::keyClick(form().editNetworkIP, Qt::Key_Return);

    qint64 longestTick = 0;
    QElapsedTimer waited;
    waited.start();
    while (form().StringGrid1->rowCount() < 2 && waited.elapsed() < 5000) {
        QElapsedTimer tick;
        tick.start();
        form().Timer1Timer();
        longestTick = std::max(longestTick, tick.elapsed());
        QTest::qWait(20);
    }
    ASSERT_EQ(form().StringGrid1->rowCount(), 2);
    QStringList rows;
    for (int row = 0; row < 2; ++row)
        rows << form().StringGrid1->item(row, 0)->text() + QLatin1Char(' ') +
                    form().StringGrid1->item(row, 2)->text();
    rows.sort();
    EXPECT_EQ(rows, QStringList({"SN-A 127.0.0.2", "SN-B 127.0.0.3"}));
    EXPECT_LT(longestTick, 500) << "a tick never waits on the network";
    std::printf("longest tick with discovery: %lld ms\n", static_cast<long long>(longestTick));
}

}  // namespace
}  // namespace vqs
