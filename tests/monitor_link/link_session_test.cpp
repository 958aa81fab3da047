// The monitor link session without a window: the discovery pace, the connection fields and the
// report folder they read, the full monitor list told once after the call, and a save with no
// monitor to go to.

#include "monitor_link/link_session.h"

#include "data/report_file.h"
#include "tests/support/qt_print.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

namespace vqs {
namespace {

class RecordingView final : public LinkSessionView {
public:
    void monitorListChanged() override { ++listChanges; }
    void saveEnded() override { ++savesEnded; }
    void tellQuietly(const QString& text) override { quiet << text; }
    int listChanges = 0;
    int savesEnded = 0;
    QStringList quiet;
};

class LinkSessionTest : public testing::Test {
protected:
    LinkSessionTest() {
        settings_.reportDir = folder_.path();
        settings_.networkIp = QStringLiteral("127.0.0.1");
    }

    void addRecord(int index, int32_t sourceType, const QString& snid) {
        Tdevices& d = (*monitors_)[index];
        d.sourceType = sourceType;
        d.source = QStringLiteral("source %1").arg(index);
        d.report.devsnid = snid;
        d.position = index;
    }

    QTemporaryDir folder_;
    MonitorLink link_;
    std::unique_ptr<MonitorList> monitors_ = std::make_unique<MonitorList>();
    Settings settings_;
    Tcaldaten report_;
    PatchCatalogue targets_ = makePatchCatalogue();
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 11), QTime(9, 30)};
    RecordingView view_;
    StepTrace trace_;
    LinkSession session_{{link_, *monitors_, settings_, report_, targets_},
                         prompter_,
                         clock_,
                         view_,
                         trace_};
};

// The discovery request and the date go out on the first tick and then every 31.
TEST_F(LinkSessionTest, DiscoveryGoesOutOnTheFirstTickAndThenEveryThirtyOne) {
    QList<int> countdowns;
    for (int tick = 0; tick < 33; ++tick) {
        session_.paceDiscovery();
        countdowns << session_.discoveryCountdown();
    }
    EXPECT_EQ(countdowns.first(), 30);
    EXPECT_EQ(countdowns[30], 0);
    EXPECT_EQ(countdowns[31], 30) << "sent again on the 32nd tick";
}

// Each field drops only the records it listed; a new report folder is read a second later.
TEST_F(LinkSessionTest, EachConnectionFieldDropsTheRecordsOfItsSource) {
    addRecord(0, kSourceFile, "F");
    addRecord(1, kSourceNetwork, "N");
    addRecord(2, kSourceSerial, "S");
    session_.applyNetworkAddress(QStringLiteral("127.0.0.2"));
    EXPECT_EQ(settings_.networkIp, "127.0.0.2");
    EXPECT_EQ(usedMonitorCount(*monitors_), 2);
    EXPECT_EQ(view_.listChanges, 1);

    const QString other = folder_.filePath(QStringLiteral("reports"));
    session_.applyReportDir(other);
    EXPECT_EQ(settings_.reportDir, other);
    EXPECT_EQ(usedMonitorCount(*monitors_), 1);
    EXPECT_EQ((*monitors_)[0].report.devsnid, "S");
    EXPECT_TRUE(session_.reportDirReloadPending());
}

TEST_F(LinkSessionTest, APendingReportFolderIsReadOnce) {
    Tcaldaten saved;
    saved.devsnid = QStringLiteral("SN9");
    saved.devname = QStringLiteral("Studio");
    saved.repdate = QStringLiteral("11.12.26");
    ASSERT_TRUE(writeReportFile(folder_.path(), saved, targets_).ok);
    EXPECT_FALSE(session_.reloadReportDirIfDue()) << "nothing asked";
    session_.rereadReportDir();
    EXPECT_TRUE(session_.reloadReportDirIfDue());
    EXPECT_EQ(usedMonitorCount(*monitors_), 1);
    EXPECT_EQ((*monitors_)[0].report.devsnid, "SN9");
    EXPECT_FALSE(session_.reloadReportDirIfDue());
    EXPECT_EQ(trace_.steps(), QStringList({"scanReportDir"}));
}

// The scan runs inside the one-second tick: the box comes after it, and only once while the
// list stays full.
TEST_F(LinkSessionTest, AFullMonitorListIsToldOnceAfterTheCall) {
    for (int i = 0; i < kMonitorCapacity; ++i) addRecord(i, kSourceNetwork, QString::number(i));
    session_.scanReportDir();
    EXPECT_TRUE(prompter_.shown().empty()) << "never inside the call";
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_TRUE(prompter_.shownTexts().first().startsWith("The monitor list is full (1000"));
    session_.scanReportDir();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter_.shown().size(), 1u);
}

TEST_F(LinkSessionTest, ASaveWithoutSerialOrNetworkMonitorsDoesNotStart) {
    addRecord(0, kSourceFile, "F");
    const struct {
        GridSelection selection;
        const char* what;
    } cases[] = {{{0, -1}, "nothing selected"}, {{1, 1}, "a report file only"}};
    for (const auto& c : cases) {
        EXPECT_EQ(session_.startSave(c.selection), LinkSession::SaveStart::NoLinkDevices)
            << c.what;
        EXPECT_FALSE(session_.saving()) << c.what;
    }
    EXPECT_EQ(view_.savesEnded, 0);
}

}  // namespace
}  // namespace vqs
