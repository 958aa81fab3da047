#pragma once
// The refresh of all charts on every measurement cycle: which patch the current reading
// belongs to, the prepared pictures copied onto the drawing areas, and over them the markers,
// the current readings, the measured gamut and the spectra or gamma curves.

#include "charts/chart_set.h"
#include "colour/probe_reading.h"
#include "data/monitor_records.h"
#include "tables/patch_catalogue.h"

namespace vqs {

// Everything the refresh reads besides the chart set.
struct ChartInputs {
    const Tprobevals& probe1;
    const Tprobevals& probe2;
    GammaSources sources;  // working report, patch catalogue, target-gamma setting
    bool xyMode = false;
    int spectralView = 0;
    int selectedSlot = 0;  // selected index of the patch list, -1 for none
};

// A probe's point in the current presentation: (x, y) or (u', v').
struct ChartPoint {
    float a = 0.0f;
    float b = 0.0f;
};
ChartPoint probePoint(const Tprobevals& reading, bool xyMode);

// A slot's target chromaticity read as u', v', converted to x, y in x, y mode.
ChartPoint slotTarget(const PatchCatalogue& targets, int slot, bool xyMode);

// Whether a point lies within the chart's value ranges, edges included.
bool chartContains(const TGraphConstrains& chart, ChartPoint point);

// The slot the refresh presents: the selected one, or with "Start Measurment" selected the
// patch whose panel or EBU target the reading lies on (-1 for none).
int currentSlot(const ChartSet& set, const ChartInputs& inputs);

// Refreshes every drawing area and the zoom window when it is shown; a reading on a primary
// switches `rgbView` to it. Returns the current slot.
int refreshCharts(ChartSet& set, const ChartInputs& inputs, int& rgbView);

// The current spectral view on the spectral area: the second probe (restoring the panel), then
// the first over it.
void plotSpectralView(ChartSet& set, const ChartInputs& inputs);

// Redraws the dynamic content of the zoom window for the current slot.
void refreshZoomChart(ChartSet& set, const ChartInputs& inputs, int rgbView, int slot);

}  // namespace vqs
