#pragma once
// CIE 2012 2 degree XYZ colour-matching functions, 390-830 nm in 5 nm steps. The spectral locus
// of the chromaticity diagrams is drawn from it.

#include "tables/observer_row.h"

namespace vqs {

// 89 wavelengths plus the zero row before and after.
inline constexpr std::size_t kCie2012Rows = 91;

// Row 0 and row kCie2012Rows - 1 are zeros; row 1 is 390 nm.
extern const ObserverTable<kCie2012Rows> cie2012Observer;

}  // namespace vqs
