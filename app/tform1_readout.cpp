// The live readouts, the patch list and the target values of the selected patch.

#include "app/patch_entry_text.h"
#include "app/patch_list.h"
#include "app/tform1.h"
#include "colour/colour_conversion.h"
#include "colour/fixed_text.h"

#include <QLabel>

namespace vqs {

namespace {

// Slot 0 starts a measurement; its swatch is orange so it stands out from the patches.
const QColor kStartSwatch(224, 96, 0);

void showReading(const ReadoutLabels& labels, const Tprobevals& r) {
    labels.X->setText(fixedText(r.X, 5, 1));
    labels.Y->setText(fixedText(r.Y, 5, 1));
    labels.Z->setText(fixedText(r.Z, 5, 1));
    labels.x->setText(fixedText(r.x, 5, 4));
    labels.y->setText(fixedText(r.y, 5, 4));
    labels.u->setText(fixedText(r.up, 5, 4));
    labels.v->setText(fixedText(r.vp, 5, 4));
    labels.cct->setText(QString::number(r.cct));
}

}  // namespace

void TForm1::showFirstReading() { showReading(firstReadout, state_.probe1); }

void TForm1::showSecondReading() { showReading(secondReadout, state_.probe2); }

void TForm1::showTargetValues(int slot) {
    if (slot < 0 || slot >= kPatchSlots) return;
    const Ttarget& t = state_.targets[slot];
    const Chromaticity c = targetChromaticity(t.targetInXy, t.targetA, t.targetB);
    targetx->setText(fixedText(c.x, 5, 4));
    targety->setText(fixedText(c.y, 5, 4));
    targetu->setText(fixedText(c.up, 5, 4));
    targetv->setText(fixedText(c.vp, 5, 4));
    targetcct->setText(QString::number(c.cct));
}

void TForm1::fillPatchList() {
    trace_.record("fillPatchList");
    colorsgsgroup->clear();
    for (int slot = 0; slot < kPatchSlots; ++slot) {
        const Ttarget& t = state_.targets[slot];
        colorsgsgroup->addPatch(t.name,
                                slot == kStartSlot ? kStartSwatch : QColor(t.r, t.g, t.b));
    }
}

void TForm1::updatePatchLabels(int slot) {
    auto rewrite = [this](int s) {
        if (QListWidgetItem* item = colorsgsgroup->item(s))
            item->setText(patchEntryText(state_.patchLabels[s], state_.workingReport.xyz[s],
                                         state_.xyMode));
    };
    if (slot >= 1) {
        if (isPatchSlot(slot)) rewrite(slot);
        return;
    }
    for (int s = 1; s < kPatchSlots; ++s)
        if (s != kStopSlot) rewrite(s);
}

}  // namespace vqs
