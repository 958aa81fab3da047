// Spectral locus, its crossings, the fill colours and the diagram in both styles.

#include "chart_fixtures.h"
#include "charts/chromaticity_diagram.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

using testing::makeChart;
using testing::rgb;
using testing::rgbAt;

TEST(Locus, EndsOfThePurpleLineInBothModes) {
    struct Case {
        bool xyMode;
        float firstA, firstB, lastA, lastB;
    };
    const Case cases[] = {{true, 0.1664f, 0.0183f, 0.7142f, 0.2858f},
                          {false, 0.2305f, 0.0571f, 0.5712f, 0.5143f}};
    for (const Case& c : cases) {
        const Locus locus = buildLocus(c.xyMode);
        ASSERT_EQ(locus.count, 89);
        const LocusRow& first = locus.rows[0];
        const LocusRow& last = locus.rows[locus.count - 1];
        EXPECT_EQ(first.wavelength, 390);
        EXPECT_EQ(last.wavelength, 830);
        EXPECT_NEAR(first.a, c.firstA, 0.00005) << c.xyMode;
        EXPECT_NEAR(first.b, c.firstB, 0.00005) << c.xyMode;
        EXPECT_NEAR(last.a, c.lastA, 0.00005) << c.xyMode;
        EXPECT_NEAR(last.b, c.lastB, 0.00005) << c.xyMode;
        EXPECT_EQ(locus.rows[locus.count].wavelength, 0);
    }
}

TEST(Locus, CrossingsOfAVerticalLine) {
    const Locus locus = buildLocus(true);
    const LocusCrossings none = locusCrossings(locus, -0.01f);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(none.b1, -1.0f);
    EXPECT_EQ(none.b2, -1.0f);

    const LocusCrossings two = locusCrossings(locus, 0.1f);  // the blue and the green side
    ASSERT_EQ(two.count, 2);
    EXPECT_LT(std::min(two.b1, two.b2), 0.2f);
    EXPECT_GT(std::max(two.b1, two.b2), 0.7f);

    const LocusCrossings one = locusCrossings(locus, 0.3f);  // closed by the purple line
    ASSERT_EQ(one.count, 1);
    EXPECT_GT(one.b1, 0.6f);
    EXPECT_EQ(one.b2, -1.0f);
}

TEST(FillColour, WhitePointIsWhiteAndAPrimaryIsSaturated) {
    for (bool xyMode : {true, false}) {
        const QRgb white = xyMode ? chromaticityColour(0.3127f, 0.329f, true)
                                  : chromaticityColour(0.1978f, 0.4683f, false);
        EXPECT_GE(qRed(white), 252);
        EXPECT_GE(qGreen(white), 252);
        EXPECT_GE(qBlue(white), 252);
    }
    const QRgb red = chromaticityColour(0.64f, 0.33f, true);
    EXPECT_EQ(qRed(red), 255);
    EXPECT_LT(qGreen(red), 5);
    EXPECT_LT(qBlue(red), 5);
    EXPECT_EQ(chromaticityColour(0.3f, 0.0f, true), qRgb(0, 0, 0)) << "no division by zero";
}

class DiagramTest : public ::testing::Test {
  protected:
    PatchCatalogue targets = makePatchCatalogue();
    // Starts left of the locus, so a column without crossings is in view.
    TGraphConstrains chart = makeChart(400, -0.1f, 0.8f, 9, 400, 0.0f, 0.9f, 9);
    TGraphConstrains print = makeChart(400, -0.1f, 0.8f, 9, 400, 0.0f, 0.9f, 9, kPrintStyle);

    Canvas draw(const TGraphConstrains& c, int options = 0) {
        Canvas canvas(pictureWidth(c), pictureHeight(c));
        drawChromaticityDiagram(canvas, true, c, options, buildLocus(true), targets);
        return canvas;
    }
};

TEST_F(DiagramTest, ScreenFillStaysInsideTheLocus) {
    const Canvas canvas = draw(chart);
    const int left = toPixelX(chart, -0.05f);
    EXPECT_EQ(rgbAt(canvas, left, toPixelY(chart, 0.3f)), rgb(0, 0, 0)) << "no crossing";
    const int x = toPixelX(chart, 0.3f) + 1;  // beside the grid line
    EXPECT_NE(rgbAt(canvas, x, toPixelY(chart, 0.4f)), rgb(0, 0, 0)) << "inside";
    EXPECT_EQ(rgbAt(canvas, x, toPixelY(chart, 0.03f)), rgb(0, 0, 0)) << "below the purple line";
    EXPECT_EQ(rgbAt(canvas, x, toPixelY(chart, 0.8f)), rgb(0, 0, 0)) << "above the locus";
}

TEST_F(DiagramTest, PrintShowsTheLocusAsDotsOnWhite) {
    const Canvas canvas = draw(print);
    const int x = toPixelX(print, 0.3f) + 1;
    int black = 0;
    for (int y = toPixelY(print, 0.6f); y <= toPixelY(print, 0.1f); ++y) {
        EXPECT_NE(rgbAt(canvas, x, y), rgb(0, 0, 0)) << "nothing between the dots, y " << y;
        black += canvas.pixel(x, y) == qRgb(0, 0, 0);
    }
    EXPECT_EQ(black, 0);
    EXPECT_EQ(rgbAt(canvas, x, toPixelY(print, 0.4f)), rgb(255, 255, 255));
    int dots = 0;
    for (int y = 21; y < 420; ++y) dots += canvas.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_GE(dots, 2) << "the locus above and the purple line below";
    // The D65 cross in red: its horizontal arm ends 3 pixels right of the white point.
    const int d65x = toPixelX(print, 0.3127f);
    const int d65y = toPixelY(print, 0.329f);
    EXPECT_EQ(rgbAt(canvas, d65x + 2, d65y + 2), rgb(255, 0, 0));
}

TEST_F(DiagramTest, EbuTargetsOnlyWithTheirOption) {
    // EBU8 at u', v' (0.3248, 0.4974); the oblique cross passes through its centre.
    const XyPoint ebu8 = uvToXy(0.3248f, 0.4974f);
    const Canvas without = draw(print, 0);
    const Canvas with = draw(print, kDiagramEbuTargets);
    const float sx = scaleX(print);
    const float sy = scaleY(print);
    const int x = static_cast<int>(20 + (ebu8.x - print.x.min) * sx - 5);
    const int y = static_cast<int>(420 - ((ebu8.y - print.y.min) * sy + 5));
    EXPECT_EQ(rgbAt(with, x, y), rgb(128, 128, 128));
    EXPECT_EQ(rgbAt(without, x, y), rgb(255, 255, 255));
}

}  // namespace
}  // namespace vqs
