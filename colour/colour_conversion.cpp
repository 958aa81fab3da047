#include "colour/colour_conversion.h"

#include <cmath>
#include <limits>

namespace vqs {

namespace {

// Division of two floats, computed wide and rounded once to float as stored.
float storedQuotient(long double numerator, long double denominator) {
    return static_cast<float>(numerator / denominator);
}

}  // namespace

int32_t mccamyCct(float n) {
    const long double v = n;
    const long double cct = 437.0L * v * v * v + 3601.0L * v * v + 6831.0L * v + 5517.0L;
    if (std::isnan(cct)) return 0;
    if (cct >= static_cast<long double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (cct <= static_cast<long double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::trunc(cct));
}

void convertReading(Tprobevals& reading) {
    const float s = reading.X + reading.Y + reading.Z;
    if (s == 0.0f) {
        reading.x = reading.y = reading.up = reading.vp = 0.0f;
        reading.cct = 0;
        return;
    }
    reading.x = storedQuotient(reading.X, s);
    reading.y = storedQuotient(reading.Y, s);

    // A reading with negative components (noise near black) can cancel this denominator; the
    // readout then shows zeros rather than infinities.
    const float d = reading.X + 15.0f * reading.Y + 3.0f * reading.Z;
    if (d == 0.0f) {
        reading.up = reading.vp = 0.0f;
    } else {
        reading.up = storedQuotient(4.0L * reading.X, d);
        reading.vp = storedQuotient(9.0L * reading.Y, d);
    }

    const long double denominator = 0.1858L - static_cast<long double>(reading.y);
    if (denominator == 0.0L) {
        reading.cct = 0;
        return;
    }
    const float n = storedQuotient(static_cast<long double>(reading.x) - 0.332L, denominator);
    reading.cct = mccamyCct(n);
}

Chromaticity targetChromaticity(bool targetInXy, float a, float b) {
    Chromaticity c;
    if (targetInXy) {
        c.x = a;
        c.y = b;
        const float d = static_cast<float>(-2.0L * a + 12.0L * b + 3.0L);
        c.up = storedQuotient(4.0L * a, d);
        c.vp = storedQuotient(9.0L * b, d);
    } else {
        c.up = a;
        c.vp = b;
        const float d = static_cast<float>(6.0L * a - 16.0L * b + 12.0L);
        c.x = storedQuotient(9.0L * a, d);
        c.y = storedQuotient(4.0L * b, d);
    }
    const float da = static_cast<float>(0.1858L - c.y);
    const float db = static_cast<float>(c.x - 0.332L);
    c.cct = (da == 0.0f || db == 0.0f) ? 0 : mccamyCct(storedQuotient(db, da));
    return c;
}

}  // namespace vqs
