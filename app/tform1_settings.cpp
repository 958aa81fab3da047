// The main window's steps that read the settings store at start-up and write it at exit.

#include "app/tform1.h"

#include "data/settings_store.h"

#include <vector>

namespace vqs {

void TForm1::loadSettings() {
    trace("loadSettings");
    vqs::loadSettings(services_.settings, state_.settings);
}

void TForm1::saveSettings() {
    trace("saveSettings");
    const std::vector<ProbeCalPath> probes = probeCalPaths();
    // At exit a store that cannot be written is skipped without a message (it keeps what it
    // held): nobody is left to act on one, and the program must still close.
    vqs::saveSettings(services_.settings, state_.settings, probes);
}

// Every probe row goes to the store, which keeps the paths of calibrated spectrometers only.
std::vector<ProbeCalPath> TForm1::probeCalPaths() const {
    std::vector<ProbeCalPath> paths;
    for (const Tsmlist& probe : *state_.probes)
        paths.push_back({{probe.type, probe.serialNumber}, probe.calFilePath});
    return paths;
}

}  // namespace vqs
