// The monitor link's controls on the main window: the patch on the monitor under test and
// "Save(To Monitor)" of the device grid's selection.

#include "app/tform1.h"
#include "app/tform2.h"

#include <QPushButton>
#include <QTableWidget>

namespace vqs {

namespace {

// The grid's selection as the save walks it: grid row r shows the record at position r - 1.
GridSelection gridSelection(const QTableWidget& grid) {
    const auto ranges = grid.selectedRanges();
    if (!ranges.isEmpty()) return {ranges.first().topRow() + 1, ranges.first().bottomRow() + 1};
    const int row = grid.currentRow();
    return row < 0 ? GridSelection{0, -1} : GridSelection{row + 1, row + 1};
}

}  // namespace

void TForm1::sendPatternToMonitor() {
    const PatternScene scene{selectedSlot(), state_.measurementStopped,
                             patternWindow_ != nullptr && patternWindow_->isVisible()};
    link_->sendPatternToMonitor(scene, selectedDevice());
}

void TForm1::btnDownstreamClick() {
    switch (link_->startSave(gridSelection(*StringGrid1))) {
        case LinkSession::SaveStart::Started:
            btnDownstream->setEnabled(false);  // until the save ends
            break;
        case LinkSession::SaveStart::NoLinkDevices:
            if (services_.prompts.message(PromptKind::Confirmation, kNoLinkDevicesQuestion,
                                          PromptButtons::YesNo) == PromptAnswer::Yes)
                enterDeviceSelectionMode();
            state_.workingReport.unsaved = 0;
            break;
        case LinkSession::SaveStart::Running:
            break;
    }
}

}  // namespace vqs
