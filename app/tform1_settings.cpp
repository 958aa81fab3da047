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
    vqs::saveSettings(services_.settings, state_.settings, probes);
}

// The calibration files of the probes; the probe list hands them over once it exists.
std::vector<ProbeCalPath> TForm1::probeCalPaths() const {
    return {};
}

}  // namespace vqs
