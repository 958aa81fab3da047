#pragma once
// The reading of one probe position: what a driver delivers and what is derived from it.

#include <QString>

#include <array>
#include <cstdint>

namespace vqs {

inline constexpr int kSpectrumCapacity = 2048;

// Spectral block of a reading: values at 1 nm spacing from firstWavelength.
struct Tsprad {
    int32_t firstWavelength = 0;
    int32_t lastWavelength = 0;
    int32_t count = 0;  // valid values (last - first + 1); 0 = no spectrum
    std::array<float, kSpectrumCapacity> values{};
    QString label;  // short status text of the probe (the spectrometer's range status)
};

struct Tprobevals {
    float X = 0.0f;
    float Y = 0.0f;  // luminance in cd/m²
    float Z = 0.0f;
    float x = 0.0f;
    float y = 0.0f;
    float up = 0.0f;  // CIE 1976 u'
    float vp = 0.0f;  // CIE 1976 v'
    int32_t cct = 0;  // kelvin, truncated toward zero
    Tsprad spectrum;
    int32_t shown = 0;  // second position only: 2 when read in the current tick
};

}  // namespace vqs
