// Chart frame, axes and the value-to-pixel mapping.

#include "charts/chart_geometry.h"
#include "chart_fixtures.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

using testing::blackPicture;
using testing::makeChart;
using testing::rgb;
using testing::rgbAt;

const auto kBlack = rgb(0, 0, 0);
const auto kWhite = rgb(255, 255, 255);
const auto kGrey = rgb(128, 128, 128);

// The x, y chromaticity geometry: 400 pixels for 0..0.9 in 9 divisions, 200 pixels high.
class AxisTest : public ::testing::Test {
  protected:
    TGraphConstrains chart = makeChart(400, 0.0f, 0.9f, 9, 200, 0.0f, 1.0f, 10);
    Canvas canvas = blackPicture(chart);
};

TEST_F(AxisTest, MappingTruncatesTowardZero) {
    struct Case {
        float a, b;
        int x, y;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 20, 220},   {0.9f, 1.0f, 420, 20},
        {0.45f, 0.5f, 220, 120}, {0.001f, 0.004f, 20, 219},  // 20.44 and 219.2
        {-0.1f, 1.2f, -24, -20},                             // -24.4 truncates to -24, not -25
    };
    for (const Case& c : cases) {
        EXPECT_EQ(toPixelX(chart, c.a), c.x) << c.a;
        EXPECT_EQ(toPixelY(chart, c.b), c.y) << c.b;
    }
}

TEST_F(AxisTest, HorizontalTicksKeepWholePixelSpacingAndTheLastFallsShort) {
    drawAxis(canvas, horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 0));
    // Labels fill their background from 5 pixels below the axis, over the lower tick half.
    for (int i = 0; i <= 9; ++i) EXPECT_EQ(rgbAt(canvas, 20 + 44 * i, 224), kWhite) << "tick " << i;
    EXPECT_EQ(rgbAt(canvas, 416 + 1, 223), kBlack);
    EXPECT_EQ(rgbAt(canvas, 416, 100), kGrey) << "tick 9 and its grid line at 396 pixels";
    EXPECT_EQ(rgbAt(canvas, 419, 220), kWhite) << "the axis line itself reaches 400";
    EXPECT_EQ(rgbAt(canvas, 420, 220), kBlack) << "but not its end pixel";
}

TEST_F(AxisTest, VerticalTicksRunUpwardToTheTopOfThePlot) {
    drawAxis(canvas, verticalAxis(chart, 0.0f, 0.1f, "%1.1f", 0));
    for (int i = 0; i <= 10; ++i) EXPECT_EQ(rgbAt(canvas, 11, 220 - 20 * i), kWhite) << i;
    EXPECT_EQ(rgbAt(canvas, 10, 220), kBlack) << "a major tick is 10 pixels";
    EXPECT_EQ(rgbAt(canvas, 15, 230 - 20), kBlack);
    EXPECT_EQ(rgbAt(canvas, 200, 20), kGrey) << "tick 10 is exactly at the top";
}

TEST_F(AxisTest, GridLinesStartAtTickOne) {
    drawAxis(canvas, horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 0));
    EXPECT_EQ(rgbAt(canvas, 20, 120), kBlack) << "tick 0 has no grid line";
    EXPECT_EQ(rgbAt(canvas, 64, 120), kGrey);
    EXPECT_EQ(rgbAt(canvas, 64, 21), kGrey);
    EXPECT_EQ(rgbAt(canvas, 64, 20), kBlack) << "the grid line excludes its end";

    Canvas noGrid = blackPicture(chart);
    AxisSpec axis = horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 0);
    axis.gridLength = 0;
    drawAxis(noGrid, axis);
    EXPECT_EQ(rgbAt(noGrid, 64, 120), kBlack);
}

TEST_F(AxisTest, MinorTicksSitAtEachMajorTickAndBetweenExceptAfterTheLast) {
    AxisSpec axis;
    axis.dx = 100;
    axis.x0 = 10;
    axis.y0 = 10;
    axis.divisions = 2;
    axis.minorTicks = 2;
    Canvas dark(200, 40);
    dark.setBrushColour(qRgb(0, 0, 0));
    dark.setPenColour(qRgb(0, 0, 0));
    dark.rectangle(0, 0, 200, 40);
    drawAxis(dark, axis);
    // Major ticks at 10, 60, 110; minor ticks at each of them and halfway between.
    for (int x : {10, 35, 60, 85}) EXPECT_EQ(rgbAt(dark, x, 14), kWhite) << x;
    EXPECT_EQ(rgbAt(dark, 35, 15), kBlack) << "a minor tick is 5 pixels";
    EXPECT_EQ(rgbAt(dark, 60, 19), kWhite) << "a major tick is 10 pixels";
    EXPECT_EQ(rgbAt(dark, 135, 12), kBlack) << "no minor tick after the last major tick";
}

TEST(AxisLabels, FollowTheFirstTwoValuesAndTheFormat) {
    AxisSpec axis;
    axis.firstValue = 0.30f;
    axis.secondValue = 0.31f;
    axis.format = "%3.2f";
    axis.divisions = 2;
    EXPECT_EQ(axisLabel(axis, 0), QStringLiteral("0.30"));
    EXPECT_EQ(axisLabel(axis, 1), QStringLiteral("0.31"));
    EXPECT_EQ(axisLabel(axis, 2), QStringLiteral("0.32"));
    axis.firstValue = 10.0f;
    axis.secondValue = 20.0f;
    axis.format = "%3.0f";
    EXPECT_EQ(axisLabel(axis, 8), QStringLiteral(" 90"));
    axis.secondValue = 10.0f;
    EXPECT_EQ(axisLabel(axis, 1), QString());
}

// Counts ink in the label band below a horizontal axis, away from the ticks.
int labelInk(const Canvas& canvas, int firstX, int lastX, int top, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = firstX; x <= lastX; ++x) ink += canvas.pixel(x, y) == qRgb(255, 255, 255);
    return ink;
}

TEST_F(AxisTest, EqualValuesDrawTicksAndNameButNoLabel) {
    drawAxis(canvas, horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 0));
    EXPECT_GT(labelInk(canvas, 50, 62, 225, 240), 0) << "the label of tick 1 left of its tick";

    Canvas unlabelled = blackPicture(chart);
    drawAxis(unlabelled, horizontalAxis(chart, 0.5f, 0.5f, "%1.1f", 0));
    EXPECT_EQ(labelInk(unlabelled, 50, 62, 225, 240), 0);
    EXPECT_EQ(rgbAt(unlabelled, 64, 229), kWhite) << "the ticks remain";
    EXPECT_EQ(rgbAt(unlabelled, 64, 230), kBlack) << "a major tick is 10 pixels";
    EXPECT_GT(labelInk(unlabelled, 422, 438, 210, 220), 0) << "the name remains";
}

TEST_F(AxisTest, PrintStyleDrawsBlackInkAndGreyGridOnWhite) {
    const TGraphConstrains print = makeChart(400, 0.0f, 0.9f, 9, 200, 0.0f, 1.0f, 10, kPrintStyle);
    Canvas paper(pictureWidth(print), pictureHeight(print));
    drawChartFrame(paper, print, qRgb(0, 0, 0));
    EXPECT_EQ(rgbAt(paper, 0, 0), kWhite) << "no border, no fill";
    EXPECT_EQ(rgbAt(paper, 5, 5), kWhite);
    drawAxis(paper, horizontalAxis(print, 0.0f, 0.1f, "%1.1f", 0));
    drawAxis(paper, verticalAxis(print, 0.0f, 0.1f, "%1.1f", 0));
    EXPECT_EQ(rgbAt(paper, 100, 220), kBlack);
    EXPECT_EQ(rgbAt(paper, 64, 222), kBlack);
    EXPECT_EQ(rgbAt(paper, 64, 120), kGrey);
    EXPECT_EQ(rgbAt(paper, 200, 40), kGrey);
    EXPECT_EQ(paper.fontColour(), qRgb(0, 0, 0));
}

TEST_F(AxisTest, ScreenFrameFillsAndOutlinesThePicture) {
    Canvas picture(pictureWidth(chart), pictureHeight(chart));
    drawChartFrame(picture, chart, qRgb(64, 64, 64));
    EXPECT_EQ(rgbAt(picture, 0, 0), kWhite);
    EXPECT_EQ(rgbAt(picture, 439, 239), kWhite);
    EXPECT_EQ(rgbAt(picture, 1, 1), rgb(64, 64, 64));
    EXPECT_EQ(rgbAt(picture, 438, 238), rgb(64, 64, 64));
}

TEST_F(AxisTest, TitleUsesTheInkOfTheLastAxis) {
    drawAxis(canvas, horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 0));
    drawChartTitle(canvas, chart, QStringLiteral("TITLE"));
    EXPECT_EQ(canvas.fontSize(), 8);
    EXPECT_GT(labelInk(canvas, 20, 60, 2, 14), 0);
    EXPECT_EQ(labelInk(canvas, 0, 19, 2, 14), 0) << "the title starts at x.margin";
}

}  // namespace
}  // namespace vqs
