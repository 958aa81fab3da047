// The dark and brightness scans, one completed result per step, row by row.

#include "probes/qsp720_scans.h"
#include "probes/qsp720_processing.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <cmath>
#include <limits>
#include <vector>

namespace vqs {
namespace {

TEST(Qsp720DarkScan, TakesTheDarkOfEveryRangeFromDarkToBright) {
    Tsmlist probe;
    probe.range = 2;
    int step = kDarkScanStart;
    // Each result's mean scan carries its step number; `old` is the range it was taken in.
    const struct {
        int step, rangeAfter;
        int darkWritten;  // range whose dark spectrum now holds this scan, 0 for none
    } rows[] = {{9, 4, 2}, {8, 4, 0}, {7, 3, 4}, {6, 3, 0}, {5, 2, 3},
                {4, 2, 0}, {3, 1, 2}, {2, 1, 0}, {1, 0, 1}};
    for (const auto& row : rows) {
        ASSERT_EQ(step, row.step);
        const int old = probe.range;
        const std::vector<float> mean(kProbeSamples, static_cast<float>(row.step));
        const CalScanEnd end = applyCalScanStep(probe, step, mean, qsp720DarkOf(probe, old));
        EXPECT_EQ(probe.range, row.rangeAfter) << "step " << row.step;
        if (row.darkWritten != 0) {
            EXPECT_EQ(probe.darkData[row.darkWritten - 1][2047], row.step) << "step " << row.step;
        }
        EXPECT_EQ(end, row.step == 1 ? CalScanEnd::DarkScanDone : CalScanEnd::None);
    }
    EXPECT_EQ(step, 0);
    // Range 2's first dark (step 9, from before the scan) was overwritten at step 3.
    EXPECT_EQ(probe.darkData[0][0], 1.0f);
    EXPECT_EQ(probe.darkData[1][0], 3.0f);
    EXPECT_EQ(probe.darkData[2][0], 5.0f);
    EXPECT_EQ(probe.darkData[3][0], 7.0f);
}

TEST(Qsp720BrightnessScan, KeepsTheFactorsThatBringEachRangeToDark) {
    Tsmlist probe;
    probe.rangeFactor = {1, 9, 9, 9, 9, 9};
    int step = kBrightnessScanStart;
    std::vector<float> mean(kProbeSamples, 0.0f);
    // The Y of the result before each step, and the factor it lands in.
    const struct {
        int step;
        float lastY;
        int factor, rangeAfter;
    } rows[] = {{19, 50.0f, 5, 4}, {18, 51.0f, 4, 4}, {17, 40.0f, 4, 3},
                {16, 41.0f, 3, 3}, {15, 20.0f, 3, 2}, {14, 21.0f, 2, 2},
                {13, 10.0f, 2, 1}, {12, 11.0f, 1, 1}, {11, 8.0f, 1, 0}};
    for (const auto& row : rows) {
        ASSERT_EQ(step, row.step);
        probe.lastY = row.lastY;
        const CalScanEnd end = applyCalScanStep(probe, step, mean, probe.darkData[0]);
        EXPECT_EQ(probe.range, row.rangeAfter) << "step " << row.step;
        if (row.step != 11) {
            EXPECT_EQ(probe.rangeFactor[row.factor], row.lastY) << row.step;
        }
        if (row.step == 19) {
            EXPECT_EQ(probe.rangeFactor[1], 1.0f) << "all factors start at 1";
        }
        EXPECT_EQ(end, row.step == 11 ? CalScanEnd::BrightnessScanDone : CalScanEnd::None);
    }
    EXPECT_EQ(step, 0);
    EXPECT_FLOAT_EQ(probe.rangeFactor[1], 40.0f / 8.0f);
    EXPECT_FLOAT_EQ(probe.rangeFactor[2], 40.0f / 10.0f);
    EXPECT_FLOAT_EQ(probe.rangeFactor[3], 40.0f / 20.0f);
    EXPECT_FLOAT_EQ(probe.rangeFactor[4], 1.0f);
    EXPECT_FLOAT_EQ(probe.rangeFactor[5], 50.0f);
    EXPECT_FLOAT_EQ(probe.rangeFactor[0], 1.0f);
}

TEST(Qsp720BrightnessScan, ARangeThatSawNoLightKeepsFactorOne) {
    Tsmlist probe;
    int step = 11;
    probe.rangeFactor = {1, 0, 5, 10, 0, 1};  // no light at Dark: no factor can be made
    probe.lastY = 0.0f;
    applyCalScanStep(probe, step, {}, probe.darkData[0]);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(probe.rangeFactor[k], 1.0f) << k;
}

TEST(Qsp720CalScan, AStepNoControlStartsEndsTheScan) {
    for (int bad : {-3, 10, 20, 1000}) {
        Tsmlist probe;
        probe.range = 2;
        int step = bad;
        EXPECT_EQ(applyCalScanStep(probe, step, {}, probe.darkData[0]), CalScanEnd::None);
        EXPECT_EQ(step, 0);
        EXPECT_EQ(probe.range, 2);
    }
}

TEST(Qsp720BrightnessScan, SaysWhatEachRangeSawBeforeTheFactors) {
    Tsmlist probe;
    int step = kBrightnessScanLast;
    probe.rangeFactor = {1, 0, 5, 10, 20, 1};
    probe.lastY = 2.0f;
    RangeLuminances seen{};
    applyCalScanStep(probe, step, {}, probe.darkData[0], &seen);
    EXPECT_EQ(seen, (RangeLuminances{1, 2, 5, 10, 20}));
    EXPECT_FLOAT_EQ(probe.rangeFactor[1], 10.0f);
}

// A dark scan's spectra, 400 visible pixels: a dark level with its pattern in the Bright range,
// the same plus the dark current in the Dark range, and what the case adds there.
struct DarkDoubtCase {
    const char* what;
    int fromPixel, toPixel;  // where the Dark range gets `extra` more
    float extra;
    float previousOffset;  // the previous dark scan: this much below the new one; NaN for none
    const char* doubt;     // what the doubt says, empty for none
};

class Qsp720DarkScanDoubt : public testing::TestWithParam<DarkDoubtCase> {};

TEST_P(Qsp720DarkScanDoubt, TellsLightFromDarkness) {
    const DarkDoubtCase& c = GetParam();
    Tsmlist probe;
    probe.firstPixel = 99;
    probe.lastPixel = 499;
    for (int k = 0; k < kProbeSamples; ++k) {
        const float level = 900.0f + 40.0f * std::sin(0.013f * k);
        for (int r = 0; r < 3; ++r) probe.darkData[r][k] = level + 12.5f * (r + 1);
        probe.darkData[3][k] = level + 600.0f;
    }
    DarkSpectra previous{};
    if (!std::isnan(c.previousOffset))
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < kProbeSamples; ++k)
                previous[r][k] = probe.darkData[r][k] - c.previousOffset;
    for (int k = c.fromPixel; k <= c.toPixel; ++k) probe.darkData[3][k] += c.extra;
    const QString doubt = darkScanDoubt(probe, previous);
    if (*c.doubt == '\0')
        EXPECT_TRUE(doubt.isEmpty()) << doubt.toStdString();
    else
        EXPECT_TRUE(doubt.contains(QString::fromLatin1(c.doubt))) << doubt.toStdString();
}

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Qsp720, Qsp720DarkScanDoubt,
    testing::Values(DarkDoubtCase{"darkness", 0, -1, 0, kNone, ""},
                    DarkDoubtCase{"three hot pixels", 200, 202, 20000, kNone, ""},
                    DarkDoubtCase{"faint light", 250, 350, 300, kNone, ""},
                    DarkDoubtCase{"the light of a display", 250, 350, 5000, kNone, "saw light"},
                    DarkDoubtCase{"light outside the visible pixels", 600, 900, 5000, kNone, ""},
                    DarkDoubtCase{"as dark as the previous scan", 0, -1, 0, 10.0f, ""},
                    DarkDoubtCase{"far above the previous scan", 0, 2047, 2000, 10.0f,
                                  "previous dark scan"}),
    test::CaseName{});

struct BrightnessDoubtCase {
    const char* what;
    RangeLuminances seen;
    const char* unlit;  // the ranges named, "" for none
};

class Qsp720BrightnessScanDoubt : public testing::TestWithParam<BrightnessDoubtCase> {};

TEST_P(Qsp720BrightnessScanDoubt, NamesTheRangesThatSawNoLight) {
    const BrightnessDoubtCase& c = GetParam();
    const QString doubt = brightnessScanDoubt(c.seen);
    const QStringList unlit = QString::fromLatin1(c.unlit).split(' ', Qt::SkipEmptyParts);
    EXPECT_EQ(doubt.isEmpty(), unlit.isEmpty()) << doubt.toStdString();
    for (const char* range : {"Bright", "Normal", "Medium", "Dark"})
        EXPECT_EQ(doubt.contains(QStringLiteral("%1 (Y").arg(QLatin1String(range))),
                  unlit.contains(QLatin1String(range)))
            << range << ": " << doubt.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Qsp720, Qsp720BrightnessScanDoubt,
    testing::Values(
        BrightnessDoubtCase{"every range lit", {0, 10.0f, 10.2f, 9.9f, 10.1f}, ""},
        BrightnessDoubtCase{"ranges that disagree", {0, 2.0f, 5.0f, 10.0f, 20.0f}, ""},
        BrightnessDoubtCase{"the Dark range unlit", {0, 10.0f, 10.0f, 10.0f, 0.0f}, "Dark"},
        BrightnessDoubtCase{"Bright barely lit", {0, 0.001f, 10.0f, 10.0f, 10.0f}, "Bright"},
        BrightnessDoubtCase{"a reading no number", {0, kNone, 10.0f, 10.0f, 10.0f}, "Bright"},
        BrightnessDoubtCase{"no light at all", {0, 0, 0, 0, 0}, "Bright Normal Medium Dark"}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
