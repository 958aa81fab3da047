#include "charts/gamma_panel.h"

#include "charts/grading.h"
#include "charts/spectral_panel.h"

#include <cmath>
#include <functional>

namespace vqs {

namespace {

constexpr int kGreyBlackSlot = 24;   // Grey0, level 0
constexpr int kGreyWhiteSlot = 4;    // Grey20, level 255
constexpr int kDicomBlackSlot = 61;  // DICOM0
constexpr int kDicomWhiteSlot = 41;  // DICOM20
constexpr int kGreyGammaFirst = 22;  // Grey2 .. Grey18: the levels where a gamma is defined
constexpr int kGreyGammaLast = 6;
constexpr int kDicomGammaFirst = 59;
constexpr int kDicomGammaLast = 43;

bool isGammaKind(int kind) {
    return kind == 3 || kind == 5;
}

// Panel point of a value at a slot's display level. Gamma panels measure from y.min; the
// relative panels start at 0 anyway.
QPoint panelPoint(const TGraphConstrains& chart, int kind, int level, double value) {
    if (isGammaKind(kind)) value -= chart.y.min;
    const float x = static_cast<float>(chart.x.margin) +
                    (static_cast<float>(level) - chart.x.min) * scaleX(chart);
    return QPoint(pixelTrunc(x), pixelTrunc(plotBottom(chart) - value * scaleY(chart)));
}

// A polyline over the slots from `first` down to `last`.
void drawCurve(Canvas& canvas, const TGraphConstrains& chart, int kind, const GammaSources& sources,
               int first, int last, const std::function<double(int)>& valueAt) {
    for (int slot = first; slot >= last; --slot) {
        const QPoint p =
            panelPoint(chart, kind, displayLevel(sources.targets, slot), valueAt(slot));
        if (slot == first)
            canvas.moveTo(p.x(), p.y());
        else
            canvas.lineTo(p.x(), p.y());
    }
}

void drawAxes(Canvas& canvas, int kind, const TGraphConstrains& chart) {
    if (isGammaKind(kind)) {
        drawAxis(canvas, horizontalAxis(chart, 10.0f, 20.0f, "%3.0f", 0));
        drawAxis(canvas, verticalAxis(chart, chart.y.min, chart.y.min + 0.5f, "%2.1f", 2));
    } else {
        drawAxis(canvas, horizontalAxis(chart, 0.0f, 10.0f, "%3.0f", 0));
        drawAxis(canvas, verticalAxis(chart, chart.y.min, chart.y.min + 10.0f, "%3.0f", 0));
    }
}

void drawDicomTargets(Canvas& canvas, int kind, const TGraphConstrains& chart,
                      const GammaSources& sources) {
    const bool dicomSlots = kind >= 4;
    const int blackSlot = dicomSlots ? kDicomBlackSlot : kGreyBlackSlot;
    const int whiteSlot = dicomSlots ? kDicomWhiteSlot : kGreyWhiteSlot;
    const GsdfTarget target = gsdfTarget(sources.report, sources.targets, blackSlot, whiteSlot);
    const QRgb ink = inkColour(chart.style);
    const double lmin = target.blackLuminance;
    const double lmax = target.whiteLuminance;

    if (isGammaKind(kind)) {
        const int first = dicomSlots ? kDicomGammaFirst : kGreyGammaFirst;
        const int last = dicomSlots ? kDicomGammaLast : kGreyGammaLast;
        auto gammaTimes = [&](double factor) {
            return [&, factor](int slot) {
                const auto lt =
                    static_cast<float>(gsdfTargetLuminance(target, sources.targets, slot));
                return factor * levelGamma(sources.targets, slot, lt, target.blackLuminance,
                                           target.whiteLuminance);
            };
        };
        canvas.setPenColour(kTargetCurveColour);
        drawCurve(canvas, chart, kind, sources, first, last, gammaTimes(1.0));
        canvas.setPenColour(ink);
        drawCurve(canvas, chart, kind, sources, first, last, gammaTimes(0.95));
        drawCurve(canvas, chart, kind, sources, first, last, gammaTimes(1.05));
        return;
    }

    auto relativeTimes = [&](double percent) {
        return [&, percent](int slot) {
            const double lt = gsdfTargetLuminance(target, sources.targets, slot);
            return percent * (lt - lmin) / (lmax - lmin);
        };
    };
    canvas.setPenColour(kTargetCurveColour);
    canvas.setPenWidth(2);
    drawCurve(canvas, chart, kind, sources, blackSlot, whiteSlot, relativeTimes(100.0));
    canvas.setPenWidth(1);
    canvas.setPenColour(ink);
    drawCurve(canvas, chart, kind, sources, blackSlot, whiteSlot, relativeTimes(105.0));
    drawCurve(canvas, chart, kind, sources, blackSlot, whiteSlot, relativeTimes(95.0));
}

void drawPowerLawTargets(Canvas& canvas, int kind, const TGraphConstrains& chart,
                         const GammaSources& sources) {
    const float g = effectiveTargetGamma(sources.targetGamma);
    const QRgb ink = inkColour(chart.style);
    if (kind == 3) {
        auto level = [&](float value) {
            const int y = panelPoint(chart, kind, 0, value).y();
            canvas.line(chart.x.margin, y, chart.x.margin + chart.x.length, y);
        };
        canvas.setPenColour(kTargetCurveColour);
        level(g);
        canvas.setPenColour(ink);
        level(g + 0.15f);
        level(g - 0.15f);
        return;
    }
    auto relativeWith = [&](float exponent) {
        return [&, exponent](int slot) {
            const float t =
                (static_cast<float>(displayLevel(sources.targets, slot)) - chart.x.min) /
                (chart.x.max - chart.x.min);
            return 100.0 * std::pow(static_cast<double>(t), static_cast<double>(exponent));
        };
    };
    canvas.setPenColour(kTargetCurveColour);
    canvas.setPenWidth(2);
    drawCurve(canvas, chart, kind, sources, kGreyBlackSlot, kGreyWhiteSlot, relativeWith(g));
    canvas.setPenWidth(1);
    canvas.setPenColour(ink);
    drawCurve(canvas, chart, kind, sources, kGreyBlackSlot, kGreyWhiteSlot,
              relativeWith(g + 0.15f));
    drawCurve(canvas, chart, kind, sources, kGreyBlackSlot, kGreyWhiteSlot,
              relativeWith(g - 0.15f));
}

}  // namespace

void drawGammaPanel(Canvas& canvas, int kind, const TGraphConstrains& chart,
                    const GammaSources& sources) {
    drawChartFrame(canvas, chart, qRgb(0, 0, 0));
    drawAxes(canvas, kind, chart);
    // A band may run past the vertical range (the DICOM band ends at 105 %); it is cut at the
    // plot's edge rather than drawn into the margin with the caption.
    const ScopedClip insidePlot(canvas, plotArea(chart));
    if (isDicomTarget(sources.targetGamma) || kind >= 4)
        drawDicomTargets(canvas, kind, chart, sources);
    else if (kind == 2 || kind == 3)
        drawPowerLawTargets(canvas, kind, chart, sources);
}

namespace {

enum class Destination { mainWindow, report, zoom };

struct MeasuredView {
    int whenSlot;       // drawn only once this slot is measured
    bool alwaysRedraw;  // screen destinations redraw the panel first (else only for DICOM)
    bool dicomCaption;
    int first, last;  // slots of the curve, in plotting order
    int blackSlot, whiteSlot;
};

const MeasuredView* measuredView(int view) {
    static const MeasuredView kViews[4] = {
        {4, false, false, kGreyBlackSlot, kGreyWhiteSlot, kGreyBlackSlot, kGreyWhiteSlot},
        {5, false, false, kGreyGammaFirst, kGreyGammaLast, kGreyBlackSlot, kGreyWhiteSlot},
        {41, true, true, kDicomBlackSlot, kDicomWhiteSlot, kDicomBlackSlot, kDicomWhiteSlot},
        {42, true, true, kDicomGammaFirst, kDicomGammaLast, kDicomBlackSlot, kDicomWhiteSlot},
    };
    return view >= 2 && view <= 5 ? &kViews[view - 2] : nullptr;
}

void drawMeasuredCurve(Canvas& canvas, int kind, const TGraphConstrains& chart,
                       const GammaSources& sources, const MeasuredView& measured) {
    canvas.setPenColour(kMeasuredCurveColour);
    canvas.setPenWidth(1);
    // A monitor far off its target stays on the chart's edge instead of crossing the labels.
    const ScopedClip insidePlot(canvas, plotArea(chart));
    drawCurve(canvas, chart, kind, sources, measured.first, measured.last, [&](int slot) -> double {
        if (isGammaKind(kind))
            return measuredGamma(sources.report, sources.targets, slot, measured.blackSlot,
                                 measured.whiteSlot);
        if (slot == measured.blackSlot) return 0.0;
        return measuredRelative(sources.report, slot, measured.blackSlot, measured.whiteSlot);
    });
}

}  // namespace

void plotMeasurement(Canvas& canvas, int view, const Tprobevals& reading, int marker,
                     const PlotTargets& plotTargets, const GammaSources& sources) {
    Destination destination = Destination::mainWindow;
    const TGraphConstrains* chart = nullptr;
    const Canvas* background = nullptr;
    if (view >= 20) {
        destination = Destination::zoom;
        view -= 20;
        chart = plotTargets.zoomChart;
        background = plotTargets.zoomPicture;
    } else if (view >= 10) {
        destination = Destination::report;
        view -= 10;
        chart = plotTargets.reportChart;
    } else if (view >= 0 && view < static_cast<int>(plotTargets.mainCharts.size())) {
        chart = plotTargets.mainCharts[view];
        background = plotTargets.mainPictures[view];
    }
    const bool screen = destination != Destination::report;
    if (screen) {
        if (marker != 1 && background != nullptr)
            canvas.copyRect(QRect(0, 0, background->width(), background->height()), *background,
                            QRect(0, 0, background->width(), background->height()));
        if (marker == 0) return;
    }
    if (chart == nullptr) return;
    if (view == 0 || view == 1) {
        plotSpectrum(canvas, *chart, reading, marker, screen);
        return;
    }
    // The gamma views plot the report rather than the reading.
    const MeasuredView* measured = measuredView(view);
    if (measured == nullptr) return;
    if (sources.report.xyz[measured->whenSlot].Y == 0.0f) return;

    const bool dicom = isDicomTarget(sources.targetGamma);
    // The redrawn background uses the same record as the curve, so axes, targets and the
    // measured values always share one vertical range.
    if (screen && (measured->alwaysRedraw || dicom)) drawGammaPanel(canvas, view, *chart, sources);

    canvas.setFontColour(screen ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    canvas.setBrushColour(screen ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    const QString caption = measured->dicomCaption || dicom ? kDicomCaption : sources.targetGamma;
    canvas.textOut(chart->x.margin + 10, 5, caption);

    drawMeasuredCurve(canvas, view, *chart, sources, *measured);
}

}  // namespace vqs
