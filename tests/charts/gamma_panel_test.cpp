// Target curves and bands of the gamma and DICOM panels, and the measured curve over them.

#include "charts/gamma_panel.h"
#include "chart_fixtures.h"
#include "charts/grading.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vqs {
namespace {

using testing::makeChart;
using testing::rgb;
using testing::rgbAt;

const auto kDarkRed = rgb(128, 0, 0);
const auto kWhite = rgb(255, 255, 255);
const auto kBlue = rgb(0, 0, 255);

class GammaPanelTest : public ::testing::Test {
  protected:
    PatchCatalogue targets = makePatchCatalogue();
    Tcaldaten report;
    QString targetGamma = QStringLiteral("2.2");
    TGraphConstrains relative = makeChart(400, 0, 255, 10, 200, 0, 100, 10, 1);
    TGraphConstrains greyGamma = makeChart(400, 22, 230, 8, 200, 1, 3, 4);
    TGraphConstrains dicomGamma = makeChart(400, 22, 230, 8, 200, 1, 5, 8);

    GammaSources sources() const { return {report, targets, targetGamma}; }
    Canvas panel(int kind, const TGraphConstrains& chart) const {
        Canvas canvas(pictureWidth(chart), pictureHeight(chart));
        drawGammaPanel(canvas, kind, chart, sources());
        return canvas;
    }
    // Pixel of a value at a display level, as the panels place it.
    static QPoint at(const TGraphConstrains& chart, int level, double value, bool gamma) {
        if (gamma) value -= chart.y.min;
        const float x = 20.0f + (static_cast<float>(level) - chart.x.min) * scaleX(chart);
        return {static_cast<int>(x), static_cast<int>(plotBottom(chart) - value * scaleY(chart))};
    }
    void measureGreyAndDicom(float white, float black) {
        report.xyz[4].Y = white;
        report.xyz[24].Y = black;
        report.xyz[41].Y = white;
        report.xyz[61].Y = black;
    }
};

TEST_F(GammaPanelTest, PowerLawGammaIsThreeLevelLines) {
    const Canvas canvas = panel(3, greyGamma);
    const float g = 2.2f;
    const int x = 45;  // between grid lines
    EXPECT_EQ(rgbAt(canvas, x, at(greyGamma, 0, g, true).y()), kDarkRed);
    EXPECT_EQ(rgbAt(canvas, x, at(greyGamma, 0, g + 0.15f, true).y()), kWhite);
    EXPECT_EQ(rgbAt(canvas, x, at(greyGamma, 0, g - 0.15f, true).y()), kWhite);
    const int row = at(greyGamma, 0, g, true).y();
    EXPECT_NEAR(row, 100, 1);
    EXPECT_EQ(rgbAt(canvas, 419, row), kDarkRed) << "across the plot";
    EXPECT_EQ(rgbAt(canvas, 420, row), rgb(128, 128, 128)) << "up to the last grid line";
}

TEST_F(GammaPanelTest, PowerLawRelativeCurveAndItsBand) {
    const Canvas canvas = panel(2, relative);
    const int level = 126;  // Grey10: a vertex of all three curves
    for (auto [exponent, colour] :
         {std::pair{2.2f, kDarkRed}, std::pair{2.05f, kWhite}, std::pair{2.35f, kWhite}}) {
        const double value = 100.0 * std::pow(level / 255.0, static_cast<double>(exponent));
        const QPoint p = at(relative, level, value, false);
        EXPECT_EQ(rgbAt(canvas, p.x(), p.y()), colour) << exponent;
    }
}

TEST_F(GammaPanelTest, DicomRelativeTargetRunsFromZeroToAHundred) {
    targetGamma = QStringLiteral("DICOM");
    measureGreyAndDicom(250.0f, 0.25f);
    const GsdfTarget target = gsdfTarget(report, targets, 24, 4);
    auto percent = [&](int slot, double factor) {
        return factor * (gsdfTargetLuminance(target, targets, slot) - 0.25) / (250.0 - 0.25);
    };
    EXPECT_NEAR(percent(24, 100), 0.0, 0.5);
    EXPECT_NEAR(percent(4, 100), 100.0, 0.5);
    EXPECT_NEAR(percent(4, 105), 105.0, 0.5);
    EXPECT_NEAR(percent(4, 95), 95.0, 0.5);

    for (int kind : {2, 4}) {  // the grey panel follows the setting, the DICOM panel always
        const Canvas canvas = panel(kind, relative);
        const int slot = kind == 2 ? 14 : 51;  // level 126
        const QPoint p = at(relative, 126, percent(14, 100), false);
        EXPECT_EQ(rgbAt(canvas, p.x(), p.y()), kDarkRed) << kind << " slot " << slot;
        const QPoint upper = at(relative, 126, percent(14, 105), false);
        EXPECT_EQ(rgbAt(canvas, upper.x(), upper.y()), kWhite) << kind;
    }
}

// The upper band ends at 105 %, above the 0 to 100 range: it stops at the top of the plot
// instead of running on into the margin beside the caption.
TEST_F(GammaPanelTest, DicomRelativeBandIsCutAtThePlotsTop) {
    targetGamma = QStringLiteral("DICOM");
    measureGreyAndDicom(250.0f, 0.25f);
    for (int kind : {2, 4}) {
        const Canvas canvas = panel(kind, relative);
        int inkAbove = 0;
        for (int y = 1; y < relative.y.margin; ++y)
            for (int x = 220; x < canvas.width() - 1; ++x)
                inkAbove += canvas.pixel(x, y) != qRgb(0, 0, 0);
        EXPECT_EQ(inkAbove, 0) << "kind " << kind;
        int bandAtTop = 0;
        for (int x = 380; x < 420; ++x) bandAtTop += rgbAt(canvas, x, relative.y.margin) == kWhite;
        EXPECT_GT(bandAtTop, 0) << "the band reaches the top, kind " << kind;
    }
}

TEST_F(GammaPanelTest, DicomGammaTargetFollowsTheStandardsCurve) {
    measureGreyAndDicom(250.0f, 0.25f);
    const GsdfTarget target = gsdfTarget(report, targets, 61, 41);
    const auto lt = static_cast<float>(gsdfTargetLuminance(target, targets, 51));
    const float gamma = levelGamma(targets, 51, lt, 0.25f, 250.0f);
    ASSERT_GT(gamma, 1.0f);
    ASSERT_LT(gamma, 5.0f);
    // Kind 5 draws it whatever the setting; kind 3 only with the "DICOM" setting.
    const Canvas dicom = panel(5, dicomGamma);
    const QPoint p = at(dicomGamma, 126, gamma, true);
    EXPECT_EQ(rgbAt(dicom, p.x(), p.y()), kDarkRed);
    const QPoint band = at(dicomGamma, 126, gamma * 1.05, true);
    EXPECT_EQ(rgbAt(dicom, band.x(), band.y()), kWhite);

    const Canvas powerLaw = panel(3, dicomGamma);
    EXPECT_NE(rgbAt(powerLaw, p.x(), p.y()), kDarkRed);
    targetGamma = QStringLiteral("DICOM");
    const Canvas greyDicom = panel(3, dicomGamma);
    EXPECT_EQ(rgbAt(greyDicom, p.x(), p.y()), kDarkRed);
}

class PlotTest : public GammaPanelTest {
  protected:
    Canvas background = panel(2, relative);
    PlotTargets plot;
    void SetUp() override {
        plot.mainCharts[2] = &relative;
        plot.mainPictures[2] = &background;
        plot.mainCharts[4] = &relative;
        plot.mainPictures[4] = &background;
        plot.reportChart = &relative;
    }
    void measureGreys() {
        measureGreyAndDicom(200.0f, 0.5f);
        report.xyz[14].Y = 50.0f;
    }
};

TEST_F(PlotTest, ScreenCallWithoutMarkerOnlyRestoresThePanel) {
    measureGreys();
    Canvas canvas(pictureWidth(relative), pictureHeight(relative));
    plotMeasurement(canvas, 2, Tprobevals{}, 0, plot, sources());
    EXPECT_EQ(canvas.image(), background.image());
}

TEST_F(PlotTest, NothingIsPlottedBeforeTheWhitePatch) {
    Canvas canvas = background;
    plotMeasurement(canvas, 2, Tprobevals{}, 1, plot, sources());
    EXPECT_EQ(canvas.image(), background.image());
}

TEST_F(PlotTest, MeasuredCurveAndCaption) {
    measureGreys();
    Canvas canvas = background;
    plotMeasurement(canvas, 2, Tprobevals{}, 1, plot, sources());
    const QPoint p = at(relative, 126, measuredRelative(report, 14, 24, 4), false);
    EXPECT_EQ(rgbAt(canvas, p.x(), p.y()), kBlue);
    EXPECT_EQ(rgbAt(canvas, 20, 220), kBlue) << "black plotted at 0";
    int captionInk = 0;
    for (int y = 5; y < 15; ++y)
        for (int x = 30; x < 50; ++x) captionInk += canvas.pixel(x, y) == qRgb(255, 255, 255);
    EXPECT_GT(captionInk, 0) << "the target text as caption, white on black";
}

TEST_F(PlotTest, ReportCaptionIsBlackOnWhiteAndNothingIsRestored) {
    measureGreys();
    TGraphConstrains print = relative;
    print.style = kPrintStyle;
    plot.reportChart = &print;
    Canvas paper(pictureWidth(print), pictureHeight(print));
    plotMeasurement(paper, 12, Tprobevals{}, 0, plot, sources());
    EXPECT_EQ(paper.fontColour(), qRgb(0, 0, 0));
    EXPECT_EQ(paper.brushColour(), qRgb(255, 255, 255));
    EXPECT_EQ(rgbAt(paper, 0, 0), kWhite) << "no screen frame";
    const QPoint p = at(print, 126, measuredRelative(report, 14, 24, 4), false);
    EXPECT_EQ(rgbAt(paper, p.x(), p.y()), kBlue);
}

TEST_F(PlotTest, DicomViewRedrawsItsPanelOnScreen) {
    measureGreys();
    Canvas canvas(pictureWidth(relative), pictureHeight(relative));  // white, not a panel
    plotMeasurement(canvas, 4, Tprobevals{}, 1, plot, sources());
    EXPECT_EQ(rgbAt(canvas, 0, 0), kWhite) << "frame";
    EXPECT_EQ(rgbAt(canvas, 1, 1), rgb(0, 0, 0)) << "black background";
}

}  // namespace
}  // namespace vqs
