#pragma once
// Small charts and pictures shared by the chart tests.

#include "charts/canvas.h"
#include "charts/chart_geometry.h"

#include <QString>

#include <ostream>

namespace vqs::testing {

inline TGraphConstrains makeChart(int xLength, float xMin, float xMax, int xDivisions, int yLength,
                                  float yMin, float yMax, int yDivisions, int style = 0) {
    TGraphConstrains chart;
    chart.x = {xLength, 20, xMin, xMax, xDivisions, QStringLiteral("x")};
    chart.y = {yLength, 20, yMin, yMax, yDivisions, QStringLiteral("y")};
    chart.style = style;
    return chart;
}

// A picture of the chart's size, black as a screen chart's frame leaves it.
inline Canvas blackPicture(const TGraphConstrains& chart) {
    Canvas canvas(pictureWidth(chart), pictureHeight(chart));
    canvas.setPenColour(qRgb(0, 0, 0));
    canvas.setBrushColour(qRgb(0, 0, 0));
    canvas.rectangle(0, 0, canvas.width(), canvas.height());
    return canvas;
}

struct Rgb {
    QRgb value;
    bool operator==(const Rgb& other) const { return value == other.value; }
};
inline void PrintTo(const Rgb& c, std::ostream* os) {
    *os << "RGB " << qRed(c.value) << ',' << qGreen(c.value) << ',' << qBlue(c.value);
}
inline Rgb rgbAt(const Canvas& canvas, int x, int y) {
    return {canvas.pixel(x, y)};
}
inline Rgb rgb(int r, int g, int b) {
    return {qRgb(r, g, b)};
}
inline Rgb rgb(QRgb value) {
    return {value};
}

}  // namespace vqs::testing
