#include "charts/chart_geometry.h"

#include <cmath>
#include <cstdio>

namespace vqs {

namespace {

// Far beyond any picture, yet safe to add pixel offsets to.
constexpr double kPixelLimit = 1.0e6;

QString formatLabel(const char* format, float value) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<double>(value));
    return QString::fromLatin1(text);
}

}  // namespace

int pictureWidth(const TGraphConstrains& chart) {
    return 2 * chart.x.margin + chart.x.length;
}
int pictureHeight(const TGraphConstrains& chart) {
    return 2 * chart.y.margin + chart.y.length;
}

float scaleX(const TGraphConstrains& chart) {
    return static_cast<float>(chart.x.length) / (chart.x.max - chart.x.min);
}

float scaleY(const TGraphConstrains& chart) {
    return static_cast<float>(chart.y.length) / (chart.y.max - chart.y.min);
}

int plotBottom(const TGraphConstrains& chart) {
    return chart.y.length + chart.y.margin;
}

QRect plotArea(const TGraphConstrains& chart) {
    return QRect(QPoint(chart.x.margin, chart.y.margin),
                 QPoint(chart.x.margin + chart.x.length, plotBottom(chart)));
}

int pixelTrunc(double value) {
    if (std::isnan(value)) return 0;
    if (value > kPixelLimit) return static_cast<int>(kPixelLimit);
    if (value < -kPixelLimit) return -static_cast<int>(kPixelLimit);
    return static_cast<int>(value);
}

int toPixelX(const TGraphConstrains& chart, float a) {
    const float offset = (a - chart.x.min) * scaleX(chart);
    return pixelTrunc(static_cast<float>(chart.x.margin) + offset);
}

int toPixelY(const TGraphConstrains& chart, float b) {
    const float offset = (b - chart.y.min) * scaleY(chart);
    return pixelTrunc(static_cast<float>(plotBottom(chart)) - offset);
}

void drawChartFrame(Canvas& canvas, const TGraphConstrains& chart, QRgb background) {
    if (isPrintStyle(chart)) {
        canvas.setBrushColour(qRgb(255, 255, 255));
        canvas.setPenColour(qRgb(0, 0, 0));
        return;
    }
    canvas.setBrushColour(background);
    canvas.setPenColour(qRgb(255, 255, 255));
    canvas.rectangle(0, 0, pictureWidth(chart), pictureHeight(chart));
}

void drawAxis(Canvas& canvas, const AxisSpec& axis) {
    const QRgb ink = inkColour(axis.style);
    canvas.setFontColour(ink);
    canvas.setFontSize(6);
    canvas.setPenColour(ink);
    canvas.line(axis.x0, axis.y0, axis.x0 + axis.dx, axis.y0 + axis.dy);

    const int hx = axis.dy != 0 ? -18 : 2;
    const int hy = axis.dx != 0 ? -10 : -18;
    canvas.textOut(axis.x0 + axis.dx + hx, axis.y0 + axis.dy + hy, axis.name);

    const bool horizontal = axis.dx != 0;
    const int gridX = horizontal ? 0 : axis.gridLength;
    const int gridY = horizontal ? -axis.gridLength : 0;
    for (int i = 0; i <= axis.divisions; ++i) {
        canvas.setPenColour(ink);
        // Integer division before the multiplication: ticks keep whole-pixel spacing, so the
        // last tick may fall short of the axis end.
        const int tx = axis.x0 + (axis.dx / axis.divisions) * i;
        const int ty = axis.y0 + (axis.dy / axis.divisions) * i;
        if (horizontal)
            canvas.line(tx, ty, tx, ty + 10);
        else
            canvas.line(tx, ty, tx - 10, ty);

        if (axis.firstValue != axis.secondValue) {
            const QString label = axisLabel(axis, i);
            if (horizontal)
                canvas.textOut(tx - canvas.textWidth(label) / 2, ty + 5, label);
            else
                canvas.textOut(tx - 18, ty + 1, label);
        }

        if (i != 0 && (gridX != 0 || gridY != 0)) {
            canvas.setPenColour(kGridGrey);
            canvas.line(tx, ty, tx + gridX, ty + gridY);
        }

        if (axis.minorTicks != 0 && i != axis.divisions) {
            canvas.setPenColour(ink);
            const int parts = axis.divisions * axis.minorTicks;
            for (int j = 0; j < axis.minorTicks; ++j) {
                const int mx = tx + (axis.dx * j) / parts;
                const int my = ty + (axis.dy * j) / parts;
                if (horizontal)
                    canvas.line(mx, my, mx, my + 5);
                else
                    canvas.line(mx, my, mx - 5, my);
            }
        }
    }
}

QString axisLabel(const AxisSpec& axis, int tick) {
    if (axis.firstValue == axis.secondValue) return {};
    const float value =
        axis.firstValue + (axis.secondValue - axis.firstValue) * static_cast<float>(tick);
    return formatLabel(axis.format, value);
}

AxisSpec horizontalAxis(const TGraphConstrains& chart, float first, float second,
                        const char* format, int minorTicks) {
    AxisSpec axis;
    axis.dx = chart.x.length;
    axis.x0 = chart.x.margin;
    axis.y0 = plotBottom(chart);
    axis.divisions = chart.x.divisions;
    axis.minorTicks = minorTicks;
    axis.firstValue = first;
    axis.secondValue = second;
    axis.format = format;
    axis.gridLength = chart.y.length;
    axis.name = chart.x.name;
    axis.style = chart.style;
    return axis;
}

AxisSpec verticalAxis(const TGraphConstrains& chart, float first, float second, const char* format,
                      int minorTicks) {
    AxisSpec axis;
    axis.dy = -chart.y.length;
    axis.x0 = chart.y.margin;
    axis.y0 = plotBottom(chart);
    axis.divisions = chart.y.divisions;
    axis.minorTicks = minorTicks;
    axis.firstValue = first;
    axis.secondValue = second;
    axis.format = format;
    axis.gridLength = chart.x.length;
    axis.name = chart.y.name;
    axis.style = chart.style;
    return axis;
}

void drawChartTitle(Canvas& canvas, const TGraphConstrains& chart, const QString& text) {
    canvas.setFontSize(8);
    canvas.textOut(chart.x.margin, 2, text);
}

}  // namespace vqs
