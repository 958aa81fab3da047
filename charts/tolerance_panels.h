#pragma once
// The three small chromaticity panels beside the diagram: the grey-scale panel (a window around
// D65 with the three grade ellipses), the EBU-colour panel (deviation of a test colour from its
// own target, with the colour tolerance circle around the origin) and the gamut panel of one
// primary with its target and tolerance box. Only the backgrounds are drawn here; the refresh
// puts the markers of measured patches over copies of them.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "tables/tolerance_tables.h"

#include <QString>

namespace vqs {

inline constexpr int kRedPrimary = 0;
inline constexpr int kGreenPrimary = 1;
inline constexpr int kBluePrimary = 2;

// Screen background of a gamut panel: dark red, green or blue; black for anything else.
QRgb gamutBackground(int primary);
// "Gamut Red", "Gamut Green", "Gamut: Blue" (the colon has always been there); empty otherwise.
QString gamutTitle(int primary);
// The tolerance box of a primary, or none.
const ToleranceTable* primaryBox(int primary);

void drawGreyPanel(Canvas& canvas, bool xyMode, const TGraphConstrains& chart);
void drawEbuPanel(Canvas& canvas, bool xyMode, const TGraphConstrains& chart);
// `table` is the primary's box or null (then only frame, axes and title are drawn).
void drawGamutPanel(Canvas& canvas, bool xyMode, int primary, const TGraphConstrains& chart,
                    const ToleranceTable* table);

}  // namespace vqs
