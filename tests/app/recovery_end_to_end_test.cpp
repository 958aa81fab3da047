// A run the program does not live to save: the program (a child process over the app library
// with the virtual lab, see recovery_run_child.cpp) is killed by SIGKILL in the middle of
// "Capture All", and the next start offers the patches it had captured, with the monitor's
// identity, and restores them.

#include "app/application.h"
#include "data/recovery_file.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <csignal>

namespace vqs {
namespace {

// How many patches the recovery file holds; -1 while there is none.
int patchesKept(const QString& path, const PatchCatalogue& targets) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    const auto kept = parseRecoveryText(file.readAll(), targets);
    return kept ? kept->capturedPatches : -1;
}

TEST(RecoveryAfterAKill, TheNextStartRestoresWhatWasCaptured) {
    QTemporaryDir scratch;
    const QString recoveryPath = scratch.filePath("data/lumiquest/working-report.recovery");
    const PatchCatalogue targets = makePatchCatalogue();

    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(VQS_RECOVERY_RUN_CHILD), {scratch.path()});
    ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();
    QElapsedTimer waited;
    waited.start();
    while (patchesKept(recoveryPath, targets) < 3 && waited.elapsed() < 120000 &&
           program.state() == QProcess::Running)
        QThread::msleep(100);
    ASSERT_EQ(program.state(), QProcess::Running) << "the program ended on its own";
    ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
    const int captured = patchesKept(recoveryPath, targets);
    ASSERT_GE(captured, 3) << "the run got this far before the kill";

    // The next start, in the same data folder.
    const QString previousDirectory = QDir::currentPath();
    const QByteArray previousData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", scratch.filePath("data").toLocal8Bit());
    QDir::setCurrent(scratch.path());
    {
        AppState state;
        test::ScriptedPrompter prompter;
        FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
        IniSettingsStore store{scratch.filePath("next.ini"), kSettingsBaseKey};
        const QString network = QStringLiteral("NETWORKIP");
        store.writeText(settingKey(network), settingValueName(network), "127.0.0.1");
        AppServices services{prompter, clock, store};
        prompter.answerNext(PromptAnswer::Yes);
        Windows windows = createWindows(state, services);
        TForm1& form = *windows.form1;
        form.Timer1->stop();
        form.Timer2->stop();
        QCoreApplication::processEvents();

        ASSERT_EQ(prompter.shown().size(), 1u);
        const QString question = prompter.shown()[0].text;
        EXPECT_EQ(question, QString::fromUtf8("Lumiquest ended before the report of \"Prüfmonitor "
                                              "Süd\" (SN/ID VM-KILL) was saved. Restore its ") +
                                QString::number(captured) + " captured patches?");
        EXPECT_EQ(form.editDevsnid->text(), "VM-KILL");
        EXPECT_EQ(form.editDevname->text(), QString::fromUtf8("Prüfmonitor Süd"));
        for (int slot = kFirstPrimarySlot; slot <= captured; ++slot)
            EXPECT_GT(state.workingReport.xyz[slot].Y, 0.0f) << "slot " << slot;
        EXPECT_EQ(state.workingReport.xyz[captured + 1].Y, 0.0f) << "not captured before the kill";
        EXPECT_EQ(state.workingReport.unsaved, 1);

        if (const QString shots = qEnvironmentVariable("VQS_SHOTS_DIR"); !shots.isEmpty()) {
            // The question as the program shows it, over the window it asks in.
            form.show();
            QMessageBox box(QMessageBox::Question, QStringLiteral("Lumiquest"), question,
                            QMessageBox::Yes | QMessageBox::No, &form);
            box.show();
            QCoreApplication::processEvents();
            QDir().mkpath(shots);
            box.grab().save(shots + "/recovery-question.png");
            box.close();
            form.grab().save(shots + "/recovery-restored.png");
        }

        form.btnSaveClick();
        EXPECT_FALSE(QFile::exists(recoveryPath)) << "the saved report needs no recovery";
        EXPECT_EQ(QDir(scratch.path()).entryList({"VQSREPORT_VM-KILL_*.txt"}).size(), 1);
    }
    QDir::setCurrent(previousDirectory);
    qputenv("XDG_DATA_HOME", previousData);
}

}  // namespace
}  // namespace vqs
