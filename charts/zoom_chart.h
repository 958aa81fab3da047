#pragma once
// The zoom window's chart: one record and picture, configured at the window's size for the
// chart it shows, and its dynamic content redrawn on every refresh.

#include "charts/chart_refresh.h"
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

// Margin around the plot of the zoom chart and of exported pictures.
inline constexpr int kZoomMargin = 20;

// The name of the chart a tag shows in the selection ("CIEDiagramxy", "RedTolerancefielduv").
QString chartName(int tag, const ZoomSelection& selection, const QString& targetGamma);

// Configures and draws the zoom chart for a chart tag at a plot size of width x height (the
// picture adds the margins) and returns the window caption "VQS1.0 " + chart name. Every view
// of the spectral panel has its zoom chart, the DICOM views included; without a row for the
// selection, or without a plot, the previous chart stays and its name is repeated.
QString configureZoomChart(ZoomChart& zoom, int tag, int width, int height,
                           const ZoomSelection& selection, const GammaSources& sources);

// Copies the zoom picture onto the zoom window's surface, sized to the picture.
void paintZoomChart(ZoomChart& zoom);

// The chart of a tag as the main window presents it, drawn afresh as a picture of exactly
// width x height pixels (not scaled), with the current readings over it. Empty when the size
// leaves no plot.
Canvas exportChartPicture(const ChartSet& set, int tag, int width, int height,
                          const ChartInputs& in, int rgbView);

}  // namespace vqs
