#pragma once
// Row layout of the colour-matching tables. Each table starts and ends with a row of zeros;
// code walks a table from its first wavelength until the wavelength is 0 again.

#include <array>
#include <cstddef>

namespace vqs {

struct ObserverRow {
    float wavelength = 0.0f;  // nm, a whole number
    float xbar = 0.0f;
    float ybar = 0.0f;
    float zbar = 0.0f;
};

template <std::size_t N>
using ObserverTable = std::array<ObserverRow, N>;

}  // namespace vqs
