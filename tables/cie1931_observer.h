#pragma once
// CIE 1931 2 degree standard colorimetric observer, 360-830 nm in 1 nm steps. The spectral
// probes integrate their spectra against it; consecutive rows are exactly 1 nm apart, so a
// wavelength's row is found by position.

#include "tables/observer_row.h"

namespace vqs {

// 471 wavelengths plus the zero row before and after.
inline constexpr std::size_t kCie1931Rows = 473;

// Row 0 and row kCie1931Rows - 1 are zeros; row 1 is 360 nm.
extern const ObserverTable<kCie1931Rows> cie1931Observer;

}  // namespace vqs
