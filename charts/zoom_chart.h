#pragma once
// The zoom window's chart: one record and picture, configured at the window's size for the
// chart it shows, and its dynamic content redrawn on every refresh.

#include "charts/chart_set.h"
#include "charts/gamma_panel.h"

#include <QString>

namespace vqs {

// The presentation the zoom chart follows.
struct ZoomSelection {
    bool xyMode = false;
    int spectralView = 0;
    int rgbView = 0;
};

// Configures and draws the zoom chart for a chart tag at a plot size of width x height and
// returns the window caption "VQS1.0 " + chart name. For the DICOM views of the spectral panel
// there is no zoom chart: the previous one stays and its name is repeated.
QString configureZoomChart(ZoomChart& zoom, int tag, int width, int height,
                           const ZoomSelection& selection, const GammaSources& sources);

// Copies the zoom picture onto the zoom window's surface, sized to the picture.
void paintZoomChart(ZoomChart& zoom);

}  // namespace vqs
