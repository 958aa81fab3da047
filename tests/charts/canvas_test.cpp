// The raster rules the charts are defined against.

#include "charts/canvas.h"
#include "chart_fixtures.h"

#include <gtest/gtest.h>

#include <array>

namespace vqs {
namespace {

using testing::rgb;
using testing::rgbAt;

const auto kWhite = rgb(255, 255, 255);
const auto kRed = rgb(255, 0, 0);
const auto kBlue = rgb(0, 0, 255);

struct LineCase {
    int x0, y0, x1, y1;
    int lastX, lastY;  // the last pixel drawn, one step before the end
};

TEST(CanvasLine, IncludesStartAndExcludesEnd) {
    const LineCase cases[] = {
        {2, 5, 12, 5, 11, 5},    // right
        {12, 5, 2, 5, 3, 5},     // left
        {5, 2, 5, 12, 5, 11},    // down
        {5, 12, 5, 2, 5, 3},     // up
        {2, 2, 12, 12, 11, 11},  // diagonal
    };
    for (const LineCase& c : cases) {
        Canvas canvas(20, 20);
        canvas.setPenColour(qRgb(255, 0, 0));
        canvas.line(c.x0, c.y0, c.x1, c.y1);
        SCOPED_TRACE(::testing::Message() << c.x0 << ',' << c.y0 << " -> " << c.x1 << ',' << c.y1);
        EXPECT_EQ(rgbAt(canvas, c.x0, c.y0), kRed);
        EXPECT_EQ(rgbAt(canvas, c.lastX, c.lastY), kRed);
        EXPECT_EQ(rgbAt(canvas, c.x1, c.y1), kWhite);
    }
}

TEST(CanvasLine, PolylineClosesWithoutGapsAndEndsShortOfItsLastPoint) {
    Canvas canvas(20, 20);
    canvas.setPenColour(qRgb(255, 0, 0));
    const std::array<QPoint, 3> points = {QPoint(2, 2), QPoint(10, 2), QPoint(10, 10)};
    canvas.polyline(points);
    EXPECT_EQ(rgbAt(canvas, 10, 2), kRed);  // a corner is drawn as the next line's start
    EXPECT_EQ(rgbAt(canvas, 10, 9), kRed);
    EXPECT_EQ(rgbAt(canvas, 10, 10), kWhite);
}

TEST(CanvasShapes, RectangleOutlinesAndFillsInsideItsBox) {
    Canvas canvas(20, 20);
    canvas.setPenColour(qRgb(255, 0, 0));
    canvas.setBrushColour(qRgb(0, 0, 255));
    canvas.rectangle(2, 3, 10, 8);  // covers x 2..9, y 3..7
    EXPECT_EQ(rgbAt(canvas, 2, 3), kRed);
    EXPECT_EQ(rgbAt(canvas, 9, 7), kRed);
    EXPECT_EQ(rgbAt(canvas, 5, 5), kBlue);
    EXPECT_EQ(rgbAt(canvas, 10, 5), kWhite);
    EXPECT_EQ(rgbAt(canvas, 5, 8), kWhite);

    canvas.setBrushStyle(BrushStyle::clear);
    canvas.setPenColour(qRgb(0, 0, 0));
    canvas.rectangle(1, 1, 15, 15);
    EXPECT_EQ(rgbAt(canvas, 5, 5), kBlue) << "a clear brush leaves the inside";
}

TEST(CanvasShapes, EllipseTouchesEveryEdgeOfItsBoxAndNothingBeyond) {
    Canvas canvas(30, 30);
    canvas.setPenColour(qRgb(255, 0, 0));
    canvas.setBrushColour(qRgb(0, 0, 255));
    canvas.ellipse(4, 6, 13, 20);  // covers x 4..12, y 6..19
    int left = 99, right = -1, top = 99, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if (canvas.pixel(x, y) != qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(left, 4);
    EXPECT_EQ(right, 12);
    EXPECT_EQ(top, 6);
    EXPECT_EQ(bottom, 19);
    EXPECT_EQ(rgbAt(canvas, 8, 12), kBlue);
    EXPECT_EQ(rgbAt(canvas, 4, 12), kRed);
    EXPECT_EQ(rgbAt(canvas, 4, 6), kWhite) << "the corners of the box stay outside";
}

TEST(CanvasText, BackgroundFollowsTheBrush) {
    Canvas canvas(80, 30);
    canvas.setFontSize(8);
    canvas.setFontColour(qRgb(255, 255, 255));
    canvas.setBrushColour(qRgb(0, 0, 255));
    canvas.textOut(10, 5, QStringLiteral("Ab"));
    EXPECT_EQ(rgbAt(canvas, 10, 5), kBlue) << "the top-left corner is at the point";
    EXPECT_EQ(rgbAt(canvas, 9, 5), kWhite);
    EXPECT_EQ(rgbAt(canvas, 10, 4), kWhite);
    const int right = 10 + canvas.textWidth(QStringLiteral("Ab"));
    EXPECT_EQ(rgbAt(canvas, right - 1, 5), kBlue);
    EXPECT_EQ(rgbAt(canvas, right, 5), kWhite);

    Canvas clear(80, 30);
    clear.setFontColour(qRgb(255, 0, 0));
    clear.setBrushStyle(BrushStyle::clear);
    clear.textOut(10, 5, QStringLiteral("Ab"));
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 80; ++x) {
            const QRgb c = clear.pixel(x, y);
            EXPECT_TRUE(c == qRgb(255, 255, 255) || c == qRgb(255, 0, 0)) << "no antialiasing";
            red += c == qRgb(255, 0, 0);
        }
    EXPECT_GT(red, 5);
}

TEST(CanvasState, SettingABrushColourMakesTheBrushSolid) {
    Canvas canvas(10, 10);
    canvas.setBrushStyle(BrushStyle::clear);
    canvas.setBrushColour(qRgb(1, 2, 3));
    EXPECT_EQ(canvas.brushStyle(), BrushStyle::solid);
}

// Every way of drawing, once through a clip of x 5..9, y 5..9 and once after it is lifted.
TEST(CanvasClip, DrawingStaysInsideTheClipUntilItIsLifted) {
    const auto drawEverything = [](Canvas& canvas) {
        Canvas marked(20, 20);
        marked.setPixel(0, 19, qRgb(255, 0, 0));
        canvas.copyRect(QRect(0, 0, 20, 20), marked, QRect(0, 0, 20, 20));
        canvas.setPenColour(qRgb(255, 0, 0));
        canvas.setBrushColour(qRgb(0, 0, 255));
        canvas.textOut(0, 0, QStringLiteral("Ab"));
        canvas.rectangle(2, 2, 18, 18);
        canvas.line(0, 7, 20, 7);
        canvas.setPixel(1, 1, qRgb(255, 0, 0));
    };
    const QRect clip(5, 5, 5, 5);
    Canvas clipped(20, 20);
    {
        const ScopedClip inside(clipped, clip);
        drawEverything(clipped);
    }
    EXPECT_TRUE(clipped.clip().isNull()) << "the scope gives the canvas back unclipped";
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            if (clip.contains(x, y)) continue;
            EXPECT_EQ(rgbAt(clipped, x, y), kWhite) << x << ',' << y;
        }
    EXPECT_EQ(rgbAt(clipped, 5, 7), kRed) << "the line inside the clip";
    EXPECT_EQ(rgbAt(clipped, 9, 9), kBlue) << "the fill inside the clip";

    drawEverything(clipped);
    EXPECT_EQ(rgbAt(clipped, 0, 7), kRed) << "drawn again without the clip";
    EXPECT_EQ(rgbAt(clipped, 0, 19), kRed) << "and copied without it";
}

TEST(CanvasCopy, CopiesARectangleAndIgnoresPixelsOutside) {
    Canvas source(10, 10);
    source.setPixel(3, 4, qRgb(255, 0, 0));
    source.setPixel(-1, 50, qRgb(255, 0, 0));  // outside: skipped, no crash
    Canvas target(10, 10);
    target.setPixel(0, 0, qRgb(0, 0, 255));
    target.copyRect(QRect(0, 0, 10, 10), source, QRect(0, 0, 10, 10));
    EXPECT_EQ(rgbAt(target, 3, 4), kRed);
    EXPECT_EQ(rgbAt(target, 0, 0), kWhite);
}

}  // namespace
}  // namespace vqs
