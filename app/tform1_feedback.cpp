// What keeps the operator informed, on top of the measurement itself: the status line, whether
// each probe position is delivering, the report restored after a run the program did not live
// to save, serial ports the operator can make usable, and the keys of the commands given at the
// monitor. The capture and probe sessions decide what to say; this shows it.

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

// ---- The status line and the probe states -------------------------------------------------

// While stopped the line names the stored values shown, and the session has nothing to add.
void TForm1::showStatusLine() {
    const std::optional<QString> text = capture_->statusLine();
    if (text && valuesStatus->text() != *text) valuesStatus->setText(*text);
}

void TForm1::tellQuietly(const QString& text) {
    capture_->tellQuietly(text);
    valuesStatus->setText(text);
}

void TForm1::showProbeStates() {
    showLook(*probeState1, probeStateLook(probes_->firstFreshness(), 1));
    showLook(*probeState2, probeStateLook(probes_->secondFreshness(), 2));
    // Values look live only while they are: a position without a probe, or one whose probe has
    // not delivered lately, shows its last (or default) values dimmed. Stopped, the first
    // readout shows stored results, which are what they claim to be.
    const bool firstCurrent = state_.measurementStopped || probes_->firstIsLive();
    const bool secondCurrent = probes_->secondFreshness().liveness() == ProbeLiveness::Live;
    showReadoutColour(firstReadout, firstCurrent ? kFirstReadoutColour : kStaleReadoutColour);
    showReadoutColour(secondReadout, secondCurrent ? kSecondReadoutColour : kStaleReadoutColour);
}

// ---- Recovery of an interrupted run ---------------------------------------------------------

void TForm1::offerRecovery() {
    if (const auto restored = capture_->offerRecovery()) showRestoredReport(*restored);
}

// Shown like a loaded report.
void TForm1::showRestoredReport(const CaptureSession::Restored& restored) {
    const Tcaldaten& report = restored.report;
    editDevname->setText(report.devname);
    editDevsnid->setText(report.devsnid);
    if (!report.repgamma.isEmpty()) {
        state_.settings.targetGamma = report.repgamma;
        selectTargetGammaItem();
    }
    redrawGammaPanels();
    enterStoppedOverview();
    valuesStatus->setText(QStringLiteral("Restored %1 captured patches of %2, not saved yet")
                              .arg(restored.capturedPatches)
                              .arg(monitorIdentity(report)));
}

// ---- Serial ports the operator can mend -----------------------------------------------------

void TForm1::tellSerialProblems() {
    for (const SerialProblem& problem : takeUntoldSerialProblems())
        afterTick_.tell(PromptKind::Warning, serialProblemText(problem));
}

}  // namespace vqs
