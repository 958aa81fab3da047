#pragma once
// The QSP720's two calibration scans, one step per completed result while `calScanStep` runs
// down: the dark scan (9 .. 1) takes a dark spectrum in every range, the brightness scan
// (19 .. 11) measures one light in every range and keeps the factors that bring each range to
// the scale of the Dark range. Pure: the driver stores what a finished scan measured, once it
// has judged whether the scan did what the operator meant it to.

#include "probes/probe_list.h"

#include <QString>

#include <array>
#include <span>

namespace vqs {

inline constexpr int kDarkScanStart = 9;
inline constexpr int kBrightnessScanStart = 19;
inline constexpr int kBrightnessScanLast = 11;

enum class CalScanEnd { None, DarkScanDone, BrightnessScanDone };

using DarkSpectra = decltype(Tsmlist::darkData);
// The luminance Y each range 1..4 saw in a brightness scan (element 0 unused).
using RangeLuminances = std::array<float, 5>;

// One step at `calScanStep` (non-zero) with the averaged scan of range `old` and that range's
// dark spectrum `dark` (which a dark scan overwrites). Moves `range` and counts the step down;
// says when the scan is over. A brightness scan's last step leaves in `seen` what each range
// saw before the factors were made of it.
CalScanEnd applyCalScanStep(Tsmlist& probe, int& calScanStep, std::span<const float> meanScan,
                            std::span<float> dark, RangeLuminances* seen = nullptr);

// Darkness adds the same dark current to every pixel, light adds its spectrum: from the Bright
// range to the Dark range a dark spectrum grows alike across the visible pixels, a light one by
// its spectrum. Counts by which the growth may differ (95th percentile over the median), and
// by which the Dark range may rise over the previous dark scan, before the scan saw light.
inline constexpr float kDarkScanLightCounts = 500.0f;
// A range below this share of the brightest range's Y did not see the scan's light.
inline constexpr float kBrightnessScanLeastShare = 0.01f;

// Why the dark spectra of a finished dark scan look like light (`previous`: the spectra before
// the scan, all zero when there were none); empty when they look like darkness.
QString darkScanDoubt(const Tsmlist& probe, const DarkSpectra& previous);
// Which ranges of a finished brightness scan saw no light; empty when every range saw it.
QString brightnessScanDoubt(const RangeLuminances& seen);

}  // namespace vqs
