#include "charts/spectral_panel.h"

#include "tables/cie1931_observer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <span>

namespace vqs {

namespace {

// The observer from its first wavelength through the zero row that ends it.
std::span<const ObserverRow> observerRows() {
    return std::span<const ObserverRow>(cie1931Observer).subspan(1);
}

struct Tristimulus {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// Colour-matching values at `nm`, with `row` the first row not below it (moved forward only,
// so a strip walks the table once).
Tristimulus interpolate(std::span<const ObserverRow> rows, std::size_t& row, float nm) {
    while (row + 1 < rows.size() && rows[row].wavelength < nm && rows[row].wavelength != 0.0f)
        ++row;
    if (row == 0) return {rows[0].xbar, rows[0].ybar, rows[0].zbar};
    const ObserverRow& p = rows[row - 1];
    const ObserverRow& q = rows[row];
    if (q.wavelength == 0.0f) return {p.xbar, p.ybar, p.zbar};
    const float t = nm - p.wavelength;
    const float span = q.wavelength - p.wavelength;
    return {p.xbar + t * (q.xbar - p.xbar) / span, p.ybar + t * (q.ybar - p.ybar) / span,
            p.zbar + t * (q.zbar - p.zbar) / span};
}

// Not normalised, so the strip darkens where the eye is less sensitive.
int stripComponent(float c) {
    if (!(c > 0.0f)) return 0;
    const float encoded = std::pow(c, 5.0f / 9.0f);
    return std::clamp(pixelTrunc(encoded * 255.0f), 0, 255);
}

QRgb stripColour(const Tristimulus& v) {
    const float r = 3.240479f * v.x - 1.53715f * v.y - 0.498535f * v.z;
    const float g = -0.969256f * v.x + 1.875992f * v.y + 0.041556f * v.z;
    const float b = 0.055648f * v.x - 0.204043f * v.y + 1.057311f * v.z;
    return qRgb(stripComponent(r), stripComponent(g), stripComponent(b));
}

int stripColumn(const TGraphConstrains& chart, float nm) {
    return pixelTrunc(chart.x.length * (nm - chart.x.min) / (chart.x.max - chart.x.min) +
                      static_cast<float>(chart.x.margin + 1));
}

void drawStrip(Canvas& canvas, const TGraphConstrains& chart) {
    const std::span<const ObserverRow> rows = observerRows();
    const float step = (chart.x.max - chart.x.min) / (static_cast<float>(chart.x.length) * 1.2f);
    std::size_t row = 0;
    const int top = chart.y.margin;
    const int bottom = chart.y.margin + chart.y.length - 1;
    for (float nm = chart.x.min; nm < chart.x.max; nm += step) {
        canvas.setPenColour(stripColour(interpolate(rows, row, nm)));
        const int x = stripColumn(chart, nm);
        canvas.line(x, top, x, bottom);
    }
}

// The z-bar maximum of the table is 1.782968; this divisor leaves it at 93 % of the height.
constexpr float kCurveDivisor = 1.918331f;

void drawCurve(Canvas& canvas, const TGraphConstrains& chart, float ObserverRow::*value,
               QRgb colour) {
    canvas.setPenColour(colour);
    const int bottom = chart.y.length + chart.y.margin - 1;
    canvas.moveTo(chart.x.margin, bottom);
    for (const ObserverRow& r : observerRows()) {
        if (r.wavelength == 0.0f || r.wavelength >= chart.x.max) break;
        if (r.wavelength < chart.x.min) continue;
        const float x =
            chart.x.length * (r.wavelength - chart.x.min) / (chart.x.max - chart.x.min) +
            static_cast<float>(chart.x.margin);
        const float y = static_cast<float>(bottom) - (r.*value / kCurveDivisor) * chart.y.length;
        canvas.lineTo(pixelTrunc(x), pixelTrunc(y));
    }
}

// Wavelengths of the block that really have a value: the last one is held to the count and
// the capacity, whatever a driver wrote as its last wavelength.
int lastHeldWavelength(const Tsprad& spectrum) {
    const int held = std::min(spectrum.count, kSpectrumCapacity);
    return std::min(spectrum.lastWavelength, spectrum.firstWavelength + held - 1);
}

QString peakText(float peak, const QString& label) {
    char text[64];
    std::snprintf(text, sizeof text, "%5.0f", static_cast<double>(peak));
    return QString::fromLatin1(text) + QLatin1Char(' ') + label;
}

}  // namespace

QRgb spectralColour(float nm) {
    std::size_t row = 0;
    return stripColour(interpolate(observerRows(), row, nm));
}

void drawSpectralPanel(Canvas& canvas, const TGraphConstrains& chart) {
    TGraphConstrains screen = chart;
    screen.style = 0;
    canvas.setBrushColour(qRgb(0, 0, 0));
    canvas.setPenColour(qRgb(255, 255, 255));
    canvas.rectangle(0, 0, pictureWidth(screen), pictureHeight(screen));
    drawAxis(canvas, horizontalAxis(screen, screen.x.min, screen.x.min + 100.0f, "%3.0f", 2));
    drawAxis(canvas, verticalAxis(screen, 0.0f, 0.5f, "%1.1f", 5));
    drawStrip(canvas, screen);
    drawCurve(canvas, screen, &ObserverRow::xbar, kXbarColour);
    drawCurve(canvas, screen, &ObserverRow::ybar, kYbarColour);
    drawCurve(canvas, screen, &ObserverRow::zbar, kZbarColour);
}

float spectrumPeak(const Tsprad& spectrum, const TGraphConstrains& chart) {
    const int first = spectrum.firstWavelength;
    const int lo = pixelTrunc(std::max(static_cast<float>(first), chart.x.min));
    const int hi = pixelTrunc(std::min(static_cast<float>(spectrum.lastWavelength), chart.x.max));
    const int last = lastHeldWavelength(spectrum);
    float peak = 0.0f;
    for (int nm = lo; nm < hi && nm <= last; ++nm)
        peak = std::max(peak, spectrum.values[nm - first]);
    return peak;
}

void plotSpectrum(Canvas& canvas, const TGraphConstrains& chart, const Tprobevals& reading,
                  int marker, bool screen) {
    const Tsprad& spectrum = reading.spectrum;
    if (spectrum.count <= 0) return;
    const float peak = spectrumPeak(spectrum, chart);
    if (screen && marker == 1) {
        canvas.setFontColour(qRgb(255, 255, 255));
        canvas.setBrushColour(qRgb(0, 0, 0));
        canvas.textOut(chart.x.margin + 10, 5, peakText(peak, spectrum.label));
    }
    canvas.setPenColour(marker == 1 ? kFirstSpectrumColour : kSecondSpectrumColour);
    const int bottom = chart.y.length + chart.y.margin;
    canvas.moveTo(chart.x.margin, bottom);
    if (peak == 0.0f) return;

    const float sx = scaleX(chart);
    const float sy = scaleY(chart);
    const int first = spectrum.firstWavelength;
    const int last = lastHeldWavelength(spectrum);
    int previousX = chart.x.margin;
    int previousY = bottom;
    for (int nm = pixelTrunc(chart.x.min); static_cast<float>(nm) < chart.x.max; ++nm) {
        if (nm < first || nm > last) continue;
        const int x = pixelTrunc(chart.x.margin + (static_cast<float>(nm) - chart.x.min) * sx);
        int y = pixelTrunc(bottom - spectrum.values[nm - first] / peak * sy);
        // Within one pixel column the highest value wins.
        if (x == previousX && previousY < y) y = previousY;
        canvas.lineTo(x, y);
        previousX = x;
        previousY = y;
    }
}

}  // namespace vqs
