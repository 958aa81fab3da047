#include "charts/tolerance_panels.h"

#include "charts/tolerance_field.h"

namespace vqs {

QRgb gamutBackground(int primary) {
    switch (primary) {
        case kRedPrimary:
            return qRgb(128, 0, 0);
        case kGreenPrimary:
            return qRgb(0, 128, 0);
        case kBluePrimary:
            return qRgb(0, 0, 128);
        default:
            return qRgb(0, 0, 0);
    }
}

QString gamutTitle(int primary) {
    switch (primary) {
        case kRedPrimary:
            return QStringLiteral("Gamut Red");
        case kGreenPrimary:
            return QStringLiteral("Gamut Green");
        case kBluePrimary:
            return QStringLiteral("Gamut: Blue");
        default:
            return {};
    }
}

const ToleranceTable* primaryBox(int primary) {
    switch (primary) {
        case kRedPrimary:
            return &redBox;
        case kGreenPrimary:
            return &greenBox;
        case kBluePrimary:
            return &blueBox;
        default:
            return nullptr;
    }
}

void drawGreyPanel(Canvas& canvas, bool xyMode, const TGraphConstrains& chart) {
    drawChartFrame(canvas, chart, qRgb(0, 0, 0));
    drawAxis(canvas, horizontalAxis(chart, chart.x.min, chart.x.min + 0.01f, "%3.2f", 2));
    drawAxis(canvas, verticalAxis(chart, chart.y.min, chart.y.min + 0.01f, "%3.2f", 2));
    drawChartTitle(canvas, chart, QStringLiteral("Greysales"));
    // The cross takes the pen the last grid line left.
    drawToleranceField(canvas, xyMode, chart, greyTolerance, kToleranceCross | kToleranceEllipses);
}

namespace {

// The axes through the value origin of a deviation panel: ticks and names, no labels, no grid.
// They sit 2 pixels off the true centre, where the tolerance cross is centred too.
void drawCentreAxes(Canvas& canvas, const TGraphConstrains& chart) {
    AxisSpec across;
    across.dx = chart.x.length;
    across.x0 = chart.x.margin;
    across.y0 = pixelTrunc(chart.y.length * 0.5 + chart.y.margin + 2);
    across.divisions = chart.x.divisions;
    across.minorTicks = 2;
    across.firstValue = across.secondValue = chart.x.min;
    across.format = "%4.3f";
    across.name = chart.x.name;
    across.style = chart.style;
    drawAxis(canvas, across);

    AxisSpec upward;
    upward.dy = -chart.y.length;
    upward.x0 = pixelTrunc(chart.y.margin + chart.x.length * 0.5 - 2);
    upward.y0 = plotBottom(chart);
    upward.divisions = chart.y.divisions;
    upward.minorTicks = 2;
    upward.firstValue = upward.secondValue = chart.y.min;
    upward.format = "%4.3f";
    upward.name = chart.y.name;
    upward.style = chart.style;
    drawAxis(canvas, upward);
}

}  // namespace

void drawEbuPanel(Canvas& canvas, bool xyMode, const TGraphConstrains& chart) {
    drawChartFrame(canvas, chart, qRgb(0, 0, 0));
    AxisSpec lower = horizontalAxis(chart, chart.x.min, chart.x.min + 0.002f, "%4.3f", 0);
    lower.name.clear();
    drawAxis(canvas, lower);
    AxisSpec left = verticalAxis(chart, chart.y.min, chart.y.min + 0.002f, "%4.3f", 0);
    left.name.clear();
    drawAxis(canvas, left);
    drawCentreAxes(canvas, chart);
    drawChartTitle(canvas, chart, QStringLiteral("EBU Colors"));
    drawToleranceField(canvas, xyMode, chart, ebuTolerance, kToleranceCross | kToleranceEllipses);
}

void drawGamutPanel(Canvas& canvas, bool xyMode, int primary, const TGraphConstrains& chart,
                    const ToleranceTable* table) {
    drawChartFrame(canvas, chart, gamutBackground(primary));
    drawAxis(canvas, horizontalAxis(chart, chart.x.min, chart.x.min + 0.01f, "%3.2f", 2));
    drawAxis(canvas, verticalAxis(chart, chart.y.min, chart.y.min + 0.01f, "%3.2f", 5));
    drawChartTitle(canvas, chart, gamutTitle(primary));
    canvas.setPenColour(inkColour(chart.style));
    if (table != nullptr)
        drawToleranceField(canvas, xyMode, chart, *table, kToleranceCross | kTolerancePolygon);
}

}  // namespace vqs
