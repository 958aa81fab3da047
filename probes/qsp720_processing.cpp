#include "probes/qsp720_processing.h"

#include "tables/cie1931_observer.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vqs {

namespace {

constexpr std::array<int, kQsp720Ranges> kAveragingCounts{1, 4, 4, 6, 1};
// A spectrum needs at least one value after trimming a nanometre at each end, and its bins
// (one fewer than its wavelengths) must fit the value block.
constexpr int kFewestWavelengths = 3;
constexpr int kMostWavelengths = kSpectrumCapacity + 2;
constexpr float kLargestWavelength = 1.0e6f;

int clampedRange(int range) {
    return std::clamp(range, 0, kQsp720Ranges - 1);
}

// The whole nanometre below a pixel's wavelength, toward zero; none for a wavelength no
// spectrometer has (the device memory may hold any coefficients).
std::optional<int> truncatedWavelength(float wavelength) {
    if (!(std::abs(wavelength) < kLargestWavelength)) return std::nullopt;
    return static_cast<int>(wavelength);
}

void clearSpectrum(Tsprad& spectrum) {
    spectrum.firstWavelength = 0;
    spectrum.lastWavelength = 0;
    spectrum.count = 0;
}

// The running pairwise mean of the pixels up to each whole nanometre: a bin takes the pixel at
// the cursor and halves in every further pixel below its target. The cursor only moves forward.
void binToNanometres(std::span<const float> values, const Tsmlist& probe, int first, int bins,
                     std::span<float> W, std::span<float> V) {
    int p = 0;
    for (int m = 0; m < bins; ++m) {
        const float target = static_cast<float>(first + m + 1);
        float w = probe.wavelength[p];
        float v = values[p];
        if (p < kQsp720Pixels - 1) ++p;
        while (p < kQsp720Pixels - 1 && target > probe.wavelength[p]) {
            w = (w + probe.wavelength[p]) * 0.5f;
            v = (v + values[p]) * 0.5f;
            ++p;
        }
        W[m] = w;
        V[m] = v;
    }
}

// X, Y, Z sums over the spectrum's 380..780 nm, each value meeting the observer row of its
// wavelength; divided by the rows walked from 360 nm.
Qsp720Sums observerSums(const Tsprad& spectrum) {
    Qsp720Sums sums;
    std::size_t j = 0;  // rows from 360 nm; row j of the table body is cie1931Observer[j + 1]
    auto row = [&j]() -> const ObserverRow& { return cie1931Observer[j + 1]; };
    for (int l = 0; l < spectrum.count; ++l) {
        const float lambda = static_cast<float>(spectrum.firstWavelength + l);
        while (row().wavelength != 0.0f && lambda > row().wavelength) ++j;
        if (lambda >= 380.0f && lambda <= 780.0f && lambda >= row().wavelength &&
            row().wavelength != 0.0f) {
            const double value = spectrum.values[l];
            sums.X += value * row().xbar;
            sums.Y += value * row().ybar;
            sums.Z += value * row().zbar;
            ++j;
        }
    }
    if (j == 0) return {};
    sums.X /= static_cast<double>(j);
    sums.Y /= static_cast<double>(j);
    sums.Z /= static_cast<double>(j);
    return sums;
}

float storedValue(double value) {
    // Beyond a float's range (a calibration file's factors may be anything) counts as nothing.
    return std::isfinite(value) && std::abs(value) <= 3.0e38 ? static_cast<float>(value) : 0.0f;
}

}  // namespace

int32_t qsp720RangeTime(const Tsmlist& probe, int range) {
    const int r = clampedRange(range);
    const int32_t time = probe.integrationTime[r == 0 ? 0 : r - 1];
    return std::max<int32_t>(time, 1);
}

int qsp720AveragingCount(int range) {
    return kAveragingCounts[clampedRange(range)];
}

std::span<float, kProbeSamples> qsp720DarkOf(Tsmlist& probe, int old) {
    const int r = old >= 2 && old <= 4 ? old : 1;
    return probe.darkData[r - 1];
}

void subtractDark(Qsp720Values values, std::span<const float> dark) {
    const std::size_t pixels = std::min<std::size_t>(kQsp720Pixels, dark.size());
    for (std::size_t i = 0; i < pixels; ++i)
        values[i] = values[i] > dark[i] ? values[i] - dark[i] : 0.0f;
}

float peakBetween(std::span<const float> values, int firstPixel, int lastPixel) {
    const int from = std::max(firstPixel, 0);
    const int to = std::min(lastPixel, static_cast<int>(values.size()));  // exclusive
    float peak = 0.0f;
    for (int i = from; i < to; ++i) peak = std::max(peak, values[i]);
    return peak;
}

int qsp720AutoRange(const Tsmlist& probe, int old, float peak) {
    const double oldTime = qsp720RangeTime(probe, old);
    for (int n = 4; n >= 1; --n)
        if (peak * (qsp720RangeTime(probe, n) / oldTime) < kQsp720AutoPeakLimit) return n;
    return 1;
}

void chooseRange(Tsmlist& probe, int old, float peak) {
    int chosen = probe.range;
    if (probe.holdCount > 0) {
        --probe.holdCount;
        return;
    }
    if (probe.userRange != 0)
        chosen = clampedRange(probe.userRange);
    else
        chosen = qsp720AutoRange(probe, old, peak);
    if (chosen != old) {
        probe.holdCount = kQsp720RangeHold;
        probe.range = chosen;
    }
}

void calibratePixels(Qsp720Values values, const Tsmlist& probe) {
    for (int i = 0; i < kQsp720Pixels; ++i)
        values[i] = values[i] < kQsp720SaturatedCounts ? values[i] * probe.calCurve[i]
                                                       : kQsp720SaturatedValue;
}

bool hasUsableWavelengths(const Tsmlist& probe) {
    const auto first = truncatedWavelength(probe.wavelength[0]);
    const auto last = truncatedWavelength(probe.wavelength[kQsp720Pixels - 1]);
    if (!first || !last) return false;
    const int count = *last - *first + 1;
    if (count < kFewestWavelengths || count > kMostWavelengths) return false;
    // The spectrum keeps the nanometres from *first + 1 to *last - 1.
    return *first + 1 <= 780 && *last - 1 >= 380;
}

Qsp720Sums spectrumAndSums(std::span<const float> values, const Tsmlist& probe, Tsprad& spectrum) {
    const auto first = truncatedWavelength(probe.wavelength[0]);
    const auto last = truncatedWavelength(probe.wavelength[kQsp720Pixels - 1]);
    const int count = first && last ? *last - *first + 1 : 0;
    if (count < kFewestWavelengths || count > kMostWavelengths) {
        clearSpectrum(spectrum);
        return {};
    }
    std::array<float, kMostWavelengths> W{};
    std::array<float, kMostWavelengths> V{};
    const int bins = count - 1;
    binToNanometres(values, probe, *first, bins, W, V);

    // The spectrum keeps the whole nanometres between the first and the last bin.
    spectrum.firstWavelength = *first + 1;
    spectrum.lastWavelength = *last - 1;
    spectrum.count = count - 2;
    for (int l = 0; l < spectrum.count; ++l) {
        const float lambda = static_cast<float>(spectrum.firstWavelength + l);
        const float span = W[l + 1] - W[l];
        spectrum.values[l] =
            span != 0.0f ? V[l] + (V[l + 1] - V[l]) * (lambda - W[l]) / span : V[l];
    }
    return observerSums(spectrum);
}

Qsp720ResultOutcome finishQsp720Result(Tsmlist& probe, int old, int calScanStep,
                                       Qsp720Values values, std::span<const float> dark, float& X,
                                       float& Y, float& Z, Tsprad& spectrum) {
    subtractDark(values, dark);
    const float peak = peakBetween(values, probe.firstPixel, probe.lastPixel);
    if (calScanStep == 0) chooseRange(probe, old, peak);

    Qsp720ResultOutcome outcome;
    const QString time = QString::number(qsp720RangeTime(probe, probe.range)) + "ms";
    if (probe.range != old || calScanStep != 0) {
        spectrum.label = "Change to: " + time;
        outcome.rangeChanged = true;
        probe.skipCount = calScanStep == 0 ? 1 : 0;
        outcome.result = calScanStep != 0 ? 1 : 0;
    } else {
        spectrum.label = time;
    }

    calibratePixels(values, probe);
    const Qsp720Sums sums = spectrumAndSums(values, probe, spectrum);
    double scale = probe.radCalCor / static_cast<double>(qsp720RangeTime(probe, old));
    if (calScanStep == 0) scale *= probe.rangeFactor[clampedRange(old)];
    X = storedValue(sums.X * scale);
    Y = storedValue(sums.Y * scale);
    Z = storedValue(sums.Z * scale);
    probe.lastY = Y;
    return outcome;
}

}  // namespace vqs
