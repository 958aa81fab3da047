// Showing the selected patch in the local test-pattern window.

#include "app/tform1.h"
#include "app/tform2.h"

namespace vqs {

void TForm1::Button2Click() {
    if (!patternWindow_) return;
    const int p = selectedSlot();
    const Ttarget& t = state_.targets[std::clamp(p, 0, kLastSlot)];
    patternWindow_->showPatch(QColor(t.r, t.g, t.b));
}

bool TForm1::updatePatternWindow() {
    const int p = std::max(selectedSlot(), 0);
    const Ttarget& t = state_.targets[std::min(p, kLastSlot)];
    const QColor colour = p == kStartSlot ? QColor(255, 255, 255) : QColor(t.r, t.g, t.b);
    if (!patternWindow_ || !patternWindow_->isVisible()) return false;
    patternWindow_->setWindowTitle(t.name);
    patternWindow_->setPatchColour(colour);
    return true;
}

}  // namespace vqs
