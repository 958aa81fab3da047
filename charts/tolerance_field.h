#pragma once
// Tolerance figures from a five-pair u', v' table, and the markers drawn over the charts:
// measured patches, the current reading and the triangle of the measured primaries.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "data/monitor_records.h"
#include "tables/patch_catalogue.h"
#include "tables/tolerance_tables.h"

namespace vqs {

// Parts of drawToleranceField.
inline constexpr int kToleranceCross = 1;
inline constexpr int kTolerancePolygon = 2;
inline constexpr int kToleranceEllipses = 4;

// Ellipse colours of grades 3, 2 and 1.
inline constexpr QRgb kGrade3Colour = qRgb(0, 0, 255);
inline constexpr QRgb kGrade2Colour = qRgb(128, 0, 128);
inline constexpr QRgb kGrade1Colour = qRgb(255, 0, 0);

// Cross at the centre and the closed polygon in the current pen colour; the ellipses in the
// grade colours. In x, y mode the table is converted point by point, and ellipse sizes become
// rotated pixel ellipses. Nothing is drawn outside the plot area.
void drawToleranceField(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                        const ToleranceTable& table, int parts);

// A filled dot of 8 pixels with a black outline, coloured after the slot's display colour;
// the report numbers the EBU colours beside their dots.
void drawPatchMarker(Canvas& canvas, const TGraphConstrains& chart, const PatchCatalogue& targets,
                     float a, float b, int slot);

// Restores the chart from `background` and draws the reading as a diamond with a line from the
// white point. Marker 0 draws nothing, 1 in black, anything else in grey.
void drawCurrentPoint(Canvas& canvas, const TGraphConstrains& chart, float a, float b,
                      const Canvas& background, int marker);

// Triangle of the captured red, green and blue results; nothing until all three are measured.
void drawMeasuredGamut(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                       const Tcaldaten& report);

}  // namespace vqs
