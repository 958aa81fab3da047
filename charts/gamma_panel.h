#pragma once
// The transfer-function panels: relative luminance and gamma per level of the grey scale
// (kinds 2 and 3) and of the DICOM steps (kinds 4 and 5), each with its target curve and
// tolerance band, and the measured curve drawn over them.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "colour/probe_reading.h"
#include "data/monitor_records.h"
#include "tables/patch_catalogue.h"

#include <QString>

#include <array>

namespace vqs {

// What the panels read besides their chart record: the working report's results, the
// catalogue's display levels and the target-gamma setting text.
struct GammaSources {
    const Tcaldaten& report;
    const PatchCatalogue& targets;
    const QString& targetGamma;
};

inline constexpr QRgb kTargetCurveColour = qRgb(128, 0, 0);
inline constexpr QRgb kMeasuredCurveColour = qRgb(0, 0, 255);
inline const QString kDicomCaption = QStringLiteral("DICOM - Greyscale Standard Display Function");

// Draws a complete panel background of kind 2..5 with the geometry of `chart`.
void drawGammaPanel(Canvas& canvas, int kind, const TGraphConstrains& chart,
                    const GammaSources& sources);

// The records and pictures the views are drawn with. Views 0..9 go to the main window
// (index = view), 10..19 to the report, 20 and above to the zoom window.
struct PlotTargets {
    std::array<const TGraphConstrains*, 6> mainCharts{};
    std::array<const Canvas*, 6> mainPictures{};
    const TGraphConstrains* reportChart = nullptr;
    const TGraphConstrains* zoomChart = nullptr;
    const Canvas* zoomPicture = nullptr;
};

// Draws the measured curve of one view over its panel. On a screen destination a call with
// `marker` other than 1 first restores the panel picture, and `marker` 0 stops there. Views 0
// and 1 draw the reading's spectrum, views 2..5 the report's grey or DICOM results.
void plotMeasurement(Canvas& canvas, int view, const Tprobevals& reading, int marker,
                     const PlotTargets& plotTargets, const GammaSources& sources);

}  // namespace vqs
