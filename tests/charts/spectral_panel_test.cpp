// The spectral panel: its colour strip and curves, and spectra plotted over it.

#include "charts/spectral_panel.h"
#include "chart_fixtures.h"
#include "charts/gamma_panel.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

using testing::rgb;
using testing::rgbAt;

const auto kWhite = rgb(255, 255, 255);
const auto kBlack = rgb(0, 0, 0);

TGraphConstrains spectralChart(float min, float max, int divisions) {
    TGraphConstrains chart;
    chart.x = {400, 20, min, max, divisions, QStringLiteral("nm")};
    chart.y = {200, 20, 0.0f, 1.0f, 2, QString()};
    return chart;
}

// A spectrum at 1 nm from `first` to `last`, all of one value.
Tprobevals flatSpectrum(int first, int last, float value) {
    Tprobevals reading;
    reading.spectrum.firstWavelength = first;
    reading.spectrum.lastWavelength = last;
    reading.spectrum.count = last - first + 1;
    for (int i = 0; i < reading.spectrum.count; ++i) reading.spectrum.values[i] = value;
    return reading;
}

float& valueAt(Tprobevals& reading, int nm) {
    return reading.spectrum.values[nm - reading.spectrum.firstWavelength];
}

class SpectralPanel : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        narrow_ = new TGraphConstrains(spectralChart(400, 700, 3));
        wide_ = new TGraphConstrains(spectralChart(300, 900, 6));
        narrowPicture_ = new Canvas(pictureWidth(*narrow_), pictureHeight(*narrow_));
        widePicture_ = new Canvas(pictureWidth(*wide_), pictureHeight(*wide_));
        drawSpectralPanel(*narrowPicture_, *narrow_);
        drawSpectralPanel(*widePicture_, *wide_);
    }
    static void TearDownTestSuite() {
        delete narrow_;
        delete wide_;
        delete narrowPicture_;
        delete widePicture_;
    }

    // Both probes as the refresh draws them: the second (restoring the panel), then the first.
    Canvas plot(int view, const Tprobevals& first, const Tprobevals& second, int secondShown) {
        PlotTargets targets;
        targets.mainCharts[0] = narrow_;
        targets.mainCharts[1] = wide_;
        targets.mainPictures[0] = narrowPicture_;
        targets.mainPictures[1] = widePicture_;
        const GammaSources sources{report_, catalogue_, gamma_};
        Canvas area(440, 240);
        plotMeasurement(area, view, second, secondShown, targets, sources);
        plotMeasurement(area, view, first, 1, targets, sources);
        return area;
    }
    const Canvas& background(int view) const { return view == 0 ? *narrowPicture_ : *widePicture_; }

    static inline TGraphConstrains* narrow_ = nullptr;
    static inline TGraphConstrains* wide_ = nullptr;
    static inline Canvas* narrowPicture_ = nullptr;
    static inline Canvas* widePicture_ = nullptr;
    Tcaldaten report_;
    PatchCatalogue catalogue_ = makePatchCatalogue();
    QString gamma_ = QStringLiteral("2.2");
    Tprobevals none_;
};

TEST_F(SpectralPanel, StripRunsFromOnePixelRightOfTheAxisAndStopsBeforeTheRangeEnd) {
    const Canvas& c = *narrowPicture_;
    EXPECT_EQ(rgbAt(c, 20, 100), kWhite) << "vertical axis";
    const QRgb first = c.pixel(21, 100);
    EXPECT_GT(qBlue(first), qRed(first)) << "violet at 400 nm";
    EXPECT_EQ(qGreen(first), 0);
    const QRgb last = c.pixel(420, 100);
    EXPECT_GT(qRed(last), 0) << "deep red just below 700 nm";
    EXPECT_EQ(rgbAt(c, 421, 100), kBlack) << "700 nm itself is not drawn";
    // The strip covers the plot height from its top row, leaving the row above the axis.
    EXPECT_EQ(rgb(c.pixel(300, 20)), rgb(c.pixel(300, 150)));
    EXPECT_EQ(rgbAt(c, 300, 19), kBlack);
}

TEST_F(SpectralPanel, ColourMatchingCurvesAreScaledToTheFixedDivisor) {
    // y-bar is 1.0 at 555 nm: 1 / 1.918331 of the height above the bottom row.
    EXPECT_EQ(rgbAt(*narrowPicture_, 226, 114), rgb(kYbarColour));
    // x-bar peaks near 599 nm; on the wide view it lies at two thirds of a pixel per nanometre.
    EXPECT_EQ(rgbAt(*widePicture_, 219, 108), rgb(kXbarColour));
}

TEST_F(SpectralPanel, PeakInsideTheShownRangeReachesTheTop) {
    Tprobevals cs2000 = flatSpectrum(380, 780, 1.0f);
    valueAt(cs2000, 390) = 10.0f;  // outside the narrow view
    valueAt(cs2000, 550) = 2.0f;
    EXPECT_EQ(spectrumPeak(cs2000.spectrum, *narrow_), 2.0f);
    EXPECT_EQ(spectrumPeak(cs2000.spectrum, *wide_), 10.0f);

    const Canvas narrow = plot(0, cs2000, none_, 0);
    EXPECT_EQ(rgbAt(narrow, 220, 20), kWhite) << "550 nm at the top";
    EXPECT_EQ(rgbAt(narrow, 100, 120), kWhite) << "half the peak at half height";

    const Canvas wide = plot(1, cs2000, none_, 0);
    EXPECT_EQ(rgbAt(wide, 80, 20), kWhite) << "390 nm at the top";
    // From the plot origin a straight line to the first value at 380 nm.
    int whiteInColumn = 0;
    for (int y = 201; y < 220; ++y) whiteInColumn += rgbAt(wide, 46, y) == kWhite ? 1 : 0;
    EXPECT_GT(whiteInColumn, 0);
}

TEST_F(SpectralPanel, WithinOnePixelColumnTheHighestValueWins) {
    // On the wide view 450 and 451 nm share column 120; 452 nm is in column 121.
    Tprobevals reading = flatSpectrum(300, 899, 0.5f);
    valueAt(reading, 450) = 1.0f;
    valueAt(reading, 451) = 0.0f;
    const Canvas c = plot(1, reading, none_, 0);
    EXPECT_EQ(rgbAt(c, 120, 20), kWhite);
    EXPECT_NE(rgbAt(c, 120, 150), kWhite) << "the low value of 451 nm is not drawn down";
    EXPECT_EQ(rgbAt(c, 140, 120), kWhite) << "the rest at half height";
}

TEST_F(SpectralPanel, SecondProbeIsGreyUnderTheFirstAndOnlyTheFirstWritesItsPeak) {
    const Tprobevals first = flatSpectrum(380, 780, 1.0f);
    Tprobevals second = flatSpectrum(380, 780, 1.0f);
    valueAt(second, 600) = 2.0f;  // the rest of the grey curve lies at half height
    const QRect peakText(30, 5, 60, 10);
    auto whiteIn = [](const Canvas& c, const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += rgbAt(c, x, y) == kWhite ? 1 : 0;
        return n;
    };

    const Canvas both = plot(0, first, second, 2);
    EXPECT_EQ(rgbAt(both, 100, 20), kWhite) << "first probe on top, scaled to its own peak";
    EXPECT_EQ(rgbAt(both, 100, 120), rgb(kSecondSpectrumColour));
    EXPECT_GT(whiteIn(both, peakText), 0);

    Tprobevals firstAlone = first;
    firstAlone.spectrum.count = 0;
    const Canvas secondOnly = plot(0, firstAlone, second, 2);
    EXPECT_EQ(whiteIn(secondOnly, peakText), whiteIn(background(0), peakText))
        << "the grey probe writes no peak";

    const Canvas hidden = plot(0, first, second, 0);
    const Canvas firstOnly = plot(0, first, none_, 0);
    EXPECT_EQ(hidden.image(), firstOnly.image()) << "a second probe not shown is not drawn";
}

TEST_F(SpectralPanel, NoSpectrumOrNoPositiveValueLeavesTheBackground) {
    const Canvas none = plot(0, none_, none_, 0);
    EXPECT_EQ(none.image(), narrowPicture_->image().copy(0, 0, 440, 240));

    const Tprobevals dark = flatSpectrum(380, 780, -1.0f);
    EXPECT_EQ(spectrumPeak(dark.spectrum, *narrow_), 0.0f);
    const Canvas c = plot(0, dark, none_, 0);
    EXPECT_EQ(rgb(c.pixel(220, 219)), rgb(narrowPicture_->pixel(220, 219))) << "no curve";
}

TEST_F(SpectralPanel, OnlyValuesTheBlockHoldsAreRead) {
    // A block whose wavelengths claim more than its count (or the capacity) holds.
    Tprobevals odd = flatSpectrum(380, 480, 1.0f);
    odd.spectrum.lastWavelength = 780;
    valueAt(odd, 480) = 0.5f;
    odd.spectrum.values[200] = 99.0f;  // beyond the count: not part of the spectrum
    EXPECT_EQ(spectrumPeak(odd.spectrum, *wide_), 1.0f);

    Tprobevals far = flatSpectrum(-1500, -1500 + kSpectrumCapacity - 1, 1.0f);
    far.spectrum.lastWavelength = 900;
    EXPECT_EQ(spectrumPeak(far.spectrum, *wide_), 1.0f);  // 300..547 nm are held
    const Canvas c = plot(1, far, none_, 0);
    EXPECT_EQ(rgbAt(c, 150, 20), kWhite);
    EXPECT_NE(rgbAt(c, 400, 20), kWhite) << "nothing beyond the held values";
}

}  // namespace
}  // namespace vqs
