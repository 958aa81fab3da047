#pragma once
// From the averaged pixel counts of one QSP720 result to its X, Y, Z and 1 nm spectrum: dark
// subtraction, the peak and the brightness-range choice, the per-pixel calibration, binning to
// whole nanometres and the CIE 1931 sums. Pure functions on the probe's entry and the values;
// the driver gathers the scans and talks to the library.

#include "colour/probe_reading.h"
#include "probes/probe_list.h"
#include "probes/qsp720_library.h"

#include <array>
#include <span>

namespace vqs {

// Ranges 1..4 are the operator's Bright, Normal, Medium and Dark; 0 is the state after opening.
inline constexpr int kQsp720Ranges = 5;
// Counts from which a pixel is taken as saturated, and the value it then shows.
inline constexpr float kQsp720SaturatedCounts = 63000.0f;
inline constexpr float kQsp720SaturatedValue = 65000.0f;
// The automatic choice keeps the predicted peak below this.
inline constexpr double kQsp720AutoPeakLimit = 45000.0;
// Results during which a new range is kept, whatever the peak says.
inline constexpr int kQsp720RangeHold = 3;

using Qsp720Values = std::span<float, kQsp720ScanValues>;

// Integration time in ms of a range: ranges 0 and 1 share the first time. Never below 1 ms.
int32_t qsp720RangeTime(const Tsmlist& probe, int range);
// Scans averaged per result: 1, 4, 4, 6, 1 for ranges 0..4.
int qsp720AveragingCount(int range);
// The dark spectrum a result of range `old` is corrected with.
std::span<float, kProbeSamples> qsp720DarkOf(Tsmlist& probe, int old);

// The largest range of 4, 3, 2, 1 whose time would keep the peak below 45000 counts; 1 when
// none would.
int qsp720AutoRange(const Tsmlist& probe, int old, float peak);

// What one completed result asks of the driver.
struct Qsp720ResultOutcome {
    int result = 1;             // the poll's return value
    bool rangeChanged = false;  // set the integration time of the new range
};

// Everything after the averaging and the calibration-scan step: dark subtraction, peak, range
// choice (only while no calibration scan runs, `calScanStep` 0), status label, calibration
// (the values then hold the calibrated pixels, for the log), the 1 nm spectrum and X, Y, Z
// scaled by radCalCor, the time of `old` and, outside calibration scans, its range factor.
Qsp720ResultOutcome finishQsp720Result(Tsmlist& probe, int old, int calScanStep,
                                       Qsp720Values values, std::span<const float> dark, float& X,
                                       float& Y, float& Z, Tsprad& spectrum);

// Whether the pixel wavelengths give a spectrum that reaches into 380..780 nm. Without one every
// result of the device would be X = Y = Z = 0, whatever light it sees.
bool hasUsableWavelengths(const Tsmlist& probe);

// The pieces of that, for tests and benchmarks.
void subtractDark(Qsp720Values values, std::span<const float> dark);
float peakBetween(std::span<const float> values, int firstPixel, int lastPixel);
void chooseRange(Tsmlist& probe, int old, float peak);
void calibratePixels(Qsp720Values values, const Tsmlist& probe);
// The 1 nm spectrum of the calibrated pixels and the CIE 1931 sums over it, divided by the
// number of observer rows walked (0 where none was).
struct Qsp720Sums {
    double X = 0.0, Y = 0.0, Z = 0.0;
};
Qsp720Sums spectrumAndSums(std::span<const float> values, const Tsmlist& probe, Tsprad& spectrum);

}  // namespace vqs
