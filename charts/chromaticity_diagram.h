#pragma once
// The CIE 1931 x, y or CIE 1976 u', v' chromaticity diagram: the area inside the spectral locus
// in approximate colour (on screen) or the locus as dots (in print), the primary boxes, the
// target triangle with D65 and, on request, the targets of the EBU test colours.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "charts/chromaticity_locus.h"
#include "tables/patch_catalogue.h"

namespace vqs {

// Option bit of drawChromaticityDiagram: mark the targets of the 15 EBU colours.
inline constexpr int kDiagramEbuTargets = 2;

// Screen colour of a chromaticity at its brightest, gamma 2.2 encoded.
QRgb chromaticityColour(float a, float b, bool xyMode);

// Draws the whole diagram; `locus` is buildLocus(xyMode).
void drawChromaticityDiagram(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                             int options, const Locus& locus, const PatchCatalogue& targets);

}  // namespace vqs
