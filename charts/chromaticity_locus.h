#pragma once
// The spectral locus of the chromaticity diagrams, from the CIE 2012 2 degree colour-matching
// functions, as x, y or u', v' per wavelength.

#include <array>
#include <cstdint>

namespace vqs {

struct LocusRow {
    int32_t wavelength = 0;  // 0 ends the table
    float a = 0.0f;          // x or u'
    float b = 0.0f;          // y or v'
};

// Up to 89 wavelengths followed by a row of zeros. Row 0 (390 nm) and the last row before the
// zeros (830 nm) are the ends of the purple line.
struct Locus {
    std::array<LocusRow, 90> rows{};
    int count = 0;  // rows before the terminating row
};

Locus buildLocus(bool xyMode);

// Where the vertical line at `a` crosses the locus polyline: up to two values, the first found
// in b1; values not found are -1.
struct LocusCrossings {
    int count = 0;
    float b1 = -1.0f;
    float b2 = -1.0f;
};

LocusCrossings locusCrossings(const Locus& locus, float a);

// x, y of a u', v' chromaticity.
struct XyPoint {
    float x = 0.0f;
    float y = 0.0f;
};
XyPoint uvToXy(float up, float vp);

}  // namespace vqs
