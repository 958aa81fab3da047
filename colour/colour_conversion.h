#pragma once
// Derived colour quantities: chromaticity x, y, CIE 1976 u', v' and the correlated colour
// temperature. Intermediate results are rounded to 32-bit floats where the readings keep them,
// so the figures match what the instruments' own software shows.

#include "colour/probe_reading.h"

#include <cstdint>

namespace vqs {

// Fills x, y, up, vp and cct of the reading from its X, Y, Z.
void convertReading(Tprobevals& reading);

struct Chromaticity {
    float x = 0.0f;
    float y = 0.0f;
    float up = 0.0f;
    float vp = 0.0f;
    int32_t cct = 0;
};

// A patch target given either as x, y (targetInXy) or as u', v', completed with the other pair
// and its colour temperature.
Chromaticity targetChromaticity(bool targetInXy, float a, float b);

// McCamy's approximation for n = (x - 0.332) / (0.1858 - y), with its published coefficients,
// evaluated in extended precision and truncated toward zero. Values beyond the 32-bit range
// saturate and a value that is not a number gives 0, so a wild reading cannot break the readout.
int32_t mccamyCct(float n);

}  // namespace vqs
