#include "charts/chromaticity_diagram.h"

#include "charts/tolerance_field.h"
#include "tables/tolerance_tables.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vqs {

namespace {

int colourComponent(float c) {
    if (c < 0.0f || std::isnan(c)) c = 0.0f;
    const double encoded = c != 0.0f ? std::pow(static_cast<double>(c), 1.0 / 2.2) : 0.0;
    return std::clamp(static_cast<int>(std::min(encoded * 255.0, 1.0e6)), 0, 255);
}

// One column of the fill at `a`: between the two locus crossings, or between the one crossing
// and the purple line.
void fillColumn(Canvas& canvas, bool xyMode, const TGraphConstrains& chart, const Locus& locus,
                float a, float purpleSlope, float db) {
    const LocusRow& first = locus.rows[0];
    LocusCrossings c = locusCrossings(locus, a);
    if (c.count == 0) return;
    if (c.count == 1) c.b2 = (a - first.a) * purpleSlope + first.b;
    if (c.b1 > c.b2) std::swap(c.b1, c.b2);
    if (c.b2 < chart.y.min) return;
    if (c.b1 < chart.y.min) c.b1 = chart.y.min;
    if (c.b1 > chart.y.max) return;
    if (c.b2 > chart.y.max) c.b2 = chart.y.max;

    const int x = toPixelX(chart, a);
    if (isPrintStyle(chart)) {
        if (static_cast<int>(c.b1 * 1000.0f) != static_cast<int>(c.b2 * 1000.0f)) {
            canvas.setPixel(x, toPixelY(chart, c.b1), qRgb(0, 0, 0));
            canvas.setPixel(x, toPixelY(chart, c.b2), qRgb(0, 0, 0));
        }
        return;
    }
    for (float b = c.b1; b < c.b2 - 0.001f; b += db)
        canvas.setPixel(x, toPixelY(chart, b), chromaticityColour(a, b, xyMode));
}

void drawEbuTargets(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                    const PatchCatalogue& targets) {
    canvas.setPenColour(kGridGrey);
    const float sx = scaleX(chart);
    const float sy = scaleY(chart);
    const float xm = static_cast<float>(chart.x.margin);
    const int y0 = plotBottom(chart);
    for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot) {
        float a = targets[slot].targetA;
        float b = targets[slot].targetB;
        if (xyMode) {
            const XyPoint p = uvToXy(a, b);
            a = p.x;
            b = p.y;
        }
        const float pa = (a - chart.x.min) * sx;
        const float pb = (b - chart.y.min) * sy;
        canvas.line(pixelTrunc(xm + pa - 5), pixelTrunc(y0 - (pb + 5)), pixelTrunc(xm + pa + 5),
                    pixelTrunc(y0 - (pb - 5)));
        canvas.line(pixelTrunc(xm + pa + 5), pixelTrunc(y0 - (pb + 5)), pixelTrunc(xm + pa - 5),
                    pixelTrunc(y0 - (pb - 5)));
    }
}

}  // namespace

QRgb chromaticityColour(float a, float b, bool xyMode) {
    float X = 0.0f;
    float Z = 0.0f;
    const float Y = 1.0f;
    if (xyMode) {
        X = a / b;
        Z = (1.0f - a - b) / b;
    } else {
        X = 9.0f * a / (4.0f * b);
        Z = (12.0f - 3.0f * a - 20.0f * b) / (4.0f * b);
    }
    float r = 3.240479f * X - 1.53715f * Y - 0.498535f * Z;
    float g = -0.969256f * X + 1.875992f * Y + 0.041556f * Z;
    float bl = 0.055648f * X - 0.204043f * Y + 1.057311f * Z;
    const float m = std::max({r, g, bl});
    // Only chromaticities inside the locus are asked for; anything without a positive
    // component (or at b = 0) is shown black rather than divided by zero.
    if (!(m > 0.0f) || !std::isfinite(m)) return qRgb(0, 0, 0);
    r /= m;
    g /= m;
    bl /= m;
    return qRgb(colourComponent(r), colourComponent(g), colourComponent(bl));
}

void drawChromaticityDiagram(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                             int options, const Locus& locus, const PatchCatalogue& targets) {
    if (locus.count < 2) return;
    const LocusRow& first = locus.rows[0];
    const LocusRow& last = locus.rows[locus.count - 1];
    const float slope = (last.b - first.b) / (last.a - first.a);

    drawChartFrame(canvas, chart, qRgb(0, 0, 0));
    drawAxis(canvas, horizontalAxis(chart, 0.0f, 0.1f, "%1.1f", 5));
    drawAxis(canvas, verticalAxis(chart, 0.0f, 0.1f, "%1.1f", 5));

    // 1.2 samples per pixel in both directions, so the fill leaves no gaps.
    const float da = (chart.x.max - chart.x.min) / (static_cast<float>(chart.x.length) * 1.2f);
    const float db = (chart.y.max - chart.y.min) / (static_cast<float>(chart.y.length) * 1.2f);
    for (float a = chart.x.min; a < chart.x.max; a += da)
        fillColumn(canvas, xyMode, chart, locus, a, slope, db);

    canvas.setPenColour(kGridGrey);
    for (const ToleranceTable* box : {&redBox, &greenBox, &blueBox})
        drawToleranceField(canvas, xyMode, chart, *box, kTolerancePolygon);

    canvas.setPenColour(isPrintStyle(chart) ? qRgb(255, 0, 0) : kGridGrey);
    drawToleranceField(canvas, xyMode, chart, primariesTriangle,
                       kToleranceCross | kTolerancePolygon);

    if ((options & kDiagramEbuTargets) != 0) drawEbuTargets(canvas, xyMode, chart, targets);
}

}  // namespace vqs
