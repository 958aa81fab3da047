#pragma once
// What the stand-in colorimeter and spectroradiometer libraries share: the light in front of
// them as 401 spectral radiances (380..780 nm, W/(sr·m²·nm)) and its tristimulus values with the
// published CIE 1931 observer, the table the instruments' own firmware holds. Numbers in replies
// are written without the C library's locale, which the program sets to the user's.

#include <array>
#include <string>

namespace vqs::sim {

inline constexpr int kStandInRadianceValues = 401;
using StandInRadiance = std::array<float, kStandInRadianceValues>;

struct StandInXyz {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// X, Y, Z in cd/m² of a radiance spectrum (683 lm/W).
StandInXyz standInTristimulus(const StandInRadiance& radiance);

// A number with a fixed count of decimals and a full stop, whatever the locale.
std::string standInFixed(double value, int decimals);

}  // namespace vqs::sim
