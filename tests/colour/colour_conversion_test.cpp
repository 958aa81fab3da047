#include "colour/colour_conversion.h"
#include "colour/fixed_text.h"

#include "tests/support/case_name.h"
#include "tests/support/qt_print.h"

#include <gtest/gtest.h>

#include <limits>

namespace vqs {
namespace {

struct ReadingCase {
    const char* what;
    float X, Y, Z;
    const char *x, *y, *u, *v;  // as the readout shows them
    int32_t cct;
};

class ConvertReading : public testing::TestWithParam<ReadingCase> {};

TEST_P(ConvertReading, DerivesTheReadoutQuantities) {
    const ReadingCase& c = GetParam();
    Tprobevals r;
    r.X = c.X;
    r.Y = c.Y;
    r.Z = c.Z;
    convertReading(r);
    EXPECT_EQ(fixedText(r.x, 5, 4), c.x);
    EXPECT_EQ(fixedText(r.y, 5, 4), c.y);
    EXPECT_EQ(fixedText(r.up, 5, 4), c.u);
    EXPECT_EQ(fixedText(r.vp, 5, 4), c.v);
    EXPECT_EQ(r.cct, c.cct);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertReading,
    testing::Values(
        ReadingCase{"black", 0, 0, 0, "0.0000", "0.0000", "0.0000", "0.0000", 0},
        ReadingCase{"D65 white", 95.047f, 100.0f, 108.883f, "0.3127", "0.3290", "0.1978",
                    "0.4683", 6502},
        // Components that cancel in the sum give zeros, not a division by zero.
        ReadingCase{"noise cancelling the sum", 1.0f, -2.0f, 1.0f, "0.0000", "0.0000", "0.0000",
                    "0.0000", 0},
        // Only the u', v' denominator vanishes: x, y stay, u', v' show zero.
        ReadingCase{"u'v' denominator zero", 3.0f, 0.0f, -1.0f, "1.5000", "0.0000", "0.0000",
                    "0.0000", 299323}),
    test::CaseName());

TEST(McCamyCct, WildValuesSaturateInsteadOfOverflowing) {
    EXPECT_EQ(mccamyCct(1e6f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(mccamyCct(-1e6f), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(mccamyCct(std::numeric_limits<float>::quiet_NaN()), 0);
}

struct TargetCase {
    const char* what;
    bool inXy;
    float a, b;
    const char *x, *y, *u, *v;
    int32_t cct;
};

class TargetChromaticity : public testing::TestWithParam<TargetCase> {};

TEST_P(TargetChromaticity, CompletesTheOtherPair) {
    const TargetCase& c = GetParam();
    const Chromaticity t = targetChromaticity(c.inXy, c.a, c.b);
    EXPECT_EQ(fixedText(t.x, 5, 4), c.x);
    EXPECT_EQ(fixedText(t.y, 5, 4), c.y);
    EXPECT_EQ(fixedText(t.up, 5, 4), c.u);
    EXPECT_EQ(fixedText(t.vp, 5, 4), c.v);
    EXPECT_EQ(t.cct, c.cct);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TargetChromaticity,
    testing::Values(
        TargetCase{"D65 grey given as xy", true, 0.3127f, 0.3290f, "0.3127", "0.3290", "0.1978",
                   "0.4683", 6504},
        TargetCase{"EBU1 given as uv", false, 0.253f, 0.5015f, "0.4145", "0.3651", "0.2530",
                   "0.5015", 3094}),
    test::CaseName());

}  // namespace
}  // namespace vqs
