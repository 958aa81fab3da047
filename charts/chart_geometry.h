#pragma once
// The chart record and the drawing every chart shares: frame, axes with ticks, labels, grid
// and names, and the title. Values map to pixels with 32-bit float scale factors and
// truncation toward zero.

#include "charts/canvas.h"

#include <QString>

#include <cstdint>

namespace vqs {

// One axis of a chart.
struct TGraphAxeConstrains {
    int32_t length = 0;  // plot width (horizontal) or height (vertical) in pixels
    int32_t margin = 0;  // empty border before and after the plot
    float min = 0.0f;    // value at the origin of the axis
    float max = 0.0f;    // value at its end
    int32_t divisions = 1;
    QString name;  // drawn near the end of the axis
};

inline constexpr int32_t kPrintStyle = 2;

// One chart: two axes, the reference chromaticity (white point) and the style.
struct TGraphConstrains {
    TGraphAxeConstrains x;
    TGraphAxeConstrains y;
    QString caption;  // read by no drawing operation
    float refA = 0.0f;
    float refB = 0.0f;
    int32_t style = 0;  // kPrintStyle = print, anything else = screen
};

inline constexpr QRgb kGridGrey = qRgb(128, 128, 128);

inline bool isPrintStyle(const TGraphConstrains& chart) {
    return chart.style == kPrintStyle;
}
// Colour of axes, ticks, labels, names and outlines: black in print, white on screen.
inline QRgb inkColour(int32_t style) {
    return style == kPrintStyle ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
}

int pictureWidth(const TGraphConstrains& chart);
int pictureHeight(const TGraphConstrains& chart);
float scaleX(const TGraphConstrains& chart);
float scaleY(const TGraphConstrains& chart);
// Bottom edge of the plot: y.length + y.margin.
int plotBottom(const TGraphConstrains& chart);
// The plot area with its edges, where the axis lines lie: x.margin .. x.margin + x.length by
// y.margin .. plotBottom, both ends included.
QRect plotArea(const TGraphConstrains& chart);

// Truncation toward zero of a derived pixel coordinate. Values that are not numbers or far
// outside any picture (a reading of zero divided by zero, say) are held to a range the canvas
// clips safely instead of overflowing the integer conversion.
int pixelTrunc(double value);

int toPixelX(const TGraphConstrains& chart, float a);
int toPixelY(const TGraphConstrains& chart, float b);

// Screen style: fills the picture with `background` and outlines it in white. Print style:
// draws nothing and leaves a white brush and a black pen.
void drawChartFrame(Canvas& canvas, const TGraphConstrains& chart, QRgb background);

struct AxisSpec {
    int dx = 0;  // > 0: horizontal axis to the right
    int dy = 0;  // < 0: vertical axis upward
    int x0 = 0;
    int y0 = 0;
    int divisions = 1;
    int minorTicks = 0;
    float firstValue = 0.0f;   // label of tick 0
    float secondValue = 0.0f;  // label of tick 1; equal to firstValue: no labels
    const char* format = "%3.2f";
    int gridLength = 0;  // 0 = no grid
    QString name;
    int32_t style = 0;
};

void drawAxis(Canvas& canvas, const AxisSpec& axis);

// Label of tick i: firstValue + (secondValue - firstValue) * i as a 32-bit float, through the
// axis format; empty when the two values are equal (such an axis has no labels).
QString axisLabel(const AxisSpec& axis, int tick);

// The chart's usual pair of axes with their labels; the rest of the description comes from the chart.
AxisSpec horizontalAxis(const TGraphConstrains& chart, float first, float second,
                        const char* format, int minorTicks);
AxisSpec verticalAxis(const TGraphConstrains& chart, float first, float second, const char* format,
                      int minorTicks);

// Writes the title at (x.margin, 2) in size 8 and the current font colour.
void drawChartTitle(Canvas& canvas, const TGraphConstrains& chart, const QString& text);

}  // namespace vqs
