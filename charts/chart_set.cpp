#include "charts/chart_set.h"

#include "charts/chromaticity_diagram.h"
#include "charts/chromaticity_locus.h"
#include "charts/grading.h"
#include "charts/spectral_panel.h"
#include "charts/tolerance_panels.h"

namespace vqs {

namespace {

TGraphAxeConstrains axis(int length, float min, float max, int divisions, const char* name) {
    return {length, 20, min, max, divisions, QString::fromLatin1(name)};
}

TGraphConstrains record(TGraphAxeConstrains x, TGraphAxeConstrains y, float refA = 0.0f,
                        float refB = 0.0f, int style = 0) {
    TGraphConstrains chart;
    chart.x = std::move(x);
    chart.y = std::move(y);
    chart.refA = refA;
    chart.refB = refB;
    chart.style = style;
    return chart;
}

// Record of each picture but the DICOM relative panel, which uses the grey one's.
std::array<TGraphConstrains, kChartRecords> mainRecords() {
    return {{
        record(axis(400, 0, 0.9f, 9, "x"), axis(400, 0, 0.9f, 9, "y"), 0.3127f, 0.329f),
        record(axis(400, 0, 0.6f, 6, "u"), axis(400, 0, 0.6f, 6, "v"), 0.1978f, 0.4683f),
        record(axis(400, 400, 700, 3, "nm"), axis(200, 0, 1, 2, "")),
        record(axis(400, 300, 900, 6, "nm"), axis(200, 0, 1, 2, "")),
        record(axis(400, 0, 255, 10, "%"), axis(200, 0, 100, 10, "Y%"), 0, 0, 1),
        record(axis(400, 22, 230, 8, "%"), axis(200, 1, 3, 4, "Y%")),
        record(axis(400, 22, 230, 8, "%"), axis(200, 1, 5, 8, "Y%")),
        record(axis(160, 0.30f, 0.32f, 2, "x"), axis(160, 0.32f, 0.34f, 2, "y"), 0.3127f, 0.329f),
        record(axis(160, 0.19f, 0.21f, 2, "u'"), axis(160, 0.46f, 0.48f, 2, "v'"), 0.1978f,
               0.4683f),
        record(axis(160, -0.006f, 0.006f, 6, "x"), axis(160, -0.006f, 0.006f, 6, "y")),
        record(axis(160, -0.006f, 0.006f, 6, "u'"), axis(160, -0.006f, 0.006f, 6, "v'")),
        record(axis(160, 0.60f, 0.68f, 8, "x"), axis(80, 0.30f, 0.36f, 6, "y"), 0.64f, 0.33f),
        record(axis(160, 0.27f, 0.35f, 8, "x"), axis(80, 0.56f, 0.64f, 8, "y"), 0.30f, 0.60f),
        record(axis(160, 0.11f, 0.19f, 8, "x"), axis(80, 0.04f, 0.08f, 4, "y"), 0.15f, 0.06f),
        record(axis(160, 0.40f, 0.48f, 8, "u'"), axis(80, 0.50f, 0.54f, 4, "v'"), 0.451f, 0.524f),
        record(axis(160, 0.09f, 0.17f, 8, "u'"), axis(80, 0.53f, 0.58f, 5, "v'"), 0.121f, 0.561f),
        record(axis(160, 0.13f, 0.21f, 8, "u'"), axis(80, 0.14f, 0.19f, 5, "v'"), 0.175f, 0.158f),
    }};
}

constexpr int kDicomRelativePicture = 6;
constexpr int kGreyGammaView = 3;
constexpr int kDicomGammaView = 5;
constexpr int kGreyRelativePicture = 4;

int recordIndex(int picture) {
    if (picture < kDicomRelativePicture) return picture;
    if (picture == kDicomRelativePicture) return kGreyRelativePicture;
    return picture - 1;
}

// Sizes the picture from its record and hands it out for drawing.
Canvas& sizedPicture(ChartSet& set, int picture) {
    const TGraphConstrains& chart = set.recordOf(picture);
    Canvas& canvas = set.pictures[picture];
    canvas.setSize(pictureWidth(chart), pictureHeight(chart));
    return canvas;
}

// The picture whose record draws a picture: its own, but for the grey gamma view under a
// DICOM target (see viewRecordPicture).
int pictureRecordPicture(int picture, bool dicomTarget) {
    const int view = picture - kFirstViewPicture;
    return view >= 0 && view < kSpectralViews ? viewRecordPicture(view, dicomTarget) : picture;
}

void sizeArea(Canvas& area, const TGraphConstrains& chart) {
    area.setSize(pictureWidth(chart), pictureHeight(chart));
    area.setPenColour(qRgb(0, 0, 0));
    area.setBrushColour(qRgb(0, 0, 0));
    area.rectangle(0, 0, area.width(), area.height());
}

// Copies a whole picture, as its record measures it, onto a drawing area.
void showPicture(const ChartSet& set, int picture, Canvas& area) {
    const TGraphConstrains& chart = set.recordOf(picture);
    const QRect whole(0, 0, pictureWidth(chart), pictureHeight(chart));
    area.copyRect(whole, set.pictures[picture], whole);
}

}  // namespace

const TGraphConstrains& ChartSet::recordOf(int picture) const {
    return records[recordIndex(picture)];
}

TGraphConstrains& ChartSet::recordOf(int picture) {
    return records[recordIndex(picture)];
}

void drawChartPicture(Canvas& canvas, int picture, const TGraphConstrains& chart,
                      const GammaSources& sources) {
    if (picture == kDiagramXyPicture || picture == kDiagramUvPicture) {
        const bool xyMode = picture == kDiagramXyPicture;
        drawChromaticityDiagram(canvas, xyMode, chart, kDiagramEbuTargets, buildLocus(xyMode),
                                sources.targets);
    } else if (picture < viewPicture(2)) {
        drawSpectralPanel(canvas, chart);
    } else if (picture < kGreyXyPicture) {
        drawGammaPanel(canvas, picture - kFirstViewPicture, chart, sources);  // kinds 2..5
    } else if (picture < kEbuXyPicture) {
        drawGreyPanel(canvas, picture == kGreyXyPicture, chart);
    } else if (picture < kGamutXyPicture) {
        drawEbuPanel(canvas, picture == kEbuXyPicture, chart);
    } else if (picture < kChartPictures) {
        const bool xyMode = picture < kGamutUvPicture;
        const int primary = picture - (xyMode ? kGamutXyPicture : kGamutUvPicture);
        drawGamutPanel(canvas, xyMode, primary, chart, primaryBox(primary));
    }
}

void createCharts(ChartSet& set, const GammaSources& sources) {
    set.records = mainRecords();
    const bool dicomTarget = isDicomTarget(sources.targetGamma);
    for (int picture = 0; picture < kChartPictures; ++picture)
        drawChartPicture(sizedPicture(set, picture), picture,
                         set.recordOf(pictureRecordPicture(picture, dicomTarget)), sources);
    set.zoom.picture = Canvas();

    sizeArea(set.areas.cieGraph, set.recordOf(kDiagramXyPicture));
    sizeArea(set.areas.SpectralGraph, set.recordOf(kFirstViewPicture));
    sizeArea(set.areas.grayScaleGraph, set.recordOf(kGreyXyPicture));
    sizeArea(set.areas.ebuColorsGraph, set.recordOf(kEbuXyPicture));
    sizeArea(set.areas.rgbGraph, set.recordOf(kGamutXyPicture));
}

void redrawGammaPictures(ChartSet& set, const GammaSources& sources) {
    const bool dicomTarget = isDicomTarget(sources.targetGamma);
    for (int kind : {2, 3}) {
        const int picture = viewPicture(kind);
        drawChartPicture(sizedPicture(set, picture), picture,
                         set.recordOf(pictureRecordPicture(picture, dicomTarget)), sources);
    }
}

int viewRecordPicture(int view, bool dicomTarget) {
    if (view == kGreyGammaView && dicomTarget) return viewPicture(kDicomGammaView);
    return viewPicture(view);
}

PlotTargets plotTargets(const ChartSet& set, bool dicomTarget) {
    PlotTargets targets;
    for (int view = 0; view < kSpectralViews; ++view) {
        targets.mainCharts[view] = &set.recordOf(viewRecordPicture(view, dicomTarget));
        targets.mainPictures[view] = &set.pictures[viewPicture(view)];
    }
    targets.zoomChart = &set.zoom.chart;
    targets.zoomPicture = &set.zoom.picture;
    return targets;
}

void showChartPictures(ChartSet& set, bool xyMode, int rgbView) {
    showPicture(set, diagramPicture(xyMode), set.areas.cieGraph);
    showPanelPictures(set, xyMode, rgbView);
}

void showPanelPictures(ChartSet& set, bool xyMode, int rgbView) {
    showPicture(set, greyPicture(xyMode), set.areas.grayScaleGraph);
    showPicture(set, ebuPicture(xyMode), set.areas.ebuColorsGraph);
    showRgbPanel(set, xyMode, rgbView);
}

void showRgbPanel(ChartSet& set, bool xyMode, int rgbView) {
    if (rgbView < kRedPrimary || rgbView > kBluePrimary) return;
    showPicture(set, gamutPicture(xyMode, rgbView), set.areas.rgbGraph);
}

void paintChartArea(ChartSet& set, int tag, bool xyMode, int spectralView, int rgbView) {
    switch (tag) {
        case kCieTag:
            showPicture(set, diagramPicture(xyMode), set.areas.cieGraph);
            break;
        case kSpectralTag:
            if (spectralView == 0 || spectralView == 1)
                showPicture(set, viewPicture(spectralView), set.areas.SpectralGraph);
            break;
        case kGreyScaleTag:
            showPicture(set, greyPicture(xyMode), set.areas.grayScaleGraph);
            break;
        case kEbuColoursTag:
            showPicture(set, ebuPicture(xyMode), set.areas.ebuColorsGraph);
            break;
        case kRgbTag:
            showRgbPanel(set, xyMode, rgbView);
            break;
        default:
            break;
    }
}

}  // namespace vqs
