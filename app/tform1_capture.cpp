// Capturing patches into the working report: single captures, the automatic runs, the readout
// states (live or stopped on stored values) and the reaction to a chosen patch.

#include "app/patch_list.h"
#include "app/tform1.h"
#include "charts/grading.h"
#include "colour/colour_conversion.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vqs {

namespace {

// Capture moves to the next patch, skipping the "Stop (Show All)" entry between the EBU colours
// and the DICOM steps, and stops after the last DICOM step.
int slotAfterCapture(int slot) {
    if (slot == kLastEbuSlot) return kFirstDicomSlot;
    if (slot == kLastSlot) return kStopSlot;
    return slot + 1;
}

}  // namespace

void TForm1::patchSelected() {
    runProgress_.dismiss();  // the operator moved on from the last run's outcome
    notice_.clear();
    const int p = selectedSlot();
    if (p == kStartSlot) state_.measurementStopped = false;
    if (p == kStopSlot) state_.measurementStopped = true;
    updatePatternWindow();
    if (!state_.measurementStopped || p < 0 || p >= kPatchSlots) {
        valuesStatus->clear();
        return;
    }
    const XyzTriple& stored = state_.workingReport.xyz[p];
    Tprobevals& reading = state_.probe1;
    reading.X = stored.X;
    reading.Y = stored.Y;
    reading.Z = stored.Z;
    convertReading(reading);
    showFirstReading();
    refreshCharts();
    valuesStatus->setText(p == kStopSlot ? QStringLiteral("(Measurment Stopped)")
                                         : QStringLiteral("Values of ") + state_.targets[p].name +
                                               QStringLiteral(" (Measurment Stopped)"));
}

void TForm1::btnStoreClick() {
    if (state_.measurementStopped)
        selectSlot(kStartSlot);
    else if (refuseStaleCapture())
        return;
    const int p = selectedSlot();
    if (p < 0 || p >= kPatchSlots) return;
    const Tprobevals& reading = state_.probe1;
    state_.workingReport.xyz[p] = {reading.X, reading.Y, reading.Z};
    state_.workingReport.repdate = services_.clock.shortDate(services_.clock.today());
    updatePatchLabels(p);
    if (!state_.measurementStopped) {
        if (isPatchSlot(p)) state_.workingReport.unsaved = 1;
        selectSlot(slotAfterCapture(p));
    }
    keepRecoveryCurrent();
    patchSelected();
    showTargetValues(selectedSlot());
}

// The values of a probe that has not delivered for a while, or not yet, are not what the patch
// shows now: Capture keeps them out of the report. Runs wait for fresh readings by themselves.
bool TForm1::refuseStaleCapture() {
    QString why;
    switch (firstFreshness_.liveness()) {
        case ProbeLiveness::Waiting:
            why = QStringLiteral(
                "Probe 1 has not delivered a reading yet, so nothing was captured. Press Capture "
                "again once its values appear.");
            break;
        case ProbeLiveness::Silent:
            why = QStringLiteral(
                      "Probe 1 has delivered no reading for %1 s, so nothing was captured. Check "
                      "the probe and its cable, then press Capture again once its values update.")
                      .arg(firstFreshness_.quietMs() / 1000);
            break;
        case ProbeLiveness::NoProbe:
            why = QStringLiteral(
                "No probe in position 1, so nothing was captured. Choose a probe in the first "
                "probe list, then press Capture once its values appear.");
            break;
        default:
            return false;
    }
    services_.prompts.message(PromptKind::Warning, why, PromptButtons::Ok);
    return true;
}

void TForm1::storeAllClick() {
    if (cancelCaptureRun() || confirmDiscard(state_.workingReport, services_.prompts)) return;
    resetReport(state_.workingReport);
    state_.workingReport.devname = editDevname->text();
    state_.workingReport.devsnid = editDevsnid->text();
    state_.workingReport.repdate = services_.clock.shortDate(services_.clock.today());
    keepRecoveryCurrent();
    startRunProgress(storeAll->text(), kFirstPrimarySlot, kLastEbuSlot);
    startCaptureRun(kFirstPrimarySlot, kStopSlot);
}

void TForm1::storeGreyscalesClick() {
    if (cancelCaptureRun() || confirmDiscard(state_.workingReport, services_.prompts)) return;
    clearDicomResults(state_.workingReport);
    keepRecoveryCurrent();
    startRunProgress(storeGreyscales->text(), kFirstDicomSlot, kLastSlot);
    // There is no slot 62: the run ends when it cannot move past the last DICOM step.
    startCaptureRun(kFirstDicomSlot, kPatchSlots);
}

// A second press of either run button cancels the run where it stands.
bool TForm1::cancelCaptureRun() {
    if (state_.captureCountdown == 0) return false;
    state_.captureCountdown = 0;
    runProgress_.cancel(steadyMs());
    return true;
}

// The measurement cycle takes the run on from here (see the capture step).
void TForm1::startCaptureRun(int firstSlot, int endSlot) {
    notice_.clear();
    updatePatchLabels(-1);
    state_.measurementStopped = false;
    selectSlot(firstSlot);
    updatePatternWindow();
    sendPatternToMonitor();
    state_.captureCountdown = 4;
    state_.captureEndSlot = endSlot;
}

void TForm1::targetGammaChange() {
    state_.settings.targetGamma = targetGamma->currentText();
    redrawGammaPanels();
    replotSpectralPanel();
}

// The state after loading or clearing a report: stopped on "Stop (Show All)". What the status
// line said of the report before is no longer true.
void TForm1::enterStoppedOverview() {
    state_.measurementStopped = true;
    selectSlot(kStopSlot);
    refreshCharts();
    updatePatchLabels(-1);
    notice_.clear();
    valuesStatus->setText(QStringLiteral("(Measurment Stopped)"));
}

void TForm1::showGrading() {
    const GradingTexts texts = gradeReport(state_.workingReport, state_.targets);
    grygrading->setText(texts.greyScale);
    ebucolgrading->setText(texts.colours);
}

}  // namespace vqs
