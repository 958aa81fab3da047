#include "sim/standin_light.h"

#include "tables/cie1931_observer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vqs::sim {

namespace {
constexpr double kLuminousEfficacy = 683.0;
}

StandInXyz standInTristimulus(const StandInRadiance& radiance) {
    StandInXyz t;
    for (const ObserverRow& row : cie1931Observer) {
        if (row.wavelength < 380.0f || row.wavelength > 780.0f) continue;
        const double value = radiance[static_cast<int>(row.wavelength) - 380];
        t.X += value * row.xbar;
        t.Y += value * row.ybar;
        t.Z += value * row.zbar;
    }
    t.X *= kLuminousEfficacy;
    t.Y *= kLuminousEfficacy;
    t.Z *= kLuminousEfficacy;
    return t;
}

std::string standInFixed(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) > 1e12) return "0";
    decimals = std::clamp(decimals, 0, 6);
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const long long scaled = std::llround(std::fabs(value) * static_cast<double>(scale));
    std::string text = (value < 0 ? "-" : "") + std::to_string(scaled / scale);
    if (decimals == 0) return text;
    std::string part = std::to_string(scaled % scale);
    return text + "." + std::string(static_cast<std::size_t>(decimals) - part.size(), '0') + part;
}

}  // namespace vqs::sim
