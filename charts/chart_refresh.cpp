#include "charts/chart_refresh.h"

#include "charts/chromaticity_locus.h"
#include "charts/grading.h"
#include "charts/tolerance_field.h"
#include "charts/tolerance_panels.h"
#include "charts/zoom_chart.h"

#include <cmath>

namespace vqs {

namespace {

// How far a reading may lie from an EBU colour's target, in each coordinate, to count as it.
constexpr double kEbuCatchDistance = 0.006;

bool isPrimarySlot(int slot) {
    return slot >= kFirstPrimarySlot && slot < kFirstGreySlot;
}
bool isGreyPanelSlot(int slot) {
    return (slot >= kFirstGreySlot && slot <= kLastGreySlot) ||
           (slot >= kFirstDicomSlot && slot <= kLastSlot);
}
bool isEbuSlot(int slot) {
    return slot >= kFirstEbuSlot && slot <= kLastEbuSlot;
}

ChartPoint minus(ChartPoint p, ChartPoint q) {
    return {p.a - q.a, p.b - q.b};
}

void marker(Canvas& canvas, const TGraphConstrains& chart, const PatchCatalogue& targets,
            ChartPoint p, int slot) {
    drawPatchMarker(canvas, chart, targets, p.a, p.b, slot);
}

// The stored result of a slot in the current presentation.
ChartPoint resultPoint(const XyzTriple& v, bool xyMode) {
    if (xyMode) {
        const float sum = v.X + v.Y + v.Z;
        return {v.X / sum, v.Y / sum};
    }
    const float d = v.X + 15.0f * v.Y + 3.0f * v.Z;
    return {4.0f * v.X / d, 9.0f * v.Y / d};
}

// "Stop (Show All)": every captured result on its panels. Slots without a result have nothing
// to show and are left out rather than piled up in a corner of every panel.
void drawAllResults(ChartSet& set, const ChartInputs& in) {
    const bool xy = in.xyMode;
    const PatchCatalogue& targets = in.sources.targets;
    ChartAreas& areas = set.areas;
    ZoomChart& zoom = set.zoom;
    if (zoom.shown) paintZoomChart(zoom);
    for (int t = kFirstPrimarySlot; t <= kLastSlot; ++t) {
        if (t == kStopSlot) continue;
        const XyzTriple& v = in.sources.report.xyz[t];
        if (v.Y == 0.0f) continue;
        const ChartPoint p = resultPoint(v, xy);
        // The blacks (Grey0, DICOM0) have no chromaticity worth showing among the greys; drawn
        // last, DICOM0's black marker would also cover every grey marker at D65.
        if ((t >= kFirstGreySlot && t < kLastGreySlot) || (t >= kFirstDicomSlot && t < kLastSlot))
            marker(areas.grayScaleGraph, set.recordOf(greyPicture(xy)), targets, p, t);
        if (isEbuSlot(t))
            marker(areas.ebuColorsGraph, set.recordOf(ebuPicture(xy)), targets,
                   minus(p, slotTarget(targets, t, xy)), t);
        if (t < kStopSlot) marker(areas.cieGraph, set.recordOf(diagramPicture(xy)), targets, p, t);
        if (zoom.shown && zoom.tag == kCieTag) marker(zoom.PaintBox1, zoom.chart, targets, p, t);
    }
}

void drawCurrentSlot(ChartSet& set, const ChartInputs& in, int slot) {
    const bool xy = in.xyMode;
    const PatchCatalogue& targets = in.sources.targets;
    const ChartPoint p = probePoint(in.probe1, xy);
    ChartAreas& areas = set.areas;
    if (isPrimarySlot(slot))
        marker(areas.rgbGraph, set.recordOf(gamutPicture(xy, slot - kFirstPrimarySlot)), targets, p,
               slot);
    else if (isGreyPanelSlot(slot))
        marker(areas.grayScaleGraph, set.recordOf(greyPicture(xy)), targets, p, slot);
    else if (isEbuSlot(slot))
        marker(areas.ebuColorsGraph, set.recordOf(ebuPicture(xy)), targets,
               minus(p, slotTarget(targets, slot, xy)), slot);
    else if (slot == kStopSlot)
        drawAllResults(set, in);
}

void drawCurrentReadings(ChartSet& set, const ChartInputs& in) {
    const int picture = diagramPicture(in.xyMode);
    const TGraphConstrains& chart = set.recordOf(picture);
    Canvas& area = set.areas.cieGraph;
    const ChartPoint p1 = probePoint(in.probe1, in.xyMode);
    const ChartPoint p2 = probePoint(in.probe2, in.xyMode);
    drawCurrentPoint(area, chart, p1.a, p1.b, set.pictures[picture], 1);
    drawCurrentPoint(area, chart, p2.a, p2.b, area, in.probe2.shown);
}

// Copies the zoom picture onto the zoom window's surface with a marker of the first probe.
void zoomWithMarker(ZoomChart& zoom, const PatchCatalogue& targets, ChartPoint p, int slot) {
    paintZoomChart(zoom);
    marker(zoom.PaintBox1, zoom.chart, targets, p, slot);
}

}  // namespace

ChartPoint probePoint(const Tprobevals& reading, bool xyMode) {
    return xyMode ? ChartPoint{reading.x, reading.y} : ChartPoint{reading.up, reading.vp};
}

ChartPoint slotTarget(const PatchCatalogue& targets, int slot, bool xyMode) {
    if (slot < 0 || slot >= kPatchSlots) return {};
    const Ttarget& t = targets[slot];
    if (!xyMode) return {t.targetA, t.targetB};
    const XyPoint p = uvToXy(t.targetA, t.targetB);
    return {p.x, p.y};
}

bool chartContains(const TGraphConstrains& chart, ChartPoint point) {
    return chart.x.min <= point.a && point.a <= chart.x.max && chart.y.min <= point.b &&
           point.b <= chart.y.max;
}

int currentSlot(const ChartSet& set, const ChartInputs& in) {
    if (in.selectedSlot != kStartSlot) return in.selectedSlot < 0 ? -1 : in.selectedSlot;
    const bool xy = in.xyMode;
    const ChartPoint p = probePoint(in.probe1, xy);
    int slot = -1;
    // Later tests override earlier ones: the primaries, then the grey scale, then the EBU
    // colours, of which the last one matching wins.
    for (int primary : {kRedPrimary, kGreenPrimary, kBluePrimary})
        if (chartContains(set.recordOf(gamutPicture(xy, primary)), p))
            slot = kFirstPrimarySlot + primary;
    if (chartContains(set.recordOf(greyPicture(xy)), p)) slot = kFirstGreySlot;
    for (int t = kFirstEbuSlot; t <= kLastEbuSlot; ++t) {
        const ChartPoint target = slotTarget(in.sources.targets, t, xy);
        if (std::fabs(static_cast<double>(p.a) - target.a) <= kEbuCatchDistance &&
            std::fabs(static_cast<double>(p.b) - target.b) <= kEbuCatchDistance)
            slot = t;
    }
    return slot;
}

int refreshCharts(ChartSet& set, const ChartInputs& in, int& rgbView) {
    const int slot = currentSlot(set, in);
    if (isPrimarySlot(slot)) rgbView = slot - kFirstPrimarySlot;
    // Outside the overview the current reading restores the diagram right away, so copying it
    // here as well would only repeat the largest copy of the refresh.
    if (slot == kStopSlot)
        showChartPictures(set, in.xyMode, rgbView);
    else
        showPanelPictures(set, in.xyMode, rgbView);
    if (slot != -1) drawCurrentSlot(set, in, slot);
    if (slot != kStopSlot) drawCurrentReadings(set, in);
    // The pen is what the markers or the current point left: black or white.
    drawMeasuredGamut(set.areas.cieGraph, in.xyMode, set.recordOf(diagramPicture(in.xyMode)),
                      in.sources.report);

    plotSpectralView(set, in);

    if (set.zoom.shown && slot != kStopSlot) refreshZoomChart(set, in, rgbView, slot);
    return slot;
}

void plotSpectralView(ChartSet& set, const ChartInputs& in) {
    const PlotTargets plot = plotTargets(set, isDicomTarget(in.sources.targetGamma));
    plotMeasurement(set.areas.SpectralGraph, in.spectralView, in.probe2, in.probe2.shown, plot,
                    in.sources);
    plotMeasurement(set.areas.SpectralGraph, in.spectralView, in.probe1, 1, plot, in.sources);
}

void refreshZoomChart(ChartSet& set, const ChartInputs& in, int rgbView, int slot) {
    ZoomChart& zoom = set.zoom;
    const bool xy = in.xyMode;
    const PatchCatalogue& targets = in.sources.targets;
    const ChartPoint p1 = probePoint(in.probe1, xy);
    switch (zoom.tag) {
        case kCieTag: {
            paintZoomChart(zoom);  // keeps the surface the size of the picture
            const ChartPoint p2 = probePoint(in.probe2, xy);
            drawCurrentPoint(zoom.PaintBox1, zoom.chart, p1.a, p1.b, zoom.picture, 1);
            drawCurrentPoint(zoom.PaintBox1, zoom.chart, p2.a, p2.b, zoom.PaintBox1,
                             in.probe2.shown);
            break;
        }
        case kSpectralTag: {
            paintZoomChart(zoom);
            const PlotTargets plot = plotTargets(set, isDicomTarget(in.sources.targetGamma));
            const int view = in.spectralView + 20;
            if (in.probe2.shown != 0)
                plotMeasurement(zoom.PaintBox1, view, in.probe2, in.probe2.shown, plot, in.sources);
            plotMeasurement(zoom.PaintBox1, view, in.probe1, 1, plot, in.sources);
            break;
        }
        case kGreyScaleTag:
            zoomWithMarker(zoom, targets, p1, slot);
            break;
        case kEbuColoursTag:
            if (slot >= 0 && slot < kPatchSlots)
                zoomWithMarker(zoom, targets, minus(p1, slotTarget(targets, slot, xy)), slot);
            else
                paintZoomChart(zoom);
            break;
        case kRgbTag:
            configureZoomChart(zoom, kRgbTag, zoom.width, zoom.height,
                               ZoomSelection{xy, in.spectralView, rgbView}, in.sources);
            zoomWithMarker(zoom, targets, p1, slot);
            break;
        default:
            break;
    }
}

}  // namespace vqs
