// The chart set and its refresh: which patch a reading belongs to, what each drawing area
// shows, and the zoom chart configurations.

#include "charts/chart_refresh.h"
#include "chart_fixtures.h"
#include "charts/chromaticity_locus.h"
#include "charts/grading.h"
#include "charts/tolerance_panels.h"
#include "charts/zoom_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace vqs {
namespace {

using testing::rgb;
using testing::rgbAt;

// X, Y, Z of a u', v' chromaticity at luminance Y.
XyzTriple fromUv(float up, float vp, float Y) {
    const XyPoint p = uvToXy(up, vp);
    return {p.x / p.y * Y, Y, (1.0f - p.x - p.y) / p.y * Y};
}

class ChartRefresh : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const Tcaldaten empty;
        const PatchCatalogue targets = makePatchCatalogue();
        const QString gamma = QStringLiteral("2.35");
        created_ = std::make_unique<ChartSet>();
        createCharts(*created_, GammaSources{empty, targets, gamma});
    }
    static void TearDownTestSuite() { created_.reset(); }

    ChartInputs inputs() const {
        return {probe1, probe2, GammaSources{report, targets, gamma}, xyMode, spectralView, slot};
    }
    int refresh() { return refreshCharts(set, inputs(), rgbView); }
    void readAt(Tprobevals& reading, float a, float b) {
        if (xyMode) {
            reading.x = a;
            reading.y = b;
        } else {
            reading.up = a;
            reading.vp = b;
        }
    }
    // Pixel of a value on the chart of a picture.
    QPoint at(int picture, float a, float b) const {
        const TGraphConstrains& chart = set.recordOf(picture);
        return {toPixelX(chart, a), toPixelY(chart, b)};
    }

    static inline std::unique_ptr<ChartSet> created_;
    ChartSet set = *created_;
    PatchCatalogue targets = makePatchCatalogue();
    Tcaldaten report;
    QString gamma = QStringLiteral("2.35");
    Tprobevals probe1;
    Tprobevals probe2;
    bool xyMode = false;
    int spectralView = 0;
    int slot = kStartSlot;
    int rgbView = 0;
};

TEST_F(ChartRefresh, CreatesEighteenPicturesSizedFromTheirRecords) {
    const QSize expected[kChartPictures] = {
        {440, 440}, {440, 440}, {440, 240}, {440, 240}, {440, 240}, {440, 240},
        {440, 240}, {440, 240}, {200, 200}, {200, 200}, {200, 200}, {200, 200},
        {200, 120}, {200, 120}, {200, 120}, {200, 120}, {200, 120}, {200, 120}};
    for (int p = 0; p < kChartPictures; ++p)
        EXPECT_EQ(set.pictures[p].image().size(), expected[p]) << "picture " << p;
    EXPECT_EQ(&set.recordOf(6), &set.recordOf(4)) << "the relative panels share a record";
    EXPECT_EQ(set.recordOf(4).style, 1);
    EXPECT_EQ(set.recordOf(7).y.max, 5.0f);
    EXPECT_EQ(set.recordOf(kGamutUvPicture + kBluePrimary).refB, 0.158f);
    EXPECT_TRUE(set.zoom.picture.image().isNull());
    EXPECT_EQ(rgbAt(set.pictures[kGamutXyPicture + kGreenPrimary], 1, 1), rgb(0, 128, 0));
}

TEST_F(ChartRefresh, CurrentSlotFromTheSelectionOrFromWhereTheReadingLies) {
    const ChartPoint ebu8 = slotTarget(targets, 32, false);
    const XyPoint ebu8Xy = uvToXy(ebu8.a, ebu8.b);
    struct Case {
        const char* what;
        bool xy;
        float a, b;
        int selected;
        int expected;
    };
    const Case cases[] = {
        {"D65 in u', v'", false, 0.1978f, 0.4683f, kStartSlot, 4},
        {"D65 in x, y", true, 0.3127f, 0.329f, kStartSlot, 4},
        {"grey panel edges are inside", false, 0.21f, 0.48f, kStartSlot, 4},
        {"near EBU2 and EBU3: the last match", false, 0.2365f, 0.4890f, kStartSlot, 27},
        {"EBU8 in u', v'", false, ebu8.a + 0.005f, ebu8.b - 0.005f, kStartSlot, 32},
        {"EBU8 in x, y", true, ebu8Xy.x, ebu8Xy.y, kStartSlot, 32},
        {"red", true, 0.64f, 0.33f, kStartSlot, 1},
        {"green", false, 0.121f, 0.561f, kStartSlot, 2},
        {"blue", true, 0.15f, 0.06f, kStartSlot, 3},
        {"outside every panel", false, 0.30f, 0.30f, kStartSlot, -1},
        {"a selected patch", false, 0.1978f, 0.4683f, 17, 17},
        {"nothing selected", false, 0.1978f, 0.4683f, -1, -1},
    };
    for (const Case& c : cases) {
        xyMode = c.xy;
        slot = c.selected;
        readAt(probe1, c.a, c.b);
        EXPECT_EQ(currentSlot(set, inputs()), c.expected) << c.what;
    }
}

TEST_F(ChartRefresh, D65MarksTheGreyPanelInTheColourOfGrey20) {
    readAt(probe1, 0.1978f, 0.4683f);
    const QPoint p = at(kGreyUvPicture, 0.1978f, 0.4683f);
    EXPECT_NE(rgbAt(set.pictures[kGreyUvPicture], p.x(), p.y()), rgb(255, 255, 255));
    EXPECT_EQ(refresh(), 4);
    EXPECT_EQ(rgbAt(set.areas.grayScaleGraph, p.x(), p.y()), rgb(255, 255, 255));
    EXPECT_EQ(rgbView, 0);
}

TEST_F(ChartRefresh, APrimarySwitchesTheRgbPanelAndMarksIt) {
    xyMode = true;
    readAt(probe1, 0.16f, 0.07f);  // blue, off its target
    EXPECT_EQ(refresh(), 3);
    EXPECT_EQ(rgbView, 2);
    EXPECT_EQ(rgbAt(set.areas.rgbGraph, 1, 1), rgb(0, 0, 128)) << "the blue panel";
    const QPoint p = at(kGamutXyPicture + kBluePrimary, 0.16f, 0.07f);
    EXPECT_EQ(rgbAt(set.areas.rgbGraph, p.x(), p.y()), rgb(0, 0, 255)) << "blue marker";

    readAt(probe1, 0.1978f, 0.4683f);  // a grey keeps the RGB panel where it was
    xyMode = false;
    refresh();
    EXPECT_EQ(rgbView, 2);
}

TEST_F(ChartRefresh, AnEbuColourShowsItsDeviationFromItsTarget) {
    const ChartPoint ebu8 = slotTarget(targets, 32, false);
    readAt(probe1, ebu8.a + 0.002f, ebu8.b - 0.001f);
    slot = 32;
    EXPECT_EQ(refresh(), 32);
    const QPoint p = at(kEbuUvPicture, 0.002f, -0.001f);
    EXPECT_EQ(rgbAt(set.areas.ebuColorsGraph, p.x(), p.y()), rgb(201, 92, 90));
}

TEST_F(ChartRefresh, ShowAllMarksEveryCapturedResultOnItsPanelsWithoutTheCurrentReading) {
    for (int t = kFirstGreySlot; t <= kLastSlot; ++t)
        if (t != kStopSlot) report.xyz[t] = fromUv(0.1978f, 0.4683f, 10.0f);
    report.xyz[24] = fromUv(0.205f, 0.475f, 0.1f);   // Grey0, set apart
    report.xyz[42] = fromUv(0.195f, 0.465f, 90.0f);  // DICOM19, set apart
    report.xyz[61] = fromUv(0.2f, 0.47f, 0.1f);      // DICOM0, set apart
    const ChartPoint ebu8 = slotTarget(targets, 32, false);
    report.xyz[32] = fromUv(ebu8.a + 0.002f, ebu8.b + 0.001f, 19.0f);
    readAt(probe1, 0.45f, 0.52f);
    slot = kStopSlot;
    EXPECT_EQ(refresh(), kStopSlot);

    const QPoint grey0 = at(kGreyUvPicture, 0.205f, 0.475f);
    EXPECT_EQ(rgbAt(set.areas.grayScaleGraph, grey0.x(), grey0.y()),
              rgbAt(set.pictures[kGreyUvPicture], grey0.x(), grey0.y()))
        << "Grey0 is not on the grey-scale panel";
    const QPoint dicom0 = at(kGreyUvPicture, 0.2f, 0.47f);
    EXPECT_EQ(rgbAt(set.areas.grayScaleGraph, dicom0.x(), dicom0.y()),
              rgbAt(set.pictures[kGreyUvPicture], dicom0.x(), dicom0.y()))
        << "nor is DICOM0";
    const QPoint d65 = at(kGreyUvPicture, 0.1978f, 0.4683f);
    EXPECT_NE(rgbAt(set.areas.grayScaleGraph, d65.x(), d65.y()), rgb(0, 0, 0))
        << "the grey markers at D65 stay visible";
    const QPoint dicom19 = at(kGreyUvPicture, 0.195f, 0.465f);
    EXPECT_EQ(rgbAt(set.areas.grayScaleGraph, dicom19.x(), dicom19.y()), rgb(235, 235, 58));
    const QPoint deviation = at(kEbuUvPicture, 0.002f, 0.001f);
    EXPECT_EQ(rgbAt(set.areas.ebuColorsGraph, deviation.x(), deviation.y()), rgb(201, 92, 90));

    const QPoint grey0OnDiagram = at(kDiagramUvPicture, 0.205f, 0.475f);
    EXPECT_EQ(rgbAt(set.areas.cieGraph, grey0OnDiagram.x(), grey0OnDiagram.y()), rgb(128, 128, 128))
        << "the diagram shows slots below 40";
    const QPoint dicomOnDiagram = at(kDiagramUvPicture, 0.195f, 0.465f);
    EXPECT_NE(rgbAt(set.areas.cieGraph, dicomOnDiagram.x(), dicomOnDiagram.y()), rgb(235, 235, 58))
        << "but no DICOM step";
    const QPoint reading = at(kDiagramUvPicture, 0.45f, 0.52f);
    EXPECT_EQ(rgbAt(set.areas.cieGraph, reading.x() + 5, reading.y()),
              rgbAt(set.pictures[kDiagramUvPicture], reading.x() + 5, reading.y()))
        << "no current reading";
    const QPoint corner = at(kGreyUvPicture, 0.19f, 0.46f);
    EXPECT_EQ(rgbAt(set.areas.grayScaleGraph, corner.x() + 1, corner.y() - 1),
              rgbAt(set.pictures[kGreyUvPicture], corner.x() + 1, corner.y() - 1))
        << "slots without a result are not drawn";
}

TEST_F(ChartRefresh, ASecondProbeNotShownIsNotDrawn) {
    readAt(probe1, 0.25f, 0.50f);
    probe1.spectrum.firstWavelength = 380;
    probe1.spectrum.lastWavelength = 780;
    probe1.spectrum.count = 401;
    probe1.spectrum.values.fill(1.0f);
    refresh();
    const QImage firstOnlyDiagram = set.areas.cieGraph.image().copy();
    const QImage firstOnlySpectrum = set.areas.SpectralGraph.image().copy();

    probe2 = probe1;
    readAt(probe2, 0.20f, 0.40f);
    probe2.spectrum.values.fill(0.5f);
    probe2.spectrum.values[100] = 1.0f;
    probe2.shown = 0;
    refresh();
    EXPECT_EQ(set.areas.cieGraph.image(), firstOnlyDiagram);
    EXPECT_EQ(set.areas.SpectralGraph.image(), firstOnlySpectrum);

    probe2.shown = 2;
    refresh();
    EXPECT_NE(set.areas.cieGraph.image(), firstOnlyDiagram);
    EXPECT_NE(set.areas.SpectralGraph.image(), firstOnlySpectrum);
}

TEST_F(ChartRefresh, GammaViewsAreDrawnOverTheirPanel) {
    spectralView = 4;
    report.xyz[41].Y = 200.0f;
    report.xyz[61].Y = 0.5f;
    refresh();
    // The DICOM caption over the redrawn panel.
    int white = 0;
    for (int x = 30; x < 200; ++x)
        white += rgbAt(set.areas.SpectralGraph, x, 10) == rgb(255, 255, 255);
    EXPECT_GT(white, 0);
}

// Equivalent gammas of the display function reach about 3.9; on the 1.0 to 3.0 scale of the
// power-law targets they ran through the caption and out of the picture.
TEST_F(ChartRefresh, ADicomTargetKeepsTheGreyGammaViewInsideItsPlot) {
    gamma = QStringLiteral("DICOM");
    for (int slot = kFirstGreySlot; slot <= kLastGreySlot; ++slot)
        report.xyz[slot].Y = 0.25f + 249.75f * std::pow(displayLevel(targets, slot) / 255.0f, 2.4f);
    redrawGammaPictures(set, GammaSources{report, targets, gamma});
    spectralView = 3;
    refresh();
    const TGraphConstrains& chart = set.recordOf(viewPicture(3));
    for (const Canvas* canvas : {&set.pictures[viewPicture(3)], &set.areas.SpectralGraph}) {
        int targetAbove = 0, targetInside = 0;
        for (int x = 0; x < canvas->width(); ++x)
            for (int y = 0; y < canvas->height(); ++y) {
                const bool target = rgbAt(*canvas, x, y) == rgb(kTargetCurveColour);
                (y < chart.y.margin ? targetAbove : targetInside) += target;
            }
        EXPECT_EQ(targetAbove, 0) << "no target above the plot";
        EXPECT_GT(targetInside, 50) << "the target is drawn";
    }

    ZoomChart zoom;
    configureZoomChart(zoom, kSpectralTag, 300, 150, {false, 3, 0},
                       GammaSources{report, targets, gamma});
    EXPECT_EQ(zoom.chart.y.max, 5.0f) << "the zoomed view too";
}

TEST_F(ChartRefresh, ZoomChartConfigurations) {
    struct Case {
        int tag;
        ZoomSelection selection;
        const char* caption;
        float yMax;
        int yDivisions;
        const char* xName;
    };
    const Case cases[] = {
        {kCieTag, {true, 0, 0}, "VQS1.0 CIEDiagramxy", 0.9f, 9, "x"},
        {kSpectralTag, {false, 1, 0}, "VQS1.0 SpectralgraphWide", 1.0f, 2, "nm"},
        {kSpectralTag, {false, 3, 0}, "VQS1.0 GammaDCgraph", 4.0f, 6, "%"},
        {kSpectralTag, {false, 5, 0}, "VQS1.0 DICOMDCgraph", 5.0f, 8, "%"},
        {kEbuColoursTag, {false, 0, 0}, "VQS1.0 EBUColorsTolerancefielduv", 0.006f, 6, "u"},
        {kRgbTag, {true, 0, 2}, "VQS1.0 BlueTolerancefieldxy", 0.08f, 4, "x"},
    };
    ZoomChart zoom;
    for (const Case& c : cases) {
        EXPECT_EQ(configureZoomChart(zoom, c.tag, 300, 150, c.selection,
                                     GammaSources{report, targets, gamma}),
                  c.caption);
        EXPECT_EQ(zoom.picture.image().size(), QSize(340, 190)) << c.caption;
        EXPECT_EQ(zoom.chart.y.max, c.yMax) << c.caption;
        EXPECT_EQ(zoom.chart.y.divisions, c.yDivisions) << c.caption;
        EXPECT_EQ(zoom.chart.x.name, c.xName) << c.caption;
    }
}

}  // namespace
}  // namespace vqs
