// The capture panel's handlers: single captures and the automatic runs (the capture session
// keeps them), the reaction to a chosen patch, the target gamma and the grading texts.

#include "app/patch_list.h"
#include "app/tform1.h"
#include "charts/grading.h"
#include "colour/colour_conversion.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace vqs {

// Stopped, the first readout shows the stored values of the chosen patch.
void TForm1::patchSelected() {
    capture_->moveOn();
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
    if (!capture_->captureOne()) return;
    patchSelected();
    showTargetValues(selectedSlot());
}

void TForm1::storeAllClick() {
    capture_->captureAll(storeAll->text());
}

void TForm1::storeGreyscalesClick() {
    capture_->captureDicom(storeGreyscales->text());
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
    capture_->dropNotice();
    valuesStatus->setText(QStringLiteral("(Measurment Stopped)"));
}

void TForm1::showGrading() {
    const GradingTexts texts = gradeReport(state_.workingReport, state_.targets);
    grygrading->setText(texts.greyScale);
    ebucolgrading->setText(texts.colours);
}

}  // namespace vqs
