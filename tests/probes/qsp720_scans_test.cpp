// The dark and brightness scans, one completed result per step, row by row.

#include "probes/qsp720_scans.h"
#include "probes/qsp720_processing.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vqs
