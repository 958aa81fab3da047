#include "probes/qsp720_scans.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

namespace vqs {

namespace {

constexpr int kBrightRange = 1;
constexpr int kDarkRange = 4;
const std::array<const char*, 5> kRangeNames = {"", "Bright", "Normal", "Medium", "Dark"};

// Factor k := Y(Dark) / Y(range k). A range that measured no light (the light went off during
// the scan) keeps the factor 1 instead of turning every later result into infinity or zero.
float rangeRatio(float darkRangeY, float rangeY) {
    const float ratio = darkRangeY / rangeY;
    return darkRangeY > 0.0f && rangeY > 0.0f && std::isfinite(ratio) ? ratio : 1.0f;
}

CalScanEnd brightnessStep(Tsmlist& probe, int& calScanStep, RangeLuminances* seen) {
    const int s = calScanStep;
    if (s == kBrightnessScanStart) probe.rangeFactor.fill(1.0f);
    probe.rangeFactor[(s - 9) / 2] = probe.lastY;
    probe.range = (s - 10) / 2;
    if (s != kBrightnessScanLast) {
        calScanStep = s - 1;
        return CalScanEnd::None;
    }
    calScanStep = 0;
    if (seen != nullptr) std::copy_n(probe.rangeFactor.begin(), seen->size(), seen->begin());
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

// The pixels between 380 and 780 nm; all of them when the wavelengths say none.
std::pair<int, int> visiblePixels(const Tsmlist& probe) {
    const int from = std::clamp(probe.firstPixel + 1, 0, kProbeSamples - 1);
    const int to = std::clamp(probe.lastPixel, 0, kProbeSamples - 1);
    return from < to ? std::pair{from, to} : std::pair{0, kProbeSamples - 1};
}

// How much more than the typical pixel the strongly growing pixels grew from the Bright range
// to the Dark range. A few hot pixels stay below the 95th percentile.
float unevenGrowth(const Tsmlist& probe) {
    const auto [from, to] = visiblePixels(probe);
    std::vector<float> growth;
    for (int k = from; k <= to; ++k)
        growth.push_back(probe.darkData[kDarkRange - 1][k] - probe.darkData[kBrightRange - 1][k]);
    std::sort(growth.begin(), growth.end());
    const float median = growth[growth.size() / 2];
    const float high = growth[growth.size() * 95 / 100];
    return std::isfinite(high - median) ? high - median : 0.0f;
}

double visibleMean(const Tsmlist& probe, const std::array<float, kProbeSamples>& spectrum) {
    const auto [from, to] = visiblePixels(probe);
    const double sum = std::accumulate(spectrum.begin() + from, spectrum.begin() + to + 1, 0.0);
    return sum / (to - from + 1);
}

// The Dark range's level over that of the previous dark scan; 0 without one.
float riseOverPrevious(const Tsmlist& probe, const DarkSpectra& previous) {
    const auto& before = previous[kDarkRange - 1];
    if (std::all_of(before.begin(), before.end(), [](float v) { return v == 0.0f; })) return 0.0f;
    const double rise =
        visibleMean(probe, probe.darkData[kDarkRange - 1]) - visibleMean(probe, before);
    return std::isfinite(rise) ? static_cast<float>(rise) : 0.0f;
}

}  // namespace

CalScanEnd applyCalScanStep(Tsmlist& probe, int& calScanStep, std::span<const float> meanScan,
                            std::span<float> dark, RangeLuminances* seen) {
    const int s = calScanStep;
    // Only the two starts the probe controls set lead here; anything else ends the scan.
    if (s < 1 || s > kBrightnessScanStart || s == 10) {
        calScanStep = 0;
        return CalScanEnd::None;
    }
    if (s >= 10) return brightnessStep(probe, calScanStep, seen);
    return darkStep(probe, calScanStep, meanScan, dark);
}

QString darkScanDoubt(const Tsmlist& probe, const DarkSpectra& previous) {
    const float uneven = unevenGrowth(probe);
    if (uneven > kDarkScanLightCounts)
        return QStringLiteral(
                   "The dark scan saw light: from the Bright to the Dark range its pixels grew "
                   "unevenly, by up to %1 counts more than the others, as a spectrum does and "
                   "darkness does not.")
            .arg(uneven, 0, 'f', 0);
    const float rise = riseOverPrevious(probe, previous);
    if (rise > kDarkScanLightCounts)
        return QStringLiteral(
                   "The dark scan saw light: its Dark range lies %1 counts above that "
                   "of the previous dark scan.")
            .arg(rise, 0, 'f', 0);
    return {};
}

QString brightnessScanDoubt(const RangeLuminances& seen) {
    float brightest = 0.0f;
    for (int k = 1; k <= 4; ++k)
        if (std::isfinite(seen[k])) brightest = std::max(brightest, seen[k]);
    QStringList unlit;
    for (int k = 1; k <= 4; ++k)
        if (!(seen[k] > brightest * kBrightnessScanLeastShare) || brightest <= 0.0f)
            unlit << QStringLiteral("%1 (Y %2)")
                         .arg(QLatin1String(kRangeNames[k]))
                         .arg(seen[k], 0, 'f', 3);
    if (unlit.isEmpty()) return {};
    return QStringLiteral(
               "The brightness scan saw no light in the range%1 %2, while the "
               "brightest range saw Y %3: the ranges cannot be matched to each other.")
        .arg(unlit.size() > 1 ? QStringLiteral("s") : QString(), unlit.join(QStringLiteral(", ")))
        .arg(brightest, 0, 'f', 3);
}

}  // namespace vqs
