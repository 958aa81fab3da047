// Steps of the start-up, measurement, upkeep and shutdown sequences whose subsystems have not
// landed yet. Each keeps its place in its sequence and records that it ran; the subsystem that
// owns it fills it in:
//   probe list and drivers ........ resetProbeList, openProbeDrivers, fillProbeSelectors
//                                   (the probe rows), updateProbeControls (steps 3-4),
//                                   runMeasurementCycle, startCs2000Search, cs2000Housekeeping,
//                                   releaseCs2000, resetQsp720LibraryState, closeQsp720, closeJeti
//   report files and device grid .. scanReportDir, fillDeviceGrid, patchSelected
//   charts ........................ createCharts
//   monitor link .................. markLinkClosed, takeOverComNumber, closeLink,
//                                   disconnectMonitors, sendPatternToMonitor

#include "app/tform1.h"

#include <QComboBox>
#include <QPushButton>

namespace vqs {

void TForm1::resetQsp720LibraryState() { trace("resetQsp720LibraryState"); }
void TForm1::createCharts() { trace("createCharts"); }
void TForm1::scanReportDir() { trace("scanReportDir"); }
void TForm1::fillDeviceGrid() { trace("fillDeviceGrid"); }
void TForm1::markLinkClosed() { trace("markLinkClosed"); }
void TForm1::takeOverComNumber() { trace("takeOverComNumber"); }
void TForm1::resetProbeList() { trace("resetProbeList"); }
void TForm1::openProbeDrivers() { trace("openProbeDrivers"); }

// With no probe list yet the lists hold what an empty probe list gives: nothing in the first,
// "none" alone in the second.
void TForm1::fillProbeSelectors() {
    trace("fillProbeSelectors");
    const QSignalBlocker quietFirst(firstSM);
    const QSignalBlocker quietSecond(scndSM);
    firstSM->clear();
    scndSM->clear();
    scndSM->addItem(QStringLiteral("none"));
    firstSM->setCurrentIndex(0);
    scndSM->setCurrentIndex(0);
}

void TForm1::startCs2000Search() { trace("startCs2000Search"); }

// The range list and CalScan button start disabled on "Auto"; enabling them for the probe types
// that support them comes with the probe drivers.
void TForm1::updateProbeControls(int position) {
    trace(position == 0 ? "updateProbeControls(0)" : "updateProbeControls(1)");
    QPushButton* calScan = position == 0 ? firstSMdark : secondSMDark;
    QComboBox* range = position == 0 ? firstSMRange : scndSMRange;
    calScan->setEnabled(false);
    range->setEnabled(false);
    const QSignalBlocker quiet(range);
    range->setCurrentIndex(0);
}

void TForm1::runMeasurementCycle() {}
void TForm1::sendPatternToMonitor() {}
void TForm1::cs2000Housekeeping() {}
void TForm1::closeLink() { trace("closeLink"); }
void TForm1::releaseCs2000() { trace("releaseCs2000"); }
void TForm1::disconnectMonitors() { trace("disconnectMonitors"); }
void TForm1::closeQsp720() { trace("closeQsp720"); }
void TForm1::closeJeti() { trace("closeJeti"); }
void TForm1::patchSelected() {}

}  // namespace vqs
