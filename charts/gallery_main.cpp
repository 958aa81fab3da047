// Writes every chromaticity, gamma and DICOM chart as PNG into a folder, in screen and print
// style, in x, y and u', v', with and without measured data, for a look by eye.
//   lumiquest-gallery <folder>

#include "charts/chromaticity_diagram.h"
#include "charts/gallery_report.h"
#include "charts/gamma_panel.h"
#include "charts/grading.h"
#include "charts/tolerance_field.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

namespace vqs {
namespace {

TGraphAxeConstrains axis(int length, float min, float max, int divisions, const char* name) {
    return {length, 20, min, max, divisions, QString::fromUtf8(name)};
}

TGraphConstrains chart(TGraphAxeConstrains x, TGraphAxeConstrains y, float refA, float refB,
                       int style) {
    TGraphConstrains c;
    c.x = x;
    c.y = y;
    c.refA = refA;
    c.refB = refB;
    c.style = style;
    return c;
}

TGraphConstrains diagramChart(bool xyMode, int style) {
    return xyMode ? chart(axis(400, 0, 0.9f, 9, "x"), axis(400, 0, 0.9f, 9, "y"), 0.3127f, 0.329f,
                          style)
                  : chart(axis(400, 0, 0.6f, 6, "u"), axis(400, 0, 0.6f, 6, "v"), 0.1978f, 0.4683f,
                          style);
}

TGraphConstrains gammaChart(int kind, int screenStyle) {
    switch (kind) {
        case 3:
            return chart(axis(400, 22, 230, 8, "%"), axis(200, 1, 3, 4, "Y%"), 0, 0, screenStyle);
        case 5:
            return chart(axis(400, 22, 230, 8, "%"), axis(200, 1, 5, 8, "Y%"), 0, 0, screenStyle);
        default:
            return chart(axis(400, 0, 255, 10, "%"), axis(200, 0, 100, 10, "Y%"), 0, 0,
                         screenStyle);
    }
}

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

const char* styleName(int style) {
    return style == kPrintStyle ? "print" : "screen";
}

void drawDiagrams(Gallery& gallery, const PatchCatalogue& targets, const Tcaldaten& measured) {
    for (bool xyMode : {true, false}) {
        for (int style : {0, kPrintStyle}) {
            const TGraphConstrains c = diagramChart(xyMode, style);
            Canvas picture(pictureWidth(c), pictureHeight(c));
            drawChromaticityDiagram(picture, xyMode, c, kDiagramEbuTargets, buildLocus(xyMode),
                                    targets);
            const QString base =
                QStringLiteral("chromaticity_%1_%2").arg(xyMode ? "xy" : "uv", styleName(style));
            gallery.save(picture, base);

            // With the measured patches, the measured gamut and the current reading.
            Canvas withData = picture;
            for (int slot = 1; slot < kStopSlot; ++slot) {
                const XyzTriple& v = measured.xyz[slot];
                const float sum = v.X + v.Y + v.Z;
                const UvPoint uv = toUV(v.X, v.Y, v.Z);
                const float a = xyMode ? v.X / sum : uv.up;
                const float b = xyMode ? v.Y / sum : uv.vp;
                drawPatchMarker(withData, c, targets, a, b, slot);
            }
            withData.setPenColour(style == kPrintStyle ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            drawMeasuredGamut(withData, xyMode, c, measured);
            gallery.save(withData, base + QStringLiteral("_measured"));

            Canvas current = picture;
            drawCurrentPoint(current, c, xyMode ? 0.40f : 0.25f, xyMode ? 0.42f : 0.50f, picture,
                             1);
            drawCurrentPoint(current, c, xyMode ? 0.25f : 0.17f, xyMode ? 0.25f : 0.40f, current,
                             2);
            gallery.save(current, base + QStringLiteral("_current"));
        }
    }
}

void drawToleranceFields(Gallery& gallery) {
    const TGraphConstrains xy =
        chart(axis(160, 0.30f, 0.32f, 2, "x"), axis(160, 0.32f, 0.34f, 2, "y"), 0.3127f, 0.329f, 0);
    const TGraphConstrains uv = chart(axis(160, 0.19f, 0.21f, 2, "u'"),
                                      axis(160, 0.46f, 0.48f, 2, "v'"), 0.1978f, 0.4683f, 0);
    for (bool xyMode : {true, false}) {
        const TGraphConstrains& c = xyMode ? xy : uv;
        Canvas picture(pictureWidth(c), pictureHeight(c));
        drawChartFrame(picture, c, qRgb(0, 0, 0));
        drawAxis(picture, horizontalAxis(c, c.x.min, c.x.min + 0.01f, "%3.2f", 0));
        drawAxis(picture, verticalAxis(c, c.y.min, c.y.min + 0.01f, "%3.2f", 0));
        picture.setPenColour(qRgb(255, 255, 255));
        drawToleranceField(picture, xyMode, c, greyTolerance, kToleranceCross | kToleranceEllipses);
        gallery.save(picture, QStringLiteral("tolerance_grey_%1").arg(xyMode ? "xy" : "uv"));
    }
}

void drawGammaPanels(Gallery& gallery, const PatchCatalogue& targets, const Tcaldaten& measured) {
    const Tcaldaten empty;
    for (const char* target : {"2.2", "DICOM"}) {
        const QString targetGamma = QString::fromLatin1(target);
        for (int style : {0, kPrintStyle}) {
            for (int kind = 2; kind <= 5; ++kind) {
                // The relative panels share a record of style 1 on screen.
                const int chartStyle = style == kPrintStyle ? kPrintStyle : (kind % 2 == 0 ? 1 : 0);
                const TGraphConstrains c = gammaChart(kind, chartStyle);
                const QString base =
                    QStringLiteral("gamma_kind%1_%2_%3")
                        .arg(kind)
                        .arg(targetGamma == QLatin1String("DICOM") ? "dicom" : "2.2",
                             styleName(style));
                Canvas picture(pictureWidth(c), pictureHeight(c));
                drawGammaPanel(picture, kind, c, GammaSources{empty, targets, targetGamma});
                gallery.save(picture, base);

                const GammaSources sources{measured, targets, targetGamma};
                Canvas withData(pictureWidth(c), pictureHeight(c));
                drawGammaPanel(withData, kind, c, sources);
                PlotTargets plot;
                plot.mainCharts[kind] = &c;
                plot.mainPictures[kind] = &picture;
                plot.reportChart = &c;
                const int view = style == kPrintStyle ? kind + 10 : kind;
                plotMeasurement(withData, view, Tprobevals{}, 1, plot, sources);
                gallery.save(withData, base + QStringLiteral("_measured"));
            }
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
    const vqs::PatchCatalogue targets = vqs::makePatchCatalogue();
    const vqs::Tcaldaten measured = vqs::makeGalleryReport(targets);
    vqs::Gallery gallery(folder);
    vqs::drawDiagrams(gallery, targets, measured);
    vqs::drawToleranceFields(gallery);
    vqs::drawGammaPanels(gallery, targets, measured);
    std::printf("%d charts written to %s\n", gallery.written(), qPrintable(folder));
    return gallery.failed() ? 1 : 0;
}
