// What keeps the operator informed, on top of the measurement itself: the progress of an
// automatic run in the status line, whether each probe position is delivering, the recovery of
// a run the program did not live to save, serial ports the operator can make usable, and the
// keys of the commands given at the monitor. The logic lives in run_progress, probe_state_look,
// data/recovery_file, platform/serial_diagnosis and command_shortcuts; this only wires it.

#include "app/command_shortcuts.h"
#include "app/patch_list.h"
#include "app/probe_state_look.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "platform/serial_diagnosis.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace vqs {

namespace {

QString monitorIdentity(const Tcaldaten& report) {
    if (report.devname.isEmpty() && report.devsnid.isEmpty())
        return QStringLiteral("a monitor without name or SN/ID");
    if (report.devsnid.isEmpty()) return QStringLiteral("\"%1\"").arg(report.devname);
    if (report.devname.isEmpty()) return QStringLiteral("SN/ID %1").arg(report.devsnid);
    return QStringLiteral("\"%1\" (SN/ID %2)").arg(report.devname, report.devsnid);
}

void setTextColour(QLabel& label, const QColor& colour) {
    if (label.palette().color(QPalette::WindowText) == colour) return;
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

void showReadoutColour(const ReadoutLabels& r, const QColor& colour) {
    for (QLabel* label : {r.x, r.y, r.cct, r.u, r.v, r.X, r.Y, r.Z}) setTextColour(*label, colour);
}

void showLook(QLabel& label, const ProbeStateLook& look) {
    if (label.text() == look.text && label.toolTip() == look.hint) return;
    label.setText(look.text);
    label.setToolTip(look.hint);
    setTextColour(label, look.colour);
}

}  // namespace

// ---- Controls and keys ----------------------------------------------------------------------

// Each position's state sits in the free third column of its u'v' row, under its CCT.
void TForm1::createProbeStateLabels() {
    auto make = [this](const char* name, int left) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        // Bigger and bolder than the other small texts: it is read from the monitor under test.
        QFont font = l->font();
        font.setPixelSize(13);
        font.setBold(true);
        l->setFont(font);
        l->setGeometry(left, 54, 123, 19);
        return l;
    };
    probeState1 = make("_ProbeState1", 792);
    probeState2 = make("_ProbeState2", 1151);
}

void TForm1::startOperatorFeedback() {
    steadyClock_.start();
    connectCommandKeys();
    scheduleRecoveryOffer();
}

void TForm1::connectCommandKeys() {
    installCommandShortcuts(
        *this,
        {{btnStore, QKeySequence(Qt::Key_F5), {}},
         {storeAll, QKeySequence(Qt::Key_F6),
          QStringLiteral("Captures the primaries, the grey scale and the EBU colours one after "
                         "another; press again to cancel")},
         {storeGreyscales, QKeySequence(Qt::Key_F7),
          QStringLiteral("Captures the DICOM grey steps one after another; press again to "
                         "cancel")},
         {Button2, QKeySequence(Qt::Key_F8),
          QStringLiteral("Shows the selected patch in the test-pattern window")},
         {btnSave, QKeySequence(Qt::CTRL | Qt::Key_S), {}},
         {btnPrint, QKeySequence(Qt::CTRL | Qt::Key_P),
          QStringLiteral("Prints the report of the working measurement")}});
}

int64_t TForm1::steadyMs() const {
    return steadyClockOverride_ ? steadyClockOverride_() : steadyClock_.elapsed();
}

// ---- Run progress and probe states ----------------------------------------------------------

void TForm1::startRunProgress(const QString& runName, int firstSlot, int lastSlot) {
    // A monitor shows the patches one countdown step later than the local window (see the
    // capture step), so its patches take a step more.
    const bool local = patternWindow_ != nullptr && patternWindow_->isVisible();
    runProgress_.start(runName, firstSlot, lastSlot, local ? 3 : 4, steadyMs());
}

// The status line: a run's progress while it goes (or why it stands still), a confirmation
// that is still news, the freshness of the first probe, or how the last run ended. While
// stopped it names the stored values shown.
void TForm1::showStatusLine() {
    if (state_.measurementStopped) return;
    const ProbeLiveness liveness = firstFreshness_.liveness();
    const int64_t now = steadyMs();
    if (!notice_.isEmpty() && now >= noticeUntilMs_) notice_.clear();
    QString text;
    if (runProgress_.running()) {
        const int slot = selectedSlot();
        const QString name = state_.targets[std::clamp(slot, 0, kLastSlot)].name;
        text = liveness == ProbeLiveness::Live
                   ? runProgress_.runningText(slot, name, state_.captureCountdown - 1, now)
                   : runProgress_.waitingText(firstProbeHoldUp(), slot, name);
    } else if (!notice_.isEmpty()) {
        text = notice_;
    } else {
        text = liveness == ProbeLiveness::Live ? runProgress_.outcomeText()
                                               : firstProbeFreshnessText();
    }
    if (valuesStatus->text() != text) valuesStatus->setText(text);
}

void TForm1::tellQuietly(const QString& text) {
    constexpr int64_t kNoticeMs = 8000;
    notice_ = text;
    noticeUntilMs_ = steadyMs() + kNoticeMs;
    valuesStatus->setText(text);
}

void TForm1::showProbeStates() {
    showLook(*probeState1, probeStateLook(firstFreshness_, 1));
    showLook(*probeState2, probeStateLook(secondFreshness_, 2));
    showReadoutLooks();
}

// Values look live only while they are: a position without a probe, or one whose probe has
// not delivered lately, shows its last (or default) values dimmed. Stopped, the first readout
// shows stored results, which are what they claim to be.
void TForm1::showReadoutLooks() {
    const bool firstCurrent =
        state_.measurementStopped || firstFreshness_.liveness() == ProbeLiveness::Live;
    const bool secondCurrent = secondFreshness_.liveness() == ProbeLiveness::Live;
    showReadoutColour(firstReadout, firstCurrent ? kFirstReadoutColour : kStaleReadoutColour);
    showReadoutColour(secondReadout, secondCurrent ? kSecondReadoutColour : kStaleReadoutColour);
}

// Only a serial probe can lose its port; the others are judged by their rhythm alone.
bool TForm1::probeReachable(int row) const {
    if (row < 0 || probeTypeAt(*state_.probes, row) != kProbeCs2000) return true;
    return cs2000_->link().handle != nullptr;
}

// ---- Recovery of an interrupted run ---------------------------------------------------------

void TForm1::setRecoveryFolder(const QString& folder) {
    recovery_ = RecoveryFile(folder);
}

// After start-up, once the window runs: the question must not hold the start-up up.
void TForm1::scheduleRecoveryOffer() {
    QTimer::singleShot(0, this, &TForm1::offerRecovery);
}

void TForm1::offerRecovery() {
    if (recoveryOffered_) return;
    recoveryOffered_ = true;
    const auto left = recovery_.leftBehind(state_.targets);
    if (!left) return;
    if (left->capturedPatches == 0) {
        recovery_.remove();
        return;
    }
    const QString question =
        QStringLiteral("Lumiquest ended before the report of %1 was saved. Restore its %2 "
                       "captured patches?")
            .arg(monitorIdentity(left->report))
            .arg(left->capturedPatches);
    if (services_.prompts.message(PromptKind::Confirmation, question, PromptButtons::YesNo) !=
        PromptAnswer::Yes) {
        recovery_.remove();
        return;
    }
    restoreReport(left->report, left->capturedPatches);
}

// Back as it was when the last patch was captured, not saved yet, shown like a loaded report.
void TForm1::restoreReport(const Tcaldaten& report, int capturedPatches) {
    state_.workingReport = report;
    state_.workingReport.unsaved = 1;
    recoveryHeld_ = true;
    editDevname->setText(report.devname);
    editDevsnid->setText(report.devsnid);
    if (!report.repgamma.isEmpty()) {
        state_.settings.targetGamma = report.repgamma;
        selectTargetGammaItem();
    }
    redrawGammaPanels();
    enterStoppedOverview();
    valuesStatus->setText(QStringLiteral("Restored %1 captured patches of %2, not saved yet")
                              .arg(capturedPatches)
                              .arg(monitorIdentity(report)));
}

// The working report as "Save(To File)" would write it now goes to the recovery file while it
// is unsaved; a saved or discarded report takes the file away.
void TForm1::keepRecoveryCurrent() {
    if (state_.workingReport.unsaved == 0) {
        if (recoveryHeld_ && recovery_.remove()) recoveryHeld_ = false;
        return;
    }
    Tcaldaten snapshot = state_.workingReport;
    snapshot.devname = editDevname->text();
    snapshot.devsnid = editDevsnid->text();
    snapshot.repgamma = state_.settings.targetGamma;
    const FileWriteResult written = recovery_.write(snapshot, state_.targets);
    recoveryHeld_ = true;
    // Told once until a write succeeds again: a run must not stop for a message per patch.
    if (written.ok || recoveryWriteFailed_) {
        recoveryWriteFailed_ = !written.ok;
        return;
    }
    recoveryWriteFailed_ = true;
    tellAfterTick(PromptKind::Warning,
                  QStringLiteral("The captured patches cannot be kept for recovery in %1: %2. "
                                 "The measurement goes on; save the report when it is done.")
                      .arg(QDir::toNativeSeparators(written.path), written.error));
}

// A save or a discard may come from anywhere ("Save(To Monitor)" finishes on its own timer).
void TForm1::dropRecoveryOnceSaved() {
    if (recoveryHeld_ && state_.workingReport.unsaved == 0) keepRecoveryCurrent();
}

// ---- Serial ports the operator can mend -----------------------------------------------------

void TForm1::tellSerialProblems() {
    for (const SerialProblem& problem : takeUntoldSerialProblems())
        tellAfterTick(PromptKind::Warning, serialProblemText(problem));
}

// ---- Messages from the measurement cycle ----------------------------------------------------

// A box opened inside a tick would hold that tick, and with it the readings, the run and its
// cancel button, until someone clicks. The box comes once the tick is over; the timers go on
// while it is open.
void TForm1::tellAfterTick(PromptKind kind, const QString& text) {
    QTimer::singleShot(
        0, this, [this, kind, text] { services_.prompts.message(kind, text, PromptButtons::Ok); });
}

}  // namespace vqs
