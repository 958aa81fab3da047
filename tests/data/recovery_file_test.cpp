// The recovery file: what it keeps of the working report, and whose file is offered.

#include "data/recovery_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

namespace vqs {
namespace {

class Recovery : public testing::Test {
protected:
    Tcaldaten someReport() const {
        Tcaldaten r;
        r.devsnid = "VM-7";
        r.devname = QString::fromUtf8("Prüfmonitor \"Süd\"");  // lost by the 8-bit lines
        r.repdate = "10.12.2026";
        r.repgamma = "2.4";
        r.unsaved = 1;
        r.xyz[1] = {41.2f, 21.3f, 1.9f};
        r.xyz[5] = {95.047f, 100.0f, 108.883f};
        r.xyz[24] = {0.0f, 0.0f, 0.0f};  // not measured
        r.xyz[61] = {0.05f, 0.051f, 0.06f};
        return r;
    }

    // A process that ran and is gone, as a killed program is.
    static RecoveryOwner aGoneProcess() {
        const pid_t child = ::fork();
        if (child == 0) ::_exit(0);
        RecoveryOwner owner = thisProcess();
        owner.pid = child;
        ::waitpid(child, nullptr, 0);
        return owner;
    }

    void leaveBehind(const Tcaldaten& report, const RecoveryOwner& owner) {
        QDir().mkpath(dir_.filePath("lumiquest"));
        QFile file(store_.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(recoveryText(report, targets_, owner));
    }

    QTemporaryDir dir_;
    PatchCatalogue targets_ = makePatchCatalogue();
    RecoveryFile store_{dir_.filePath("lumiquest")};
};

TEST_F(Recovery, AReportLeftByAGoneProgramComesBackWhole) {
    const Tcaldaten written = someReport();
    leaveBehind(written, aGoneProcess());
    const auto left = store_.leftBehind(targets_);
    ASSERT_TRUE(left);
    EXPECT_EQ(left->report.devname, written.devname) << "texts come back beyond Latin-1";
    EXPECT_EQ(left->report.devsnid, written.devsnid);
    EXPECT_EQ(left->report.repdate, written.repdate);
    EXPECT_EQ(left->report.repgamma, written.repgamma);
    EXPECT_EQ(left->report.unsaved, 1) << "restored results are not saved";
    for (int slot : {1, 5, 24, 61}) {
        EXPECT_NEAR(left->report.xyz[slot].X, written.xyz[slot].X, 0.0005) << slot;
        EXPECT_NEAR(left->report.xyz[slot].Y, written.xyz[slot].Y, 0.0005) << slot;
    }
    EXPECT_EQ(left->capturedPatches, 3);
}

TEST_F(Recovery, IsOfferedOnlyWhenItsWriterNoLongerRuns) {
    const struct {
        const char* what;
        RecoveryOwner owner;
        bool offered;
    } cases[] = {
        {"this very process", thisProcess(), false},
        {"a process that is gone", aGoneProcess(), true},
        {"written before a reboot", {"another-boot", thisProcess().pid, 1}, true},
        {"its id taken by another program since",
         {thisProcess().bootId, thisProcess().pid, thisProcess().startTime + 1},
         true},
    };
    for (const auto& c : cases) {
        leaveBehind(someReport(), c.owner);
        EXPECT_EQ(store_.leftBehind(targets_).has_value(), c.offered) << c.what;
    }
}

TEST_F(Recovery, WritingReplacesAndRemovingLeavesNothing) {
    EXPECT_FALSE(store_.leftBehind(targets_)) << "no file, nothing to offer";
    ASSERT_TRUE(store_.write(someReport(), targets_).ok) << "the folder is made as needed";
    Tcaldaten later = someReport();
    later.xyz[2] = {30.0f, 60.0f, 10.0f};
    ASSERT_TRUE(store_.write(later, targets_).ok);
    QFile file(store_.path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto read = parseRecoveryText(file.readAll(), targets_);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->capturedPatches, 4);
    EXPECT_EQ(read->owner, thisProcess());
    EXPECT_TRUE(store_.remove());
    EXPECT_FALSE(QFile::exists(store_.path()));
    EXPECT_TRUE(store_.remove()) << "removing what is not there is no failure";
}

TEST_F(Recovery, ADamagedOrForeignFileIsNotOffered) {
    const QByteArray good = recoveryText(someReport(), targets_, aGoneProcess());
    const QByteArray damaged[] = {
        good.left(good.indexOf("VQS_RECOVERY_OWNER")),  // cut before its writer is named
        QByteArray("VQS_FILEID = VQS1.0FILE\r\nVQS_RECOVERY_OWNER = x\r\n"),
        QByteArray("\x7f""ELF garbage"),
        QByteArray(),
    };
    for (const QByteArray& text : damaged) {
        QDir().mkpath(dir_.filePath("lumiquest"));
        QFile file(store_.path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        EXPECT_FALSE(store_.leftBehind(targets_)) << text.left(40).toStdString();
    }
}

TEST(RecoveryFolder, FollowsXdgDataHomeWhenItIsAbsolute) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/scratch/data");
    EXPECT_EQ(defaultDataFolder(), "/scratch/data/lumiquest");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(defaultDataFolder(), QDir::homePath() + "/.local/share/lumiquest");
    qputenv("XDG_DATA_HOME", saved);
}

}  // namespace
}  // namespace vqs
