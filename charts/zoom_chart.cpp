#include "charts/zoom_chart.h"

#include "charts/chromaticity_diagram.h"
#include "charts/chromaticity_locus.h"
#include "charts/grading.h"
#include "charts/spectral_panel.h"
#include "charts/tolerance_field.h"
#include "charts/tolerance_panels.h"

namespace vqs {

namespace {

// One row of the zoom configurations: axes (length and margin come from the window),
// reference chromaticity and name.
struct ZoomRow {
    const char* name;
    float xMin, xMax;
    int xDivisions;
    const char* xName;
    float yMin, yMax;
    int yDivisions;
    const char* yName;
    float refA, refB;
};

constexpr ZoomRow kDiagramXy = {"CIEDiagramxy", 0, 0.9f, 9, "x", 0, 0.9f, 9, "y", 0.3127f, 0.329f};
constexpr ZoomRow kDiagramUv = {"CIEDiagramuv", 0, 0.6f, 6, "u", 0, 0.6f, 6, "v", 0.1978f, 0.4683f};
constexpr ZoomRow kSpectral[kSpectralViews] = {
    {"SpectralgraphNarrow", 400, 700, 3, "nm", 0, 1, 2, "", 0, 0},
    {"SpectralgraphWide", 300, 900, 6, "nm", 0, 1, 2, "", 0, 0},
    {"Gammagraph", 0, 255, 10, "%", 0, 100, 10, "Y%", 0, 0},
    // The zoomed grey gamma panel spans 1 to 4, unlike the main one.
    {"GammaDCgraph", 22, 230, 8, "%", 1, 4, 6, "Y%", 0, 0},
    // The DICOM views have charts of their own, on the ranges of their main panels; without
    // them the zoom would draw a DICOM curve over whatever chart it showed before.
    {"DICOMgraph", 0, 255, 10, "%", 0, 100, 10, "Y%", 0, 0},
    {"DICOMDCgraph", 22, 230, 8, "%", 1, 5, 8, "Y%", 0, 0},
};
// With a DICOM target the grey gamma panel needs the range of the DICOM gamma panel.
constexpr ZoomRow kDicomTargetGamma = {"GammaDCgraph", 22, 230, 8, "%", 1, 5, 8, "Y%", 0, 0};
constexpr ZoomRow kGreyXy = {
    "GreyscaleTolerancefieldxy", 0.30f, 0.32f, 2, "x", 0.32f, 0.34f, 2, "y", 0.3127f, 0.329f};
constexpr ZoomRow kGreyUv = {
    "GreyscaleTolerancefielduv", 0.19f, 0.21f, 2, "u'", 0.46f, 0.48f, 2, "v'", 0.1978f, 0.4683f};
constexpr ZoomRow kEbuXy = {
    "EBUColorsTolerancefieldxy", -0.006f, 0.006f, 6, "x", -0.006f, 0.006f, 6, "y", 0, 0};
// Named "u" and "v" here, unlike the main panel.
constexpr ZoomRow kEbuUv = {
    "EBUColorsTolerancefielduv", -0.006f, 0.006f, 6, "u", -0.006f, 0.006f, 6, "v", 0, 0};
constexpr ZoomRow kGamut[2][3] = {
    {
        {"RedTolerancefielduv", 0.40f, 0.48f, 8, "u'", 0.50f, 0.54f, 4, "v'", 0.451f, 0.524f},
        {"GreenTolerancefielduv", 0.09f, 0.17f, 8, "u'", 0.53f, 0.58f, 5, "v'", 0.121f, 0.561f},
        {"BlueTolerancefielduv", 0.13f, 0.21f, 8, "u'", 0.14f, 0.19f, 5, "v'", 0.175f, 0.158f},
    },
    {
        {"RedTolerancefieldxy", 0.60f, 0.68f, 8, "x", 0.30f, 0.36f, 6, "y", 0.64f, 0.33f},
        {"GreenTolerancefieldxy", 0.27f, 0.35f, 8, "x", 0.56f, 0.64f, 8, "y", 0.30f, 0.60f},
        {"BlueTolerancefieldxy", 0.11f, 0.19f, 8, "x", 0.04f, 0.08f, 4, "y", 0.15f, 0.06f},
    },
};

const ZoomRow* zoomRow(int tag, const ZoomSelection& s, bool dicomTarget) {
    switch (tag) {
        case kCieTag:
            return s.xyMode ? &kDiagramXy : &kDiagramUv;
        case kSpectralTag:
            if (s.spectralView == 3 && dicomTarget) return &kDicomTargetGamma;
            return s.spectralView >= 0 && s.spectralView < kSpectralViews
                       ? &kSpectral[s.spectralView]
                       : nullptr;
        case kGreyScaleTag:
            return s.xyMode ? &kGreyXy : &kGreyUv;
        case kEbuColoursTag:
            return s.xyMode ? &kEbuXy : &kEbuUv;
        case kRgbTag:
            return s.rgbView >= 0 && s.rgbView <= 2 ? &kGamut[s.xyMode ? 1 : 0][s.rgbView]
                                                    : nullptr;
        default:
            return nullptr;
    }
}

void applyRow(TGraphConstrains& chart, const ZoomRow& row, int width, int height) {
    chart.x = {width, 20, row.xMin, row.xMax, row.xDivisions, QString::fromLatin1(row.xName)};
    chart.y = {height, 20, row.yMin, row.yMax, row.yDivisions, QString::fromLatin1(row.yName)};
    chart.refA = row.refA;
    chart.refB = row.refB;
}

void drawZoomChart(ZoomChart& zoom, int tag, const ZoomSelection& s, const GammaSources& sources) {
    Canvas& picture = zoom.picture;
    switch (tag) {
        case kCieTag:
            drawChromaticityDiagram(picture, s.xyMode, zoom.chart,
                                    s.xyMode ? kDiagramEbuTargets : kDiagramEbuTargets | 1,
                                    buildLocus(s.xyMode), sources.targets);
            break;
        case kSpectralTag:
            if (s.spectralView <= 1) {
                drawSpectralPanel(picture, zoom.chart);
            } else {
                if (s.spectralView == 2) zoom.chart.style = 1;
                drawGammaPanel(picture, s.spectralView, zoom.chart, sources);
            }
            break;
        case kGreyScaleTag:
            drawGreyPanel(picture, s.xyMode, zoom.chart);
            break;
        case kEbuColoursTag:
            drawEbuPanel(picture, s.xyMode, zoom.chart);
            break;
        case kRgbTag:
            drawGamutPanel(picture, s.xyMode, s.rgbView, zoom.chart, primaryBox(s.rgbView));
            break;
        default:
            break;
    }
}

}  // namespace

QString chartName(int tag, const ZoomSelection& selection, const QString& targetGamma) {
    const ZoomRow* row = zoomRow(tag, selection, isDicomTarget(targetGamma));
    return row != nullptr ? QString::fromLatin1(row->name) : QString();
}

QString configureZoomChart(ZoomChart& zoom, int tag, int width, int height,
                           const ZoomSelection& selection, const GammaSources& sources) {
    const ZoomRow* row = zoomRow(tag, selection, isDicomTarget(sources.targetGamma));
    if (row != nullptr && width > 0 && height > 0) {
        applyRow(zoom.chart, *row, width, height);
        zoom.name = QString::fromLatin1(row->name);
        zoom.picture.setSize(width + 40, height + 40);
        drawZoomChart(zoom, tag, selection, sources);
    }
    return QStringLiteral("VQS1.0 ") + zoom.name;
}

void paintZoomChart(ZoomChart& zoom) {
    const QRect whole(0, 0, pictureWidth(zoom.chart), pictureHeight(zoom.chart));
    if (zoom.PaintBox1.width() != whole.width() || zoom.PaintBox1.height() != whole.height())
        zoom.PaintBox1.setSize(whole.width(), whole.height());
    zoom.PaintBox1.copyRect(whole, zoom.picture, whole);
}

namespace {

// The picture of the main set a chart area shows for the selection, and the record it is drawn
// with.
struct ShownPicture {
    int picture = -1;
    int record = -1;
};

ShownPicture shownPicture(int tag, const ZoomSelection& s, bool dicomTarget) {
    switch (tag) {
        case kCieTag:
            return {diagramPicture(s.xyMode), diagramPicture(s.xyMode)};
        case kSpectralTag:
            if (s.spectralView < 0 || s.spectralView >= kSpectralViews) return {};
            return {viewPicture(s.spectralView), viewRecordPicture(s.spectralView, dicomTarget)};
        case kGreyScaleTag:
            return {greyPicture(s.xyMode), greyPicture(s.xyMode)};
        case kEbuColoursTag:
            return {ebuPicture(s.xyMode), ebuPicture(s.xyMode)};
        case kRgbTag:
            if (s.rgbView < 0 || s.rgbView > 2) return {};
            return {gamutPicture(s.xyMode, s.rgbView), gamutPicture(s.xyMode, s.rgbView)};
        default:
            return {};
    }
}

// The readings over an exported chart, as the chart area shows them after a refresh.
void drawReadings(Canvas& canvas, const TGraphConstrains& chart, const Canvas& background,
                  const ChartSet& set, const ChartInputs& in, int tag, int rgbView) {
    const bool xy = in.xyMode;
    const PatchCatalogue& targets = in.sources.targets;
    const ChartPoint p1 = probePoint(in.probe1, xy);
    const int slot = currentSlot(set, in);
    switch (tag) {
        case kCieTag: {
            const ChartPoint p2 = probePoint(in.probe2, xy);
            drawCurrentPoint(canvas, chart, p1.a, p1.b, background, 1);
            drawCurrentPoint(canvas, chart, p2.a, p2.b, canvas, in.probe2.shown);
            drawMeasuredGamut(canvas, xy, chart, in.sources.report);
            break;
        }
        case kSpectralTag: {
            PlotTargets plot = plotTargets(set, isDicomTarget(in.sources.targetGamma));
            plot.zoomChart = &chart;
            plot.zoomPicture = &background;
            const int view = in.spectralView + 20;  // drawn like the zoom window's curves
            if (in.probe2.shown != 0)
                plotMeasurement(canvas, view, in.probe2, in.probe2.shown, plot, in.sources);
            plotMeasurement(canvas, view, in.probe1, 1, plot, in.sources);
            break;
        }
        case kGreyScaleTag:
            if ((slot >= kFirstGreySlot && slot <= kLastGreySlot) ||
                (slot >= kFirstDicomSlot && slot <= kLastSlot))
                drawPatchMarker(canvas, chart, targets, p1.a, p1.b, slot);
            break;
        case kEbuColoursTag:
            if (slot >= kFirstEbuSlot && slot <= kLastEbuSlot) {
                const ChartPoint target = slotTarget(targets, slot, xy);
                drawPatchMarker(canvas, chart, targets, p1.a - target.a, p1.b - target.b, slot);
            }
            break;
        case kRgbTag:
            if (slot == kFirstPrimarySlot + rgbView)
                drawPatchMarker(canvas, chart, targets, p1.a, p1.b, slot);
            break;
        default:
            break;
    }
}

}  // namespace

Canvas exportChartPicture(const ChartSet& set, int tag, int width, int height,
                          const ChartInputs& in, int rgbView) {
    const ZoomSelection selection{in.xyMode, in.spectralView, rgbView};
    const ShownPicture shown = shownPicture(tag, selection, isDicomTarget(in.sources.targetGamma));
    Canvas canvas;
    if (shown.picture < 0 || width <= 2 * kZoomMargin || height <= 2 * kZoomMargin) return canvas;
    TGraphConstrains chart = set.recordOf(shown.record);
    chart.x.length = width - 2 * chart.x.margin;
    chart.y.length = height - 2 * chart.y.margin;
    canvas.setSize(width, height);
    drawChartPicture(canvas, shown.picture, chart, in.sources);
    const Canvas background = canvas;
    drawReadings(canvas, chart, background, set, in, tag, rgbView);
    return canvas;
}

}  // namespace vqs
