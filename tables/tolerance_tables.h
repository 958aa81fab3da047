#pragma once
// Chromaticity tolerances of the grading and the charts, all in CIE 1976 u', v'. Each table is
// five (a, b) pairs: pair 0 a centre, pairs 1..4 either points or sizes around that centre.

#include <array>

namespace vqs {

struct TolerancePair {
    float a = 0.0f;  // u'
    float b = 0.0f;  // v'
};

// How pairs 1..4 are read. Sizes are full width along u' and full height along v'.
enum class ToleranceShape {
    points,        // corners of a polygon (primary boxes, triangle, measured gamut)
    greyEllipses,  // three ellipse sizes around the centre (grey scale, grades 3, 2, 1)
    colourCircle,  // three times the circle size; drawn around the origin of a deviation chart
};

struct ToleranceTable {
    ToleranceShape shape = ToleranceShape::points;
    std::array<TolerancePair, 5> pairs{};
};

// Centre and corners of the tolerance box of each primary.
extern const ToleranceTable redBox;
extern const ToleranceTable greenBox;
extern const ToleranceTable blueBox;

// D65 and the red, green and blue target primaries (the box centres), closing on red.
extern const ToleranceTable primariesTriangle;

// D65 and the full sizes of the grade 3, 2 and 1 ellipses; the fifth pair repeats the centre.
extern const ToleranceTable greyTolerance;

// D65, three times the full size of the circle around each EBU colour target, then (0, 0),
// which is not drawn.
extern const ToleranceTable ebuTolerance;

}  // namespace vqs
