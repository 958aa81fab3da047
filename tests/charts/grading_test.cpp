// Target gamma, the DICOM Greyscale Standard Display Function and the measured values the gamma
// panels plot.

#include "charts/grading.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vqs {
namespace {

TEST(Gsdf, LuminanceOfWholeIndicesMatchesTheStandardsFormula) {
    EXPECT_NEAR(gsdfLuminance(1), 0.049982, 0.0000005);
    EXPECT_NEAR(gsdfLuminance(512), 130.065284, 0.0000005);
    EXPECT_NEAR(gsdfLuminance(1023), 3993.3296, 0.00005);
}

TEST(Gsdf, JndIndexInvertsTheLuminance) {
    for (int j : {1, 2, 50, 100, 300, 512, 700, 1000, 1023})
        EXPECT_EQ(jndIndex(gsdfLuminance(j)), j) << j;
    EXPECT_EQ(jndIndex(0.05), 1);       // j(0.05) = 1.0304
    EXPECT_EQ(jndIndex(4000.0), 1023);  // j(4000) = 1023.164
}

TEST(Gsdf, LuminanceWithoutAnIndexStaysDefined) {
    EXPECT_EQ(jndIndex(0.0), 0);
    EXPECT_EQ(jndIndex(-1.0), 0);
}

TEST(TargetGamma, SettingTextBecomesTheExponent) {
    struct Case {
        const char* text;
        float gamma;
    };
    const Case cases[] = {
        {"2.2", 2.2f},    {"2.4", 2.4f},  {" 1.8", 1.8f}, {"2.5abc", 2.5f},
        {"1", 1.0f},      {"0.5", 2.35f}, {"abc", 2.35f}, {"", 2.35f},
        {"DICOM", 2.35f}, {"nan", 2.35f}, {"2,4", 2.0f},  // the decimal separator is a full stop
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(effectiveTargetGamma(QString::fromLatin1(c.text)), c.gamma) << c.text;
}

TEST(TargetGamma, OnlyTheExactTextDicomSelectsTheStandardsCurve) {
    EXPECT_TRUE(isDicomTarget(QStringLiteral("DICOM")));
    EXPECT_FALSE(isDicomTarget(QStringLiteral("dicom")));
    EXPECT_FALSE(isDicomTarget(QStringLiteral("DICOM ")));
}

class MeasuredValues : public ::testing::Test {
  protected:
    PatchCatalogue targets = makePatchCatalogue();
    Tcaldaten report;
    void setY(int slot, float y) { report.xyz[slot].Y = y; }
};

TEST_F(MeasuredValues, GammaPerLevel) {
    setY(4, 200.0f);  // Grey20
    setY(24, 0.5f);   // Grey0
    setY(14, 30.5f);  // Grey10, level 126
    setY(12, 1.2f);   // Grey12: only 0.7 above black
    EXPECT_NEAR(measuredGamma(report, targets, 14, 24, 4),
                std::log(30.0 / 200.0) / std::log(126.0 / 255.0), 1e-5);
    EXPECT_NEAR(measuredGamma(report, targets, 12, 24, 4),
                std::log(1.0 / 200.0) / std::log(152.0 / 255.0), 1e-5)
        << "differences below 1 cd/m² count as 1";
    EXPECT_FLOAT_EQ(measuredGamma(report, targets, 10, 24, 4), 1.0f) << "not measured";
    setY(4, 0.0f);
    EXPECT_FLOAT_EQ(measuredGamma(report, targets, 14, 24, 4), 1.0f) << "no white";
}

TEST_F(MeasuredValues, LevelGammaHasNoValueAtTheEndsOfTheScale) {
    EXPECT_FLOAT_EQ(levelGamma(targets, 4, 100.0f, 0.0f, 100.0f), 1.0f);   // level 255
    EXPECT_FLOAT_EQ(levelGamma(targets, 24, 100.0f, 0.0f, 100.0f), 1.0f);  // level 0
    EXPECT_TRUE(std::isfinite(levelGamma(targets, 5, 80.0f, 0.0f, 100.0f)));
}

TEST_F(MeasuredValues, RelativeLuminanceAndItsMissingPatch) {
    setY(4, 250.0f);
    setY(24, 0.25f);
    setY(14, 50.2f);
    EXPECT_NEAR(measuredRelative(report, 14, 24, 4), 100.0 * 49.95 / 249.75, 1e-4);
    EXPECT_NEAR(measuredRelative(report, 10, 24, 4), -100.0 * 0.25 / 249.75, 1e-5)
        << "a missing patch lies just below 0";
    setY(24, 250.0f);
    EXPECT_FLOAT_EQ(measuredRelative(report, 14, 24, 4), 0.0f) << "white equal to black";
}

TEST_F(MeasuredValues, DicomTargetFallsBackWhenBlackOrWhiteIsMissing) {
    const GsdfTarget none = gsdfTarget(report, targets, 24, 4);
    EXPECT_FLOAT_EQ(none.blackLuminance, 0.5f);
    EXPECT_FLOAT_EQ(none.whiteLuminance, 100.0f);
    EXPECT_EQ(none.blackJnd, jndIndex(0.5));

    setY(4, 250.0f);
    setY(24, 0.25f);
    const GsdfTarget measured = gsdfTarget(report, targets, 24, 4);
    EXPECT_NEAR(gsdfTargetLuminance(measured, targets, 24), 0.25, 0.005);
    EXPECT_NEAR(gsdfTargetLuminance(measured, targets, 4), 250.0, 1.0);
    const double middle = gsdfTargetLuminance(measured, targets, 14);
    EXPECT_EQ(jndIndex(middle),
              static_cast<int>(measured.blackJnd +
                               (measured.whiteJnd - measured.blackJnd) * (126.0f / 255.0f)));
}

TEST(ToUv, ZeroStaysOutsideEveryTolerance) {
    const UvPoint d65 = toUV(95.047f, 100.0f, 108.883f);
    EXPECT_NEAR(d65.up, 0.1978, 0.0001);
    EXPECT_NEAR(d65.vp, 0.4683, 0.0001);
    const UvPoint none = toUV(0.0f, 0.0f, 0.0f);
    EXPECT_EQ(none.up, 0.0f);
    EXPECT_EQ(none.vp, 0.0f);
}

}  // namespace
}  // namespace vqs

namespace vqs {
namespace {

constexpr float kD65u = 0.1978f;
constexpr float kD65v = 0.4683f;

TEST(GreyGrade, NestedEllipsesAroundD65) {
    struct Case {
        float du, dv;
        const char* grade;
    };
    const Case cases[] = {
        {0.0f, 0.0f, "1"},       {0.0021f, 0.0f, "2"},     {0.0f, 0.0030f, "2"},
        {0.0015f, 0.0030f, "3"}, {0.0020f, 0.0030f, "--"}, {-0.0021f, 0.0f, "2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointGrade(kD65u + c.du, kD65v + c.dv), QString::fromLatin1(c.grade))
            << c.du << ", " << c.dv;
}

TEST(EbuCircle, RadiusIsHalfTheWidth) {
    EXPECT_TRUE(insideTolerance(0.3f, 0.5f, 0.006f, 0.006f, 0.3029f, 0.5f));
    EXPECT_FALSE(insideTolerance(0.3f, 0.5f, 0.006f, 0.006f, 0.3031f, 0.5f));
}

class GradeReportTest : public ::testing::Test {
  protected:
    PatchCatalogue targets = makePatchCatalogue();
    Tcaldaten report;
    void greysAtD65() {
        for (int slot = 4; slot <= 24; ++slot) report.xyz[slot] = {95.047f, 100.0f, 108.883f};
    }
};

TEST_F(GradeReportTest, EmptyReportIsAllOut) {
    const GradingTexts texts = gradeReport(report, targets);
    EXPECT_EQ(texts.greyScale, QStringLiteral("Grade 1: 0%  2: 0%  3: 0%  Out: 100%"));
    EXPECT_EQ(texts.colours, QStringLiteral("In: 0%  Out: 100%"));
}

TEST_F(GradeReportTest, GreysAtD65AreAllGradeOneAndOneOutsideCountsOnce) {
    greysAtD65();
    EXPECT_EQ(gradeReport(report, targets).greyScale,
              QStringLiteral("Grade 1: 100%  2: 100%  3: 100%  Out: 0%"));
    report.xyz[10] = {100.0f, 100.0f, 100.0f};  // far off
    report.xyz[24] = {100.0f, 100.0f, 100.0f};  // Grey0 is not graded
    EXPECT_EQ(gradeReport(report, targets).greyScale,
              QStringLiteral("Grade 1: 95%  2: 95%  3: 95%  Out: 5%"));
}

}  // namespace
}  // namespace vqs
