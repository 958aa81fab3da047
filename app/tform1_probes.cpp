// The probe list on the main window: drivers opened at start-up, the two selectors, the range
// and CalScan controls, the CS-2000's port search and the drivers' shutdown.

#include "app/tform1.h"

#include <QComboBox>
#include <QPushButton>

namespace vqs {

void TForm1::resetProbeList() {
    trace("resetProbeList");
    vqs::resetProbeList(*state_.probes);
}

// The drivers found by their libraries open in this order; the CS-2000 is found later by its
// port search.
void TForm1::openProbeDrivers() {
    trace("openProbeDrivers");
    for (const int type : {kProbeQsp720, kProbeJeti, kProbeCs200}) drivers_.forType(type).open();
}

void TForm1::fillProbeSelectors() {
    trace("fillProbeSelectors");
    const QSignalBlocker quietFirst(firstSM);
    const QSignalBlocker quietSecond(scndSM);
    firstSM->clear();
    scndSM->clear();
    scndSM->addItem(QStringLiteral("none"));
    for (const Tsmlist& probe : *state_.probes) {
        if (probe.type == kProbeFree) continue;
        firstSM->addItem(probe.displayName);
        scndSM->addItem(probe.displayName);
    }
    firstSM->setCurrentIndex(0);
    scndSM->setCurrentIndex(0);
}

void TForm1::updateProbeControls(int position) {
    trace(position == 0 ? "updateProbeControls(0)" : "updateProbeControls(1)");
    QPushButton* calScan = position == 0 ? firstSMdark : secondSMDark;
    QComboBox* range = position == 0 ? firstSMRange : scndSMRange;
    calScan->setEnabled(false);
    range->setEnabled(false);
    const QSignalBlocker quiet(range);
    range->setCurrentIndex(0);

    const int row = position == 0 ? firstSM->currentIndex() : scndSM->currentIndex() - 1;
    constexpr int kNormalRange = 2;
    switch (probeTypeAt(*state_.probes, row)) {
        case kProbeQsp720:
            calScan->setEnabled(true);
            range->setEnabled(true);
            range->setCurrentIndex(kNormalRange);
            break;
        case kProbeCs200:
            range->setEnabled(true);
            range->setCurrentIndex(kNormalRange);
            break;
        default: break;
    }
}

void TForm1::firstSMChange() { updateProbeControls(0); }

void TForm1::scndSMChange() { updateProbeControls(1); }

void TForm1::startCs2000Search() {
    trace("startCs2000Search");
    Cs2000Driver::Hooks hooks;
    hooks.openPort = [](int port) { return openComPort(port, kCs2000BaudRate); };
    hooks.probeAdded = [this] { fillProbeSelectors(); };
    hooks.logMeasurement = [this](int row, float X, float Y, float Z, const Cs2000Spectrum& s) {
        logCs2000Measurement(row, X, Y, Z, s);
    };
    cs2000_ = std::make_unique<Cs2000Driver>(*state_.probes, state_.logNextMeasurement, hooks);
    drivers_.set(kProbeCs2000, cs2000_.get());
    // The search leaves the monitor link's port alone.
    const int linkPort = state_.settings.comSetting.toInt();
    cs2000_->startSearch(linkPort >= 1 && linkPort <= 255 ? linkPort : 0);
}

void TForm1::cs2000Housekeeping() { cs2000_->housekeeping(); }

void TForm1::releaseCs2000() {
    trace("releaseCs2000");
    cs2000_->close();
}

void TForm1::closeQsp720() {
    trace("closeQsp720");
    drivers_.forType(kProbeQsp720).close();
}

void TForm1::closeJeti() {
    trace("closeJeti");
    drivers_.forType(kProbeJeti).close();
}

}  // namespace vqs
