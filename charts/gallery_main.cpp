// Writes every chart as PNG into a folder for a look by eye: each picture of the main chart set
// on screen and in print style, the drawing areas as a refresh leaves them (live, on a patch,
// the "Stop (Show All)" overview), every view of the spectral panel with its measured curve, and
// the gamma pictures under a DICOM target.
//   lumiquest-gallery <folder>

#include "charts/chart_refresh.h"
#include "charts/chart_set.h"
#include "charts/gallery_report.h"
#include "charts/grading.h"
#include "charts/tolerance_field.h"

#include <QDir>
#include <QGuiApplication>

#include <cmath>
#include <cstdio>

namespace vqs {
namespace {

const char* const kPictureNames[kChartPictures] = {
    "diagram_xy",        "diagram_uv",        "spectral_narrow",      "spectral_wide",
    "gamma_relative",    "gamma_grey",        "gamma_dicom_relative", "gamma_dicom",
    "tolerance_grey_xy", "tolerance_grey_uv", "tolerance_ebu_xy",     "tolerance_ebu_uv",
    "gamut_red_xy",      "gamut_green_xy",    "gamut_blue_xy",        "gamut_red_uv",
    "gamut_green_uv",    "gamut_blue_uv",
};

class Gallery {
  public:
    explicit Gallery(const QString& folder) : dir_(folder) {}

    void save(const Canvas& canvas, const QString& name) {
        const QString path = dir_.filePath(name + QStringLiteral(".png"));
        if (!canvas.image().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            failed_ = true;
        }
        ++written_;
    }
    bool failed() const { return failed_; }
    int written() const { return written_; }

  private:
    QDir dir_;
    bool failed_ = false;
    int written_ = 0;
};

// A reading at a chromaticity with a smooth spectrum, so that the spectral views have a curve.
Tprobevals galleryReading(float x, float y, float Y, float peakNm) {
    Tprobevals r;
    r.Y = Y;
    r.X = x / y * Y;
    r.Z = (1.0f - x - y) / y * Y;
    r.x = x;
    r.y = y;
    r.up = 4.0f * x / (-2.0f * x + 12.0f * y + 3.0f);
    r.vp = 9.0f * y / (-2.0f * x + 12.0f * y + 3.0f);
    r.spectrum.firstWavelength = 380;
    r.spectrum.lastWavelength = 780;
    r.spectrum.count = 401;
    for (int i = 0; i < 401; ++i) {
        const float d = (380.0f + i - peakNm) / 60.0f;
        r.spectrum.values[i] = 0.002f + 0.004f * std::exp(-d * d);
    }
    return r;
}

// Each picture of the set as the main window has it.
void savePictures(Gallery& gallery, const ChartSet& set, const QList<int>& pictures,
                  const QString& prefix) {
    for (int picture : pictures)
        gallery.save(set.pictures[picture], prefix + QString::fromLatin1(kPictureNames[picture]));
}

// Each picture in print style: the set's record with white paper and black ink.
void savePrintPictures(Gallery& gallery, const ChartSet& set, const QList<int>& pictures,
                       const GammaSources& sources, const QString& prefix) {
    const bool dicomTarget = isDicomTarget(sources.targetGamma);
    for (int picture : pictures) {
        const int view = picture - kFirstViewPicture;
        const bool isView = view >= 0 && view < kSpectralViews;
        TGraphConstrains chart =
            set.recordOf(isView ? viewRecordPicture(view, dicomTarget) : picture);
        chart.style = kPrintStyle;
        Canvas canvas(pictureWidth(chart), pictureHeight(chart));
        drawChartPicture(canvas, picture, chart, sources);
        // The gamma views carry their measured curve, as the report prints them.
        if (isView && view >= 2) {
            PlotTargets plot;
            plot.reportChart = &chart;
            plotMeasurement(canvas, view + 10, Tprobevals{}, 1, plot, sources);
        }
        gallery.save(canvas, prefix + QString::fromLatin1(kPictureNames[picture]));
    }
}

void saveAreas(Gallery& gallery, const ChartSet& set, const QString& prefix) {
    const std::pair<const Canvas*, const char*> areas[] = {
        {&set.areas.cieGraph, "cieGraph"},
        {&set.areas.SpectralGraph, "SpectralGraph"},
        {&set.areas.grayScaleGraph, "grayScaleGraph"},
        {&set.areas.ebuColorsGraph, "ebuColorsGraph"},
        {&set.areas.rgbGraph, "rgbGraph"},
    };
    for (const auto& [area, name] : areas) gallery.save(*area, prefix + QString::fromLatin1(name));
}

// The drawing areas after refreshes: live on a grey, on EBU8 and on red with a second probe, and
// the overview of a whole measured report, each in u', v' and in x, y.
void saveRefreshes(Gallery& gallery, ChartSet& set, const Tcaldaten& report,
                   const PatchCatalogue& targets) {
    const QString gamma = QStringLiteral("2.35");
    struct Scene {
        const char* name;
        Tprobevals first, second;
        int slot;
    };
    const Scene scenes[] = {
        {"live_grey", galleryReading(0.3135f, 0.3280f, 120.0f, 550.0f), {}, kStartSlot},
        {"live_ebu8", galleryReading(0.4390f, 0.3190f, 22.0f, 610.0f), {}, 32},
        {"live_red_two_probes", galleryReading(0.637f, 0.332f, 53.0f, 640.0f),
         galleryReading(0.633f, 0.336f, 51.0f, 630.0f), 1},
        {"overview", galleryReading(0.3127f, 0.329f, 100.0f, 550.0f), {}, kStopSlot},
    };
    int rgbView = 0;
    for (bool xyMode : {false, true})
        for (const Scene& scene : scenes) {
            Tprobevals second = scene.second;
            second.shown = second.Y > 0.0f ? 2 : 0;
            const ChartInputs in{scene.first, second, GammaSources{report, targets, gamma},
                                 xyMode,      0,      scene.slot};
            refreshCharts(set, in, rgbView);
            saveAreas(gallery, set,
                      QStringLiteral("screen_%1_%2_").arg(scene.name, xyMode ? "xy" : "uv"));
        }
}

// Every view of the spectral panel over the measured report, for a power-law and a DICOM target.
void saveSpectralViews(Gallery& gallery, ChartSet& set, const Tcaldaten& report,
                       const PatchCatalogue& targets) {
    const Tprobevals first = galleryReading(0.3127f, 0.329f, 100.0f, 560.0f);
    const Tprobevals second = [] {
        Tprobevals r = galleryReading(0.30f, 0.32f, 90.0f, 500.0f);
        r.shown = 2;
        return r;
    }();
    for (const char* target : {"2.35", "DICOM"}) {
        const GammaSources sources{report, targets, QString::fromLatin1(target)};
        redrawGammaPictures(set, sources);
        for (int view = 0; view < kSpectralViews; ++view) {
            const ChartInputs in{first, second, sources, false, view, kStartSlot};
            plotSpectralView(set, in);
            gallery.save(set.areas.SpectralGraph,
                         QStringLiteral("screen_view%1_%2").arg(view).arg(target).toLower());
        }
    }
}

}  // namespace
}  // namespace vqs

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery-output");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    using namespace vqs;
    const PatchCatalogue targets = makePatchCatalogue();
    const Tcaldaten measured = makeGalleryReport(targets);
    Gallery gallery(folder);
    ChartSet set;
    // Only the grey-scale gamma pictures follow the target; they are shown for both kinds.
    QList<int> everyPicture;
    for (int picture = 0; picture < kChartPictures; ++picture) everyPicture << picture;
    const QList<int> targetPictures = {viewPicture(2), viewPicture(3)};
    const GammaSources dicom{measured, targets, QStringLiteral("DICOM")};
    createCharts(set, dicom);
    savePictures(gallery, set, targetPictures, QStringLiteral("screen_dicom_"));
    savePrintPictures(gallery, set, targetPictures, dicom, QStringLiteral("print_dicom_"));
    const GammaSources powerLaw{measured, targets, QStringLiteral("2.35")};
    createCharts(set, powerLaw);
    savePictures(gallery, set, everyPicture, QStringLiteral("screen_"));
    savePrintPictures(gallery, set, everyPicture, powerLaw, QStringLiteral("print_"));
    saveRefreshes(gallery, set, measured, targets);
    saveSpectralViews(gallery, set, measured, targets);
    std::printf("%d charts written to %s\n", gallery.written(), qPrintable(folder));
    return gallery.failed() ? 1 : 0;
}
