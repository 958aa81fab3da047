#pragma once
// The process-wide records and flags of the running program. They exist once, are created
// before the main window and live until the program ends; operations take what they work on
// as parameters.

#include "charts/chart_set.h"
#include "colour/probe_reading.h"
#include "data/monitor_records.h"
#include "data/settings.h"
#include "monitor_link/monitor_link.h"
#include "probes/probe_list.h"
#include "tables/patch_catalogue.h"

#include <cstdint>
#include <memory>

namespace vqs {

struct AppState {
    PatchCatalogue targets = makePatchCatalogue();
    PatchLabels patchLabels = makePatchLabels();
    Tcaldaten workingReport;
    // The monitor list is about a megabyte, too big for the stack a test may create this on.
    std::unique_ptr<MonitorList> monitors = std::make_unique<MonitorList>();
    Settings settings;
    std::unique_ptr<ProbeList> probes = std::make_unique<ProbeList>();
    // The serial link, the TCP connections and the datagram endpoint to the monitors under test.
    std::unique_ptr<MonitorLink> monitorLink = std::make_unique<MonitorLink>();

    // Chart records, background pictures and what the drawing areas show.
    ChartSet charts;

    Tprobevals probe1;  // live values of the first probe position
    Tprobevals probe2;  // live values of the second probe position

    bool xyMode = false;   // chromaticity presented as x, y instead of u', v'
    int spectralView = 0;  // view of the spectral panel, 0..5
    int rgbView = 0;       // view of the RGB chart, 0..2
    bool measurementStopped = false;  // probe 1 readout frozen or showing stored values
    bool deviceSelectionMode = false;  // grid clicks select monitors for a save
    bool listHasFocus = false;  // the patch list has the keyboard focus
};

}  // namespace vqs
