#pragma once
// The QSP720's two calibration scans, one step per completed result while `calScanStep` runs
// down: the dark scan (9 .. 1) takes a dark spectrum in every range, the brightness scan
// (19 .. 11) measures one light in every range and keeps the factors that bring each range to
// the scale of the Dark range. Pure: the driver stores what a finished scan measured.

#include "probes/probe_list.h"

#include <span>

namespace vqs {

inline constexpr int kDarkScanStart = 9;
inline constexpr int kBrightnessScanStart = 19;
inline constexpr int kBrightnessScanLast = 11;

enum class CalScanEnd { None, DarkScanDone, BrightnessScanDone };

// One step at `calScanStep` (non-zero) with the averaged scan of range `old` and that range's
// dark spectrum `dark` (which a dark scan overwrites). Moves `range` and counts the step down;
// says when the scan is over.
CalScanEnd applyCalScanStep(Tsmlist& probe, int& calScanStep, std::span<const float> meanScan,
                            std::span<float> dark);

}  // namespace vqs
