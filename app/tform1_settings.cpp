// The main window's steps that read the settings store at start-up and write it at exit.

#include "app/tform1.h"

#include "data/settings_store.h"

#include <vector>

namespace vqs {

void TForm1::loadSettings() {
    trace_.record("loadSettings");
    vqs::loadSettings(services_.settings, state_.settings);
}

// Every probe row goes to the store, which keeps the paths of calibrated spectrometers only. At
// exit a store that cannot be written is skipped without a message (it keeps what it held):
// nobody is left to act on one, and the program must still close.
void TForm1::saveSettings() {
    trace_.record("saveSettings");
    std::vector<ProbeCalPath> probes;
    for (const Tsmlist& probe : *state_.probes)
        probes.push_back({{probe.type, probe.serialNumber}, probe.calFilePath});
    vqs::saveSettings(services_.settings, state_.settings, probes);
}

}  // namespace vqs
