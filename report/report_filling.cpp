#include "report/report_filling.h"

#include "charts/canvas.h"
#include "charts/chart_geometry.h"
#include "charts/chromaticity_diagram.h"
#include "charts/chromaticity_locus.h"
#include "charts/gamma_panel.h"
#include "charts/grading.h"
#include "charts/tolerance_field.h"
#include "charts/tolerance_panels.h"
#include "colour/fixed_text.h"

#include <array>

namespace vqs {
namespace {

constexpr int kChartMargin = 20;
constexpr int kWhiteSlot = 5;  // Grey19 - White, the reference of the relative luminances
constexpr QRgb kMeasuredGamutColour = qRgb(0, 128, 0);

// The page captions in print order; the fields are numbered in another order.
constexpr std::array<std::pair<const char*, int>, kReportPages> kPageCaptions = {{
    {"pageNofM1", 1}, {"pageNofM6", 2}, {"pageNofM2", 3},
    {"pageNofM3", 4}, {"pageNofM4", 5}, {"pageNofM5", 6},
}};

struct AxisRange {
    float min;
    float max;
    int divisions;
    const char* name;
};

struct PlotArea {
    int width;
    int height;
};

// A print-style chart of the given plot size and axes around a reference chromaticity.
void shapeChart(TGraphConstrains& chart, PlotArea plot, AxisRange x, AxisRange y, float refA,
                float refB) {
    chart.style = kPrintStyle;
    chart.x = {plot.width, kChartMargin, x.min, x.max, x.divisions, QString::fromLatin1(x.name)};
    chart.y = {plot.height, kChartMargin, y.min, y.max, y.divisions, QString::fromLatin1(y.name)};
    chart.refA = refA;
    chart.refB = refB;
}

// A new white picture of the chart's size.
Canvas pictureFor(const TGraphConstrains& chart) {
    return Canvas(pictureWidth(chart), pictureHeight(chart));
}

struct Chromaticity {
    float x = 0.0f;
    float y = 0.0f;
    float up = 0.0f;
    float vp = 0.0f;
};

struct ChartPoint {
    float a = 0.0f;
    float b = 0.0f;
};

Chromaticity chromaticityOf(const XyzTriple& xyz) {
    Chromaticity c;
    const float sum = xyz.X + xyz.Y + xyz.Z;
    if (sum != 0.0f) {
        c.x = xyz.X / sum;
        c.y = xyz.Y / sum;
    }
    const float d = xyz.X + 15.0f * xyz.Y + 3.0f * xyz.Z;
    if (d != 0.0f) {
        c.up = 4.0f * xyz.X / d;
        c.vp = 9.0f * xyz.Y / d;
    }
    return c;
}

// Everything the filling steps share.
class ReportFiller {
  public:
    explicit ReportFiller(const ReportInputs& in)
        : in_(in), sources_{in.report, in.targets, in.targetGamma} {
        for (int slot = 0; slot < kPatchSlots; ++slot)
            measured_[slot] = chromaticityOf(in.report.xyz[slot]);
    }

    ReportDocument fill() {
        fillIdentity();
        fillTransferFunctions();
        const GradingTexts grading = gradeReport(in_.report, in_.targets);
        fillGreyScale(grading.greyScale);
        fillGamut();
        fillEbuColours(grading.colours);
        fillOverview();
        return std::move(document_);
    }

  private:
    ChartPoint measuredPoint(int slot) const {
        const Chromaticity& c = measured_[slot];
        return in_.xyMode ? ChartPoint{c.x, c.y} : ChartPoint{c.up, c.vp};
    }

    // The target of an EBU colour in the chart's coordinates; the catalogue has it in u', v'.
    ChartPoint targetPoint(int slot) const {
        const Ttarget& t = in_.targets[slot];
        if (!in_.xyMode) return {t.targetA, t.targetB};
        const XyPoint xy = uvToXy(t.targetA, t.targetB);
        return {xy.x, xy.y};
    }

    void marker(Canvas& canvas, const TGraphConstrains& chart, ChartPoint p, int slot) const {
        drawPatchMarker(canvas, chart, in_.targets, p.a, p.b, slot);
    }

    void measuredGamut(Canvas& canvas, const TGraphConstrains& chart) const {
        canvas.setPenColour(kMeasuredGamutColour);
        drawMeasuredGamut(canvas, in_.xyMode, chart, in_.report);
    }

    void setText(const char* field, const QString& text) {
        document_.setText(QString::fromLatin1(field), text);
    }
    void setPicture(const char* field, const Canvas& canvas) {
        document_.setPicture(QString::fromLatin1(field), canvas.image());
    }

    void fillIdentity() {
        for (const auto& [field, page] : kPageCaptions)
            setText(field, QStringLiteral("Page %1 of %2").arg(page).arg(kReportPages));
        document_.title = reportFileName(in_.serial, in_.name, in_.report.repdate);
        const QString dut = QStringLiteral("DUT: #") + in_.serial + QLatin1Char(' ') + in_.name;
        for (int n = 1; n <= kReportPages; ++n)
            document_.setText(QStringLiteral("repDUTname%1").arg(n), dut);
        setText("devSNID", in_.serial);
        setText("devName", in_.name);
        setText("repDatum", in_.report.repdate);
    }

    void fillTransferFunctions() {
        struct Curve {
            const char* field;
            int kind;
            AxisRange x;
            AxisRange y;
        };
        static constexpr AxisRange kDicomGammaRange = {1, 5, 8, "Y%"};
        static const Curve curves[] = {
            {"repPicGamma1", 2, {0, 255, 10, "%"}, {0, 100, 10, "Y%"}},
            {"repPicGamma2", 3, {22, 230, 8, "%"}, {1, 4, 6, "Y%"}},
            {"repPicGamma1Dicom", 4, {0, 255, 10, "%"}, {0, 100, 10, "Y%"}},
            {"repPicGamma2Dicom", 5, {22, 230, 8, "%"}, kDicomGammaRange},
        };
        const bool dicomTarget = isDicomTarget(in_.targetGamma);
        for (const Curve& c : curves) {
            // DICOM equivalent gammas reach about 4, and their upper tolerance band beyond it:
            // with that target the grey-scale gamma takes the DICOM gamma picture's range, as
            // the window's panel does.
            const AxisRange& y = c.kind == 3 && dicomTarget ? kDicomGammaRange : c.y;
            shapeChart(first_, {560, 260}, c.x, y, 0, 0);
            Canvas canvas = pictureFor(first_);
            drawGammaPanel(canvas, c.kind, first_, sources_);
            PlotTargets plot;
            plot.reportChart = &first_;
            plotMeasurement(canvas, 10 + c.kind, in_.firstReading, 1, plot, sources_);
            setPicture(c.field, canvas);
        }
    }

    void shapeWhiteWindow(TGraphConstrains& chart) const {
        if (in_.xyMode)
            shapeChart(chart, {340, 340}, {0.30f, 0.32f, 2, "x"}, {0.32f, 0.34f, 2, "y"}, 0.3127f,
                       0.329f);
        else
            shapeChart(chart, {340, 340}, {0.19f, 0.21f, 2, "u'"}, {0.46f, 0.48f, 2, "v'"},
                       0.1978f, 0.4683f);
    }

    // The whole diagram, plotted on `plot`; its v axis is named "v" although the panels say v'.
    void shapeDiagram(TGraphConstrains& chart, PlotArea plot) const {
        if (in_.xyMode)
            shapeChart(chart, plot, {0.0f, 0.9f, 9, "x"}, {0.0f, 0.9f, 9, "y"}, 0.3127f, 0.329f);
        else
            shapeChart(chart, plot, {0.0f, 0.6f, 6, "u"}, {0.0f, 0.6f, 6, "v"}, 0.1978f, 0.4683f);
    }

    void fillGreyScale(const QString& greyGrading) {
        shapeWhiteWindow(first_);
        Canvas window = pictureFor(first_);
        drawGreyPanel(window, in_.xyMode, first_);
        const Locus locus = buildLocus(in_.xyMode);
        shapeDiagram(second_, {340, 340});
        Canvas diagram = pictureFor(second_);
        drawChromaticityDiagram(diagram, in_.xyMode, second_, 0, locus, in_.targets);
        QString grades;
        for (int slot = kFirstGreySlot; slot < kLastGreySlot; ++slot) {
            marker(window, first_, measuredPoint(slot), slot);
            marker(diagram, second_, measuredPoint(slot), slot);
            measuredGamut(diagram, second_);
            // Grades are always judged in u', v', whatever the charts show.
            grades += pointGrade(measured_[slot].up, measured_[slot].vp) + QLatin1Char('\n');
        }
        setText("repTABgrygrading", grades);
        marker(diagram, second_, measuredPoint(kWhiteSlot), kWhiteSlot);
        setPicture("repPicGrey1", window);
        setPicture("repPicGrey2CIE", diagram);
        setPicture("repPicGamut3CIEgrey", diagram);
        setText("repgrygrading", greyGrading);
    }

    void fillGamut() {
        struct Primary {
            const char* field;
            int primary;
            AxisRange xyX, xyY;
            float xyRefA, xyRefB;
            AxisRange uvX, uvY;
            float uvRefA, uvRefB;
        };
        static const Primary primaries[] = {
            {"repPicGamut2R", kRedPrimary, {0.60f, 0.68f, 8, "x"}, {0.30f, 0.36f, 6, "y"}, 0.64f,
             0.33f, {0.40f, 0.48f, 8, "u'"}, {0.50f, 0.54f, 4, "v'"}, 0.451f, 0.524f},
            {"repPicGamut1G", kGreenPrimary, {0.27f, 0.35f, 8, "x"}, {0.56f, 0.64f, 8, "y"}, 0.3f,
             0.6f, {0.09f, 0.17f, 8, "u'"}, {0.53f, 0.58f, 5, "v'"}, 0.121f, 0.561f},
            {"repPicGamut4B", kBluePrimary, {0.11f, 0.19f, 8, "x"}, {0.04f, 0.08f, 4, "y"}, 0.15f,
             0.06f, {0.13f, 0.21f, 8, "u'"}, {0.14f, 0.19f, 5, "v'"}, 0.175f, 0.158f},
        };
        for (const Primary& p : primaries) {
            if (in_.xyMode)
                shapeChart(first_, {230, 150}, p.xyX, p.xyY, p.xyRefA, p.xyRefB);
            else
                shapeChart(first_, {230, 150}, p.uvX, p.uvY, p.uvRefA, p.uvRefB);
            Canvas canvas = pictureFor(first_);
            drawGamutPanel(canvas, in_.xyMode, p.primary, first_, primaryBox(p.primary));
            const int slot = kFirstPrimarySlot + p.primary;
            marker(canvas, first_, measuredPoint(slot), slot);
            setPicture(p.field, canvas);
        }
    }

    // 100 * Y / Y(white) less the target; 0 for every colour while the white is unmeasured.
    float luminanceDeviation(int slot) const {
        const float white = in_.report.xyz[kWhiteSlot].Y;
        if (white == 0.0f) return 0.0f;
        return 100.0f * in_.report.xyz[slot].Y / white - in_.targets[slot].targetY;
    }

    void fillEbuHeads() {
        const bool xy = in_.xyMode;
        setText("repTabEBUCheader2", xy ? QStringLiteral("x") : QStringLiteral("u'"));
        setText("repTabEBUCheader3", xy ? QStringLiteral("y") : QStringLiteral("v'"));
        setText("repTabEBUCheader4", xy ? QStringLiteral("d x") : QStringLiteral("d u'"));
        setText("repTabEBUCheader5", xy ? QStringLiteral("d y") : QStringLiteral("d v'"));
    }

    void fillEbuColours(const QString& colourGrading) {
        fillEbuHeads();
        const char* axisA = in_.xyMode ? "x" : "u'";
        const char* axisB = in_.xyMode ? "y" : "v'";
        shapeChart(first_, {418, 418}, {-0.006f, 0.006f, 6, axisA}, {-0.006f, 0.006f, 6, axisB},
                   0, 0);
        Canvas canvas = pictureFor(first_);
        drawEbuPanel(canvas, in_.xyMode, first_);
        std::array<QString, 7> columns;
        for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot) {
            const ChartPoint m = measuredPoint(slot);
            const ChartPoint t = targetPoint(slot);
            marker(canvas, first_, {m.a - t.a, m.b - t.b}, slot);
            const Ttarget& target = in_.targets[slot];
            const bool inside = insideTolerance(target.targetA, target.targetB, 0.006f, 0.006f,
                                                measured_[slot].up, measured_[slot].vp);
            const QString row[7] = {
                fixedText(target.targetY, 3, 1), fixedText(t.a, 5, 4),
                fixedText(t.b, 5, 4),            fixedText(m.a - t.a, 6, 5),
                fixedText(m.b - t.b, 6, 5),      fixedText(luminanceDeviation(slot), 4, 3),
                inside ? QStringLiteral("In") : QStringLiteral("Out"),
            };
            for (int c = 0; c < 7; ++c) columns[c] += row[c] + QLatin1Char('\n');
        }
        const char* const fields[7] = {"repTabEBUCcolY",   "repTabEBUCcolu",  "repTabEBUCcolv",
                                       "repTabEBUCcol_u",  "repTabEBUCcol_v", "repTabEBUCcol_Y",
                                       "repTabEBUCcol_Tol"};
        for (int c = 0; c < 7; ++c) setText(fields[c], columns[c]);
        setPicture("repPicGamut5ebucolors", canvas);
        setText("repEBUcolgrading", colourGrading);
    }

    void fillOverview() {
        const Locus locus = buildLocus(in_.xyMode);
        shapeDiagram(first_, {418, 418});
        Canvas canvas = pictureFor(first_);
        drawChromaticityDiagram(canvas, in_.xyMode, first_, kDiagramEbuTargets, locus,
                                in_.targets);
        marker(canvas, first_, measuredPoint(kWhiteSlot), kWhiteSlot);
        for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot)
            marker(canvas, first_, measuredPoint(slot), slot);
        measuredGamut(canvas, first_);
        setPicture("repPicGamut6ciecolors", canvas);
    }

    const ReportInputs& in_;
    const GammaSources sources_;
    std::array<Chromaticity, kPatchSlots> measured_{};
    // The report's two chart records; the first is the one the measured curves are drawn with.
    TGraphConstrains first_;
    TGraphConstrains second_;
    ReportDocument document_;
};

bool keptInFileName(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
           u == '_' || u == '-' || u == '.';
}

}  // namespace

QString reportFileName(const QString& serial, const QString& name, const QString& date) {
    const QString raw = QStringLiteral("VQSREPORT_") + serial + QLatin1Char('_') + name +
                        QLatin1Char('_') + date + QStringLiteral(".pdf");
    QString kept;
    for (QChar c : raw)
        if (keptInFileName(c)) kept += c;
    return kept;
}

ReportDocument fillReport(const ReportInputs& inputs) { return ReportFiller(inputs).fill(); }

}  // namespace vqs
