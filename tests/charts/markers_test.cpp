// Patch markers, the current reading, the measured gamut and the tolerance figures.

#include "chart_fixtures.h"
#include "charts/grading.h"
#include "charts/tolerance_field.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

using testing::blackPicture;
using testing::makeChart;
using testing::rgb;
using testing::rgbAt;

// The u', v' grey-scale panel: 160 pixels for 0.02 in both directions.
class MarkerTest : public ::testing::Test {
  protected:
    PatchCatalogue targets = makePatchCatalogue();
    TGraphConstrains chart = makeChart(160, 0.19f, 0.21f, 2, 160, 0.46f, 0.48f, 2);
    Canvas canvas = blackPicture(chart);
};

TEST_F(MarkerTest, PatchColoursFollowTheirSlot) {
    struct Case {
        int slot;
        const char* name;
        QRgb fill;
    };
    const Case cases[] = {
        {24, "Grey0", qRgb(128, 128, 128)},  {4, "Grey20", qRgb(255, 255, 255)},
        {42, "DICOM19", qRgb(235, 235, 58)}, {61, "DICOM0", qRgb(0, 0, 0)},
        {32, "EBU8", qRgb(201, 92, 90)},
    };
    for (const Case& c : cases) {
        Canvas picture = blackPicture(chart);
        picture.setPixel(100, 100, qRgb(1, 2, 3));
        drawPatchMarker(picture, chart, targets, 0.2f, 0.47f, c.slot);  // at pixel (100, 100)
        EXPECT_EQ(rgbAt(picture, 100, 100), rgb(c.fill)) << c.name;
        EXPECT_EQ(rgbAt(picture, 96, 100), rgb(0, 0, 0)) << c.name << ": black outline";
        EXPECT_EQ(rgbAt(picture, 103, 100), rgb(0, 0, 0)) << c.name << ": 8 pixels wide";
    }
}

TEST_F(MarkerTest, ReadingsOutsideAreDrawnAtTheBorder) {
    drawPatchMarker(canvas, chart, targets, 1.0f, 0.47f, 24);
    EXPECT_EQ(rgbAt(canvas, 180, 100), rgb(128, 128, 128));
}

TEST_F(MarkerTest, PrintNumbersEbuColoursWithAClearBrush) {
    TGraphConstrains print = chart;
    print.style = kPrintStyle;
    Canvas paper(pictureWidth(print), pictureHeight(print));
    drawPatchMarker(paper, print, targets, 0.2f, 0.47f, 32);
    EXPECT_EQ(paper.brushStyle(), BrushStyle::clear);
    int ink = 0;
    for (int y = 100; y < 112; ++y)
        for (int x = 104; x < 116; ++x) ink += paper.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_GT(ink, 0) << "the number 8 beside the dot";

    Canvas grey(pictureWidth(print), pictureHeight(print));
    drawPatchMarker(grey, print, targets, 0.2f, 0.47f, 10);
    EXPECT_EQ(grey.brushStyle(), BrushStyle::solid) << "greys carry no number";
}

TEST_F(MarkerTest, CurrentPointRestoresTheBackgroundFirst) {
    TGraphConstrains c = chart;
    c.refA = 0.1978f;
    c.refB = 0.4683f;
    const Canvas background = blackPicture(c);
    canvas.setPixel(50, 50, qRgb(255, 0, 0));  // an earlier marker

    Canvas untouched = canvas;
    drawCurrentPoint(untouched, c, 0.2f, 0.47f, background, 0);
    EXPECT_EQ(untouched.image(), canvas.image()) << "marker 0 draws nothing";

    drawCurrentPoint(canvas, c, 0.2f, 0.47f, background, 1);
    EXPECT_EQ(rgbAt(canvas, 50, 50), rgb(0, 0, 0)) << "restored";
    // Diamond of half-size 5 around (100, 100), in black, on a black picture: look for it on
    // a white one instead.
    Canvas white(pictureWidth(c), pictureHeight(c));
    drawCurrentPoint(white, c, 0.2f, 0.47f, white, 1);
    for (QPoint p : {QPoint(105, 100), QPoint(100, 95), QPoint(95, 100), QPoint(100, 105)})
        EXPECT_EQ(rgbAt(white, p.x(), p.y()), rgb(0, 0, 0)) << p.x() << ',' << p.y();
    EXPECT_EQ(rgbAt(white, 82, 113), rgb(0, 0, 0)) << "the line from the white point";
    EXPECT_EQ(white.penColour(), qRgb(255, 255, 255));

    Canvas second(pictureWidth(c), pictureHeight(c));
    drawCurrentPoint(second, c, 0.2f, 0.47f, second, 2);
    EXPECT_EQ(rgbAt(second, 105, 100), rgb(128, 128, 128)) << "the second probe in grey";
}

TEST_F(MarkerTest, MeasuredGamutNeedsAllThreePrimaries) {
    const TGraphConstrains diagram = makeChart(400, 0.0f, 0.6f, 6, 400, 0.0f, 0.6f, 6);
    Tcaldaten report;
    report.xyz[1] = {41.24f, 21.26f, 1.93f};
    report.xyz[2] = {35.76f, 71.52f, 11.92f};
    Canvas picture = blackPicture(diagram);
    const Canvas before = picture;
    picture.setPenColour(qRgb(255, 255, 255));
    drawMeasuredGamut(picture, false, diagram, report);
    EXPECT_EQ(picture.image(), before.image()) << "blue not captured";

    report.xyz[3] = {18.05f, 7.22f, 95.05f};
    drawMeasuredGamut(picture, false, diagram, report);
    const UvPoint red = toUV(41.24f, 21.26f, 1.93f);
    EXPECT_EQ(rgbAt(picture, toPixelX(diagram, red.up), toPixelY(diagram, red.vp)),
              rgb(255, 255, 255));
}

TEST_F(MarkerTest, UvEllipsesAreShiftedLeftAndOnePixelShort) {
    drawToleranceField(canvas, false, chart, greyTolerance, kToleranceEllipses);
    // Grade 3: centre 62.4, 66.4 pixels from the origin, 44.4 by 67.6 pixels; box from
    // (59, 82) to (103, 149), right and bottom excluded.
    int left = 999, right = -1, top = 999, bottom = -1;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) == kGrade3Colour) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 59);
    EXPECT_EQ(right, 102);
    EXPECT_EQ(top, 82);
    EXPECT_EQ(bottom, 148);
    EXPECT_EQ(canvas.brushStyle(), BrushStyle::solid) << "solid again afterwards";
}

TEST_F(MarkerTest, XyEllipsesAreRotatedPixelRings) {
    const TGraphConstrains xy = makeChart(160, 0.30f, 0.32f, 2, 160, 0.32f, 0.34f, 2);
    Canvas picture = blackPicture(xy);
    drawToleranceField(picture, true, xy, greyTolerance, kToleranceEllipses);
    EXPECT_EQ(picture.brushStyle(), BrushStyle::clear) << "stays clear afterwards";
    // A rotated ring: its extreme pixels are not level with each other.
    int topX = -1, topY = 999, bottomX = -1, bottomY = -1, count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == kGrade1Colour) {
                ++count;
                if (y < topY) topY = y, topX = x;
                if (y > bottomY) bottomY = y, bottomX = x;
            }
    EXPECT_GT(count, 50);
    EXPECT_GT(topX, bottomX) << "tilted up to the right";
}

TEST_F(MarkerTest, CrossArmsAroundThePointLeftOfAndBelowTheCentre) {
    canvas.setPenColour(qRgb(255, 255, 255));
    drawToleranceField(canvas, false, chart, greyTolerance, kToleranceCross);
    // Centre at (82.4, 113.6): arms through (80, 115).
    EXPECT_EQ(rgbAt(canvas, 75, 115), rgb(255, 255, 255));
    EXPECT_EQ(rgbAt(canvas, 84, 115), rgb(255, 255, 255));
    EXPECT_EQ(rgbAt(canvas, 85, 115), rgb(0, 0, 0));
    EXPECT_EQ(rgbAt(canvas, 80, 110), rgb(255, 255, 255));
    EXPECT_EQ(rgbAt(canvas, 80, 119), rgb(255, 255, 255));
    EXPECT_EQ(rgbAt(canvas, 80, 120), rgb(0, 0, 0));
}

}  // namespace
}  // namespace vqs
