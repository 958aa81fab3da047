#include "probes/qsp720_scans.h"

#include <algorithm>
#include <cmath>

namespace vqs {

namespace {

// Factor k := Y(Dark) / Y(range k). A range that measured no light (the light went off during
// the scan) keeps the factor 1 instead of turning every later result into infinity or zero.
float rangeRatio(float darkRangeY, float rangeY) {
    const float ratio = darkRangeY / rangeY;
    return darkRangeY > 0.0f && rangeY > 0.0f && std::isfinite(ratio) ? ratio : 1.0f;
}

CalScanEnd brightnessStep(Tsmlist& probe, int& calScanStep) {
    const int s = calScanStep;
    if (s == kBrightnessScanStart) probe.rangeFactor.fill(1.0f);
    probe.rangeFactor[(s - 9) / 2] = probe.lastY;
    probe.range = (s - 10) / 2;
    if (s != kBrightnessScanLast) {
        calScanStep = s - 1;
        return CalScanEnd::None;
    }
    calScanStep = 0;
    const float darkRangeY = probe.rangeFactor[4];
    for (int k = 1; k <= 4; ++k)
        probe.rangeFactor[k] = rangeRatio(darkRangeY, probe.rangeFactor[k]);
    return CalScanEnd::BrightnessScanDone;
}

CalScanEnd darkStep(Tsmlist& probe, int& calScanStep, std::span<const float> meanScan,
                    std::span<float> dark) {
    const int s = calScanStep;
    probe.range = s / 2;
    if (s % 2 == 1) {
        const std::size_t pixels = std::min(meanScan.size(), dark.size());
        std::copy_n(meanScan.begin(), pixels, dark.begin());
    }
    calScanStep = s - 1;
    return calScanStep == 0 ? CalScanEnd::DarkScanDone : CalScanEnd::None;
}

}  // namespace

CalScanEnd applyCalScanStep(Tsmlist& probe, int& calScanStep, std::span<const float> meanScan,
                            std::span<float> dark) {
    const int s = calScanStep;
    // Only the two starts the probe controls set lead here; anything else ends the scan.
    if (s < 1 || s > kBrightnessScanStart || s == 10) {
        calScanStep = 0;
        return CalScanEnd::None;
    }
    if (s >= 10) return brightnessStep(probe, calScanStep);
    return darkStep(probe, calScanStep, meanScan, dark);
}

}  // namespace vqs
