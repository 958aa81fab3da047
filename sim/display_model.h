#pragma once
// A virtual monitor: spectral primaries, white point, transfer function and black level, each
// configurable. It turns the colour it currently shows into the spectral radiance a
// spectroradiometer would measure in front of it.

#include "probes/cs2000_driver.h"

#include <QColor>

#include <array>

namespace vqs::sim {

struct XyChromaticity {
    double x = 0.0;
    double y = 0.0;
};

struct Tristimulus {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

struct DisplayConfig {
    // BT.709 primaries and a D65 white of 100 cd/m² by default.
    XyChromaticity red{0.64, 0.33};
    XyChromaticity green{0.30, 0.60};
    XyChromaticity blue{0.15, 0.06};
    XyChromaticity white{0.3127, 0.3290};
    double whiteLuminance = 100.0;  // cd/m² at video level 235
    double blackLuminance = 0.2;    // cd/m² at level 0, as an LCD has it
    double gamma = 2.4;
};

class DisplayModel {
public:
    explicit DisplayModel(DisplayConfig config = {});

    const DisplayConfig& config() const { return config_; }
    void setConfig(const DisplayConfig& config);

    // Drive levels 0..255 on the three channels; 0 is black and 235 nominal white.
    void show(QColor colour) { shown_ = colour; }
    QColor shown() const { return shown_; }

    // What the display emits for the shown colour.
    Tristimulus tristimulus() const;
    // Spectral radiance in W/(sr·m²·nm) at 380..780 nm, whose integration with the CIE 1931
    // observer gives tristimulus().
    Cs2000Spectrum radiance() const;

private:
    Tristimulus tristimulusOf(QColor colour) const;

    DisplayConfig config_;
    QColor shown_{Qt::black};
    std::array<std::array<double, 3>, 3> rgbToXyz_{};    // linear RGB (white = 1) to XYZ
    std::array<std::array<double, 3>, 3> xyzToBasis_{};  // XYZ to weights of the emitters
};

// X, Y, Z of a radiance spectrum (W/(sr·m²·nm), 380..780 nm) with the CIE 1931 observer,
// in double precision: the reference the instrument emulators are checked against.
Tristimulus integrateRadiance(const Cs2000Spectrum& radiance);

}  // namespace vqs::sim
