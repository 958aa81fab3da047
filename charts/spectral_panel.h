#pragma once
// The spectral panel: a strip of spectral colours under the three CIE 1931 colour-matching
// curves as background, and the spectrum of a reading over it, scaled so that its largest value
// in the shown range reaches the top of the plot.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "colour/probe_reading.h"

namespace vqs {

inline constexpr QRgb kXbarColour = qRgb(240, 96, 96);
inline constexpr QRgb kYbarColour = qRgb(96, 240, 96);
inline constexpr QRgb kZbarColour = qRgb(96, 96, 240);
inline constexpr QRgb kFirstSpectrumColour = qRgb(255, 255, 255);
inline constexpr QRgb kSecondSpectrumColour = qRgb(128, 128, 128);

// Screen colour of a wavelength for the strip, from the colour-matching values at `nm`
// (interpolated between the table's nanometres).
QRgb spectralColour(float nm);

// The background of the narrow or wide view, always in screen colours.
void drawSpectralPanel(Canvas& canvas, const TGraphConstrains& chart);

// Largest spectral value for the whole nanometres from max(first, x.min) up to but excluding
// min(last, x.max), and at least 0. Only values the block really holds are read.
float spectrumPeak(const Tsprad& spectrum, const TGraphConstrains& chart);

// One probe's spectrum over the panel: the first probe (marker 1) in white with its peak value
// and the block's label written at the top on a screen destination, any other in grey.
void plotSpectrum(Canvas& canvas, const TGraphConstrains& chart, const Tprobevals& reading,
                  int marker, bool screen);

}  // namespace vqs
