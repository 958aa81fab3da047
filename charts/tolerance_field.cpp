#include "charts/tolerance_field.h"

#include "charts/chromaticity_locus.h"

#include <QPoint>

#include <algorithm>
#include <array>
#include <cmath>

namespace vqs {

namespace {

constexpr float kPi = 3.1415927f;

struct FieldPoint {
    float a = 0.0f;
    float b = 0.0f;
};

FieldPoint toXy(float up, float vp) {
    const XyPoint p = uvToXy(up, vp);
    return {p.x, p.y};
}

FieldPoint midpoint(FieldPoint p, FieldPoint q) {
    return {(p.a + q.a) / 2.0f, (p.b + q.b) / 2.0f};
}

float distance(FieldPoint p, FieldPoint q) {
    return std::sqrt((p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b));
}

// A size (full width, height) around the centre, seen in x, y: the distances between the
// midpoints of opposite sides of the converted box and the box's rotation.
FieldPoint sizeInXy(TolerancePair centre, TolerancePair size, float& angle) {
    const float left = centre.a - size.a / 2.0f;
    const float right = centre.a + size.a / 2.0f;
    const float low = centre.b - size.b / 2.0f;
    const float high = centre.b + size.b / 2.0f;
    const FieldPoint c1 = toXy(left, low);
    const FieldPoint c2 = toXy(right, low);
    const FieldPoint c3 = toXy(left, high);
    const FieldPoint c4 = toXy(right, high);
    const FieldPoint m1 = midpoint(c1, c2);
    const FieldPoint m2 = midpoint(c3, c4);
    const FieldPoint m3 = midpoint(c1, c3);
    const FieldPoint m4 = midpoint(c2, c4);
    const float e = distance(m1, m2);
    const float g = distance(m3, m4);
    const float dy = std::fabs(m1.b - m2.b);
    // Rounding may put dy a hair above e; the sine is at most 1.
    angle = (dy == 0.0f || e == 0.0f) ? 0.0f : kPi - std::asin(std::min(dy / e, 1.0f));
    return {e, g};
}

void drawRotatedEllipse(Canvas& canvas, int centreX, int centreY, float rx, float ry, float angle,
                        QRgb colour) {
    const float cosAngle = std::cos(angle);
    const float sinAngle = std::sin(angle);
    for (int i = 0; i < 1000; ++i) {
        const float t = 2.0f * kPi * static_cast<float>(i) * 0.001f;
        const float cosT = std::cos(t);
        const float sinT = std::sin(t);
        canvas.setPixel(pixelTrunc(centreX + rx * cosT * cosAngle - ry * sinT * sinAngle),
                        pixelTrunc(centreY + rx * cosT * sinAngle + ry * sinT * cosAngle), colour);
    }
}

}  // namespace

void drawToleranceField(Canvas& canvas, bool xyMode, const TGraphConstrains& chart,
                        const ToleranceTable& table, int parts) {
    // A tolerance figure may reach past the axis ranges (the green box does in x, y); what lies
    // outside is cut off rather than drawn over the axis labels and the title.
    const ScopedClip insidePlot(canvas, plotArea(chart));
    const bool sizes = table.shape != ToleranceShape::points;
    std::array<FieldPoint, 5> p{};
    std::array<float, 5> angle{};
    for (int k = 0; k < 5; ++k) {
        const TolerancePair t = table.pairs[k];
        if (!xyMode)
            p[k] = {t.a, t.b};
        else if (k == 0 || !sizes)
            p[k] = toXy(t.a, t.b);
        else
            p[k] = sizeInXy(table.pairs[0], t, angle[k]);
        if ((parts & kTolerancePolygon) != 0 || k == 0) {
            p[k].a -= chart.x.min;
            p[k].b -= chart.y.min;
        }
    }
    // The colour circle is drawn around the origin of a deviation chart.
    if (table.shape == ToleranceShape::colourCircle) p[0] = {-chart.x.min, -chart.y.min};

    const float sx = scaleX(chart);
    const float sy = scaleY(chart);
    const float cx = p[0].a * sx;
    const float cy = p[0].b * sy;
    const int y0 = plotBottom(chart);
    const float xm = static_cast<float>(chart.x.margin);

    if ((parts & kToleranceCross) != 0) {
        canvas.line(pixelTrunc(xm + cx - 7), pixelTrunc(y0 - cy + 2), pixelTrunc(xm + cx + 3),
                    pixelTrunc(y0 - cy + 2));
        canvas.line(pixelTrunc(xm + cx - 2), pixelTrunc(y0 - cy - 3), pixelTrunc(xm + cx - 2),
                    pixelTrunc(y0 - cy + 7));
    }

    if ((parts & kTolerancePolygon) != 0) {
        std::array<QPoint, 5> corners;
        for (int k = 1; k <= 4; ++k)
            corners[k - 1] = QPoint(pixelTrunc(xm + p[k].a * sx), pixelTrunc(y0 - p[k].b * sy));
        corners[4] = corners[0];
        canvas.polyline(corners);
    }

    if ((parts & kToleranceEllipses) != 0) {
        constexpr QRgb kColours[4] = {0, kGrade3Colour, kGrade2Colour, kGrade1Colour};
        canvas.setBrushStyle(BrushStyle::clear);
        for (int k = 1; k <= 3; ++k) {
            if (xyMode) {
                drawRotatedEllipse(canvas, pixelTrunc(xm + cx), pixelTrunc(y0 - cy),
                                   p[k].a * 0.5f * sx, p[k].b * 0.5f * sy, angle[k], kColours[k]);
                continue;
            }
            canvas.setPenColour(kColours[k]);
            const float w = p[k].a * sx;
            const float h = p[k].b * sy;
            canvas.ellipse(pixelTrunc(xm + cx - w * 0.5f - 1), pixelTrunc(y0 - (cy + h * 0.5f) + 3),
                           pixelTrunc(xm + cx + w * 0.5f - 1),
                           pixelTrunc(y0 - (cy - h * 0.5f) + 2));
        }
        if (!xyMode) canvas.setBrushStyle(BrushStyle::solid);
    }
}

}  // namespace vqs
