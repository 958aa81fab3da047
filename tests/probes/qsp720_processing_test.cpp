// From averaged counts to a QSP720 result: range choice, dark subtraction, saturation, the
// 1 nm spectrum and the scaling of X, Y, Z.

#include "probes/qsp720_processing.h"
#include "probes/qsp720_device_memory.h"
#include "tables/cie1931_observer.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vqs {
namespace {

// A spectrometer from 340.7 to about 1020 nm with the default times 50, 100, 200, 2400 ms.
Tsmlist spectrometer() {
    Tsmlist probe;
    probe.type = kProbeQsp720;
    setPixelWavelengths(probe, {0.67464, -0.00001, 340.7});
    probe.calCurve.fill(1.0f);
    return probe;
}

struct RangeCase {
    const char* what;
    int userRange, old, holdCount;
    float peak;
    int range, holdAfter;
};

class RangeChoice : public testing::TestWithParam<RangeCase> {};

TEST_P(RangeChoice, FollowsThePeakTheOperatorAndTheHold) {
    const RangeCase& c = GetParam();
    Tsmlist probe = spectrometer();
    probe.userRange = c.userRange;
    probe.range = c.old;
    probe.holdCount = c.holdCount;
    chooseRange(probe, c.old, c.peak);
    EXPECT_EQ(probe.range, c.range);
    EXPECT_EQ(probe.holdCount, c.holdAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Qsp720, RangeChoice,
    testing::Values(
        // 20000 counts in 100 ms: 2400 ms would give 480000, 200 ms gives 40000.
        RangeCase{"auto from Normal chooses Medium", 0, 2, 0, 20000.0f, 3, 3},
        RangeCase{"auto keeps a range that fits", 0, 3, 0, 20000.0f, 3, 0},
        RangeCase{"a peak no range holds uses Bright", 0, 2, 0, 200000.0f, 1, 3},
        RangeCase{"a dim light goes to Dark", 0, 1, 0, 100.0f, 4, 3},
        RangeCase{"the operator's range wins", 4, 2, 0, 60000.0f, 4, 3},
        RangeCase{"a hold keeps the range", 0, 2, 2, 200000.0f, 2, 1}),
    test::CaseName{});

TEST(Qsp720RangeHold, KeepsANewRangeForThreeResults) {
    Tsmlist probe = spectrometer();
    probe.range = 2;
    chooseRange(probe, 2, 20000.0f);  // to Medium
    ASSERT_EQ(probe.range, 3);
    const float tooBright = 60000.0f;  // Medium would now choose Normal
    for (int result = 0; result < 3; ++result) {
        chooseRange(probe, 3, tooBright);
        EXPECT_EQ(probe.range, 3) << "result " << result;
    }
    chooseRange(probe, 3, tooBright);
    EXPECT_EQ(probe.range, 2);
}

TEST(Qsp720Pixels, DarkIsSubtractedAndSaturationMarked) {
    Tsmlist probe = spectrometer();
    probe.calCurve.fill(0.5f);
    std::array<float, kQsp720ScanValues> values{};
    std::array<float, kProbeSamples> dark{};
    values[0] = 1000.0f, dark[0] = 400.0f;    // 600 left
    values[1] = 300.0f, dark[1] = 400.0f;     // nothing left
    values[2] = 64000.0f, dark[2] = 1000.0f;  // 63000: saturated
    values[3] = 63999.0f, dark[3] = 1000.0f;  // 62999: calibrated
    subtractDark(values, dark);
    calibratePixels(values, probe);
    EXPECT_FLOAT_EQ(values[0], 300.0f);
    EXPECT_FLOAT_EQ(values[1], 0.0f);
    EXPECT_FLOAT_EQ(values[2], kQsp720SaturatedValue);
    EXPECT_FLOAT_EQ(values[3], 62999.0f * 0.5f);
}

TEST(Qsp720Pixels, ThePeakIsTakenInsideTheVisiblePixels) {
    Tsmlist probe = spectrometer();
    std::vector<float> values(kQsp720Pixels, 1.0f);
    values[probe.firstPixel - 1] = 9000.0f;  // below 380 nm
    values[probe.lastPixel] = 8000.0f;       // the last below 780 nm is left out
    values[probe.firstPixel] = 500.0f;
    EXPECT_FLOAT_EQ(peakBetween(values, probe.firstPixel, probe.lastPixel), 500.0f);
}

TEST(Qsp720Spectrum, RunsFromAboveTheFirstToBelowTheLastPixel) {
    Tsmlist probe = spectrometer();
    std::vector<float> flat(kQsp720ScanValues, 2.0f);
    Tsprad spectrum;
    const Qsp720Sums sums = spectrumAndSums(flat, probe, spectrum);
    EXPECT_EQ(spectrum.firstWavelength, 341);  // trunc(340.7) + 1
    EXPECT_EQ(spectrum.lastWavelength, static_cast<int>(probe.wavelength[2047]) - 1);
    EXPECT_EQ(spectrum.count, spectrum.lastWavelength - spectrum.firstWavelength + 1);
    for (int l = 0; l < spectrum.count; ++l) ASSERT_FLOAT_EQ(spectrum.values[l], 2.0f) << l;

    // A flat spectrum sums the observer over 380..780 nm, divided by the rows walked from
    // 360 nm: past 830 nm that is the whole table of 471 rows.
    double ybar = 0.0;
    for (const ObserverRow& row : cie1931Observer)
        if (row.wavelength >= 380.0f && row.wavelength <= 780.0f) ybar += row.ybar;
    EXPECT_NEAR(sums.Y, 2.0 * ybar / 471.0, 1e-6);
}

TEST(Qsp720Spectrum, WavelengthsNoSpectrometerHasGiveNoSpectrum) {
    for (const WavelengthCoefficients c :
         {WavelengthCoefficients{0, 0, 0}, WavelengthCoefficients{-1, 0, 900},
          WavelengthCoefficients{1e300, 1e300, 0}, WavelengthCoefficients{NAN, 0, 400},
          WavelengthCoefficients{3, 0, 300}}) {
        Tsmlist probe = spectrometer();
        setPixelWavelengths(probe, c);
        std::vector<float> flat(kQsp720ScanValues, 2.0f);
        Tsprad spectrum;
        spectrum.count = 99;
        const Qsp720Sums sums = spectrumAndSums(flat, probe, spectrum);
        EXPECT_EQ(spectrum.count, 0) << c.c1 << " " << c.c3;
        EXPECT_EQ(sums.Y, 0.0);
    }
}

struct ResultCase {
    const char* what;
    int calScanStep;
    int range, userRange;
    const char* label;
    int result;
    float factorApplied;
};

class FinishedResult : public testing::TestWithParam<ResultCase> {};

TEST_P(FinishedResult, LabelsReturnsAndScales) {
    const ResultCase& c = GetParam();
    Tsmlist probe = spectrometer();
    probe.range = c.range;
    probe.userRange = c.userRange;
    probe.radCalCor = 3.0f;
    probe.rangeFactor = {1, 1, 2.0f, 1, 1, 1};
    std::vector<float> values(kQsp720ScanValues, 100.0f);
    std::array<float, kProbeSamples> dark{};
    float X = 0, Y = 0, Z = 0;
    Tsprad spectrum;
    const Qsp720ResultOutcome outcome =
        finishQsp720Result(probe, c.range, c.calScanStep,
                           Qsp720Values(values.data(), values.size()), dark, X, Y, Z, spectrum);
    EXPECT_EQ(spectrum.label, c.label);
    EXPECT_EQ(outcome.result, c.result);
    // 100 counts everywhere: Y is 100 × the ȳ sum / 471 × radCalCor / 100 ms × factor.
    double ybar = 0.0;
    for (const ObserverRow& row : cie1931Observer)
        if (row.wavelength >= 380.0f && row.wavelength <= 780.0f) ybar += row.ybar;
    EXPECT_NEAR(Y, 100.0 * ybar / 471.0 * 3.0 / 100.0 * c.factorApplied, 1e-4);
    EXPECT_FLOAT_EQ(probe.lastY, Y);
}

INSTANTIATE_TEST_SUITE_P(Qsp720, FinishedResult,
                         testing::Values(ResultCase{"a steady range counts", 0, 2, 2, "100ms", 1,
                                                    2.0f},
                                         ResultCase{"a change of range is announced", 0, 2, 3,
                                                    "Change to: 200ms", 0, 2.0f},
                                         ResultCase{"a calibration scan never scales", 17, 2, 2,
                                                    "Change to: 100ms", 1, 1.0f}),
                         test::CaseName{});

}  // namespace
}  // namespace vqs
