#include "charts/tolerance_field.h"

#include "charts/grading.h"

#include <QPoint>

#include <algorithm>
#include <array>

namespace vqs {

namespace {

// Position of a value pair relative to the chart origin, in pixels, limited to the chart so a
// reading outside it is drawn at the nearest border.
struct PlotOffset {
    float pa = 0.0f;
    float pb = 0.0f;
};

PlotOffset limitedOffset(const TGraphConstrains& chart, float a, float b) {
    a = std::clamp(a, chart.x.min, chart.x.max);
    b = std::clamp(b, chart.y.min, chart.y.max);
    return {(a - chart.x.min) * scaleX(chart), (b - chart.y.min) * scaleY(chart)};
}

QRgb markerColour(const Ttarget& target, int slot) {
    int r = target.r;
    int g = target.g;
    int b = target.b;
    if (slot > kStopSlot) b /= 4;              // DICOM steps get a yellowish tint
    if (slot >= 5 && slot <= kLastGreySlot) {  // greys below Grey20 are lightened
        r = r / 2 + 128;
        g = g / 2 + 128;
        b = b / 2 + 128;
    }
    return qRgb(r, g, b);
}

}  // namespace

void drawPatchMarker(Canvas& canvas, const TGraphConstrains& chart, const PatchCatalogue& targets,
                     float a, float b, int slot) {
    if (slot < 0 || slot >= kPatchSlots) return;
    const PlotOffset o = limitedOffset(chart, a, b);
    const float xm = static_cast<float>(chart.x.margin);
    const int y0 = plotBottom(chart);
    canvas.setPenColour(qRgb(0, 0, 0));
    canvas.setBrushColour(markerColour(targets[slot], slot));
    canvas.ellipse(pixelTrunc(xm + o.pa - 4), pixelTrunc(y0 - o.pb - 4), pixelTrunc(xm + o.pa + 4),
                   pixelTrunc(y0 - o.pb + 4));
    if (isPrintStyle(chart) && slot > kLastGreySlot) {
        canvas.setFontColour(qRgb(0, 0, 0));
        canvas.setFontSize(6);
        canvas.setBrushStyle(BrushStyle::clear);
        canvas.textOut(pixelTrunc(xm + o.pa + 2), pixelTrunc(y0 - o.pb),
                       QString::number(slot - kLastGreySlot));
    }
}

void drawCurrentPoint(Canvas& canvas, const TGraphConstrains& chart, float a, float b,
                      const Canvas& background, int marker) {
    if (marker == 0) return;
    const PlotOffset o = limitedOffset(chart, a, b);
    const QRect whole(0, 0, pictureWidth(chart), pictureHeight(chart));
    canvas.copyRect(whole, background, whole);

    const float xm = static_cast<float>(chart.x.margin);
    const float sx = scaleX(chart);
    const float sy = scaleY(chart);
    const int y0 = plotBottom(chart);
    const int x = pixelTrunc(xm + o.pa);
    const int y = pixelTrunc(y0 - o.pb);
    canvas.setPenColour(marker == 1 ? qRgb(0, 0, 0) : kGridGrey);
    canvas.line(pixelTrunc(xm + (chart.refA - chart.x.min) * sx),
                pixelTrunc(y0 - (chart.refB - chart.y.min) * sy), x, y);
    const std::array<QPoint, 5> diamond = {
        QPoint(x, pixelTrunc(y0 - (o.pb - 5))), QPoint(pixelTrunc(o.pa + 5 + xm), y),
        QPoint(x, pixelTrunc(y0 - (o.pb + 5))), QPoint(pixelTrunc(xm + (o.pa - 5)), y),
        QPoint(x, pixelTrunc(y0 - (o.pb - 5)))};
    canvas.polyline(diamond);
    canvas.setPenColour(qRgb(255, 255, 255));
}

void drawMeasuredGamut(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                       const Tcaldaten& report) {
    const XyzTriple& red = report.xyz[1];
    const XyzTriple& green = report.xyz[2];
    const XyzTriple& blue = report.xyz[3];
    if (red.Y == 0.0f || green.Y == 0.0f || blue.Y == 0.0f) return;
    const UvPoint r = toUV(red.X, red.Y, red.Z);
    const UvPoint g = toUV(green.X, green.Y, green.Z);
    const UvPoint b = toUV(blue.X, blue.Y, blue.Z);
    const ToleranceTable gamut = {
        ToleranceShape::points,
        {{{0.0f, 0.0f}, {r.up, r.vp}, {g.up, g.vp}, {b.up, b.vp}, {r.up, r.vp}}}};
    drawToleranceField(canvas, xyMode, chart, gamut, kTolerancePolygon);
}

}  // namespace vqs
