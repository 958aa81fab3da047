// The grey-scale, EBU-colour and gamut panels beside the chromaticity diagram.

#include "charts/tolerance_panels.h"
#include "chart_fixtures.h"

#include <gtest/gtest.h>

#include <QRect>

namespace vqs {
namespace {

using testing::makeChart;
using testing::rgb;
using testing::rgbAt;

// Smallest rectangle holding every pixel of the colour.
QRect boundsOf(const Canvas& canvas, QRgb colour) {
    QRect bounds;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) == (0xff000000u | colour)) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int countInside(const Canvas& canvas, const QRect& area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += canvas.pixel(x, y) == (0xff000000u | colour) ? 1 : 0;
    return n;
}

TEST(GreyPanel, UvGradeThreeEllipseFillsItsBoxAroundD65) {
    const TGraphConstrains chart = makeChart(160, 0.19f, 0.21f, 2, 160, 0.46f, 0.48f, 2);
    Canvas canvas(pictureWidth(chart), pictureHeight(chart));
    drawGreyPanel(canvas, false, chart);
    // Box (59, 82) to (103, 149), right and bottom edges excluded.
    EXPECT_EQ(boundsOf(canvas, qRgb(0, 0, 255)), QRect(QPoint(59, 82), QPoint(102, 148)));
    EXPECT_FALSE(boundsOf(canvas, qRgb(255, 0, 0)).isEmpty()) << "grade 1 ellipse";
    EXPECT_EQ(rgbAt(canvas, 150, 60), rgb(0, 0, 0)) << "black background";
}

TEST(EbuPanel, CentreAxesCrossWhereTheToleranceCrossIsCentred) {
    for (bool xyMode : {false, true}) {
        const TGraphConstrains chart = makeChart(160, -0.006f, 0.006f, 6, 160, -0.006f, 0.006f, 6);
        Canvas canvas(pictureWidth(chart), pictureHeight(chart));
        drawEbuPanel(canvas, xyMode, chart);
        const auto white = rgb(255, 255, 255);
        EXPECT_EQ(rgbAt(canvas, 40, 102), white) << "horizontal centre axis, xy " << xyMode;
        EXPECT_EQ(rgbAt(canvas, 98, 40), white) << "vertical centre axis";
        EXPECT_EQ(rgbAt(canvas, 93, 102), white) << "left arm of the tolerance cross";
        EXPECT_EQ(rgbAt(canvas, 98, 107), white) << "lower arm of the tolerance cross";
        // The red circle lies around the value origin: in u', v' a circle of 0.006 around
        // the crossing, in x, y the rotated ellipse around the true centre (100, 100).
        const QRect circle = boundsOf(canvas, qRgb(255, 0, 0));
        const QPoint centre = xyMode ? QPoint(100, 100) : QPoint(98, 102);
        EXPECT_NEAR(circle.center().x(), centre.x(), 1) << xyMode;
        EXPECT_NEAR(circle.center().y(), centre.y(), 1) << xyMode;
        if (!xyMode) {
            EXPECT_EQ(circle.width(), 80);
            EXPECT_EQ(circle.height(), 79) << "one pixel less than the scaled height";
        }
    }
}

TEST(GamutPanel, TitlesBackgroundsAndBoxes) {
    EXPECT_EQ(gamutTitle(kRedPrimary), "Gamut Red");
    EXPECT_EQ(gamutTitle(kGreenPrimary), "Gamut Green");
    EXPECT_EQ(gamutTitle(kBluePrimary), "Gamut: Blue");
    EXPECT_EQ(gamutBackground(7), qRgb(0, 0, 0));

    struct Case {
        int primary;
        TGraphConstrains chart;
        QRgb background;
    };
    const Case cases[] = {
        {kRedPrimary, makeChart(160, 0.40f, 0.48f, 8, 80, 0.50f, 0.54f, 4), qRgb(128, 0, 0)},
        {kGreenPrimary, makeChart(160, 0.09f, 0.17f, 8, 80, 0.53f, 0.58f, 5), qRgb(0, 128, 0)},
        {kBluePrimary, makeChart(160, 0.13f, 0.21f, 8, 80, 0.14f, 0.19f, 5), qRgb(0, 0, 128)},
    };
    const QRect plotInside(21, 21, 158, 78);
    for (const Case& c : cases) {
        Canvas screen(pictureWidth(c.chart), pictureHeight(c.chart));
        drawGamutPanel(screen, false, c.primary, c.chart, primaryBox(c.primary));
        EXPECT_EQ(rgbAt(screen, 1, 1), rgb(c.background)) << c.primary;
        EXPECT_GT(countInside(screen, plotInside, qRgb(255, 255, 255)), 20) << "box and cross";

        TGraphConstrains printChart = c.chart;
        printChart.style = kPrintStyle;
        Canvas print(pictureWidth(printChart), pictureHeight(printChart));
        drawGamutPanel(print, false, c.primary, printChart, primaryBox(c.primary));
        EXPECT_EQ(countInside(print, plotInside, c.background), 0) << "nothing is filled";
        EXPECT_EQ(rgbAt(print, 1, 1), rgb(255, 255, 255));
        EXPECT_GT(countInside(print, plotInside, qRgb(0, 0, 0)), 20) << "box and cross in black";
    }
}

// The boxes in x, y reach past their panels' axis ranges (the green one below the plot, through
// the axis labels); whatever a box adds to a panel lies inside the plot. The window's panels
// and the report's pictures have the same axis ranges in other sizes and styles.
TEST(GamutPanel, ToleranceBoxStaysInsideThePlot) {
    struct Case {
        int primary;
        float xMin, yMin, yMax;
        int yDivisions;
    };
    const Case cases[] = {
        {kRedPrimary, 0.60f, 0.30f, 0.36f, 6},
        {kGreenPrimary, 0.27f, 0.56f, 0.64f, 8},
        {kBluePrimary, 0.11f, 0.04f, 0.08f, 4},
    };
    const QSize plots[] = {{160, 80}, {230, 150}};
    for (const Case& c : cases)
        for (const QSize plot : plots)
            for (int style : {0, kPrintStyle}) {
                const TGraphConstrains chart =
                    makeChart(plot.width(), c.xMin, c.xMin + 0.08f, 8, plot.height(), c.yMin,
                              c.yMax, c.yDivisions, style);
                Canvas bare(pictureWidth(chart), pictureHeight(chart));
                drawGamutPanel(bare, true, c.primary, chart, nullptr);
                Canvas boxed(pictureWidth(chart), pictureHeight(chart));
                drawGamutPanel(boxed, true, c.primary, chart, primaryBox(c.primary));
                const QRect inside = plotArea(chart);
                int added = 0;
                QRect outside;
                for (int y = 0; y < boxed.height(); ++y)
                    for (int x = 0; x < boxed.width(); ++x) {
                        if (boxed.pixel(x, y) == bare.pixel(x, y)) continue;
                        ++added;
                        if (!inside.contains(x, y)) outside |= QRect(x, y, 1, 1);
                    }
                SCOPED_TRACE(::testing::Message()
                             << "primary " << c.primary << ", plot " << plot.width() << 'x'
                             << plot.height() << ", style " << style);
                EXPECT_TRUE(outside.isEmpty())
                    << "drawn outside the plot within x " << outside.left() << ".."
                    << outside.right() << ", y " << outside.top() << ".." << outside.bottom();
                EXPECT_GT(added, 50) << "the box and its cross are drawn";
            }
}

}  // namespace
}  // namespace vqs
