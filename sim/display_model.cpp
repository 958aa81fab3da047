#include "sim/display_model.h"

#include "tables/cie1931_observer.h"

#include <algorithm>
#include <cmath>

namespace vqs::sim {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// The display's three emitters: narrow bands whose gamut encloses BT.709.
struct Emitter {
    double peak, width;
};
constexpr Emitter kEmitters[3] = {{620.0, 12.0}, {540.0, 15.0}, {465.0, 8.0}};

// 683.4 lm/W as the CS-2000's integration has it: 143.8 / (501 × 420) per 10^-6 W.
constexpr double kRadianceToLuminance = 1e6 * 143.8 / (501.0 * 420.0);

double emitterRadiance(const Emitter& e, double wavelength) {
    const double t = (wavelength - e.peak) / e.width;
    return std::exp(-0.5 * t * t);
}

Matrix inverse(const Matrix& m) {
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    Matrix r{};
    r[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return r;
}

std::array<double, 3> multiply(const Matrix& m, const std::array<double, 3>& v) {
    std::array<double, 3> r{};
    for (int i = 0; i < 3; ++i) r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
    return r;
}

std::array<double, 3> xyzOfChromaticity(XyChromaticity c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

// Linear RGB with white = (1, 1, 1) to XYZ with white Y = 1.
Matrix primariesMatrix(const DisplayConfig& c) {
    const auto r = xyzOfChromaticity(c.red), g = xyzOfChromaticity(c.green),
               b = xyzOfChromaticity(c.blue);
    const Matrix unscaled = {{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
    const auto s = multiply(inverse(unscaled), xyzOfChromaticity(c.white));
    Matrix m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = unscaled[i][j] * s[j];
    return m;
}

// XYZ of each emitter at unit strength, as the instrument integrates it.
Matrix emitterMatrix() {
    Matrix m{};
    for (int j = 0; j < 3; ++j) {
        Cs2000Spectrum band{};
        for (int i = 0; i < kCs2000Samples; ++i)
            band[i] = static_cast<float>(emitterRadiance(kEmitters[j], 380.0 + i));
        const Tristimulus t = integrateRadiance(band);
        m[0][j] = t.X;
        m[1][j] = t.Y;
        m[2][j] = t.Z;
    }
    return m;
}

// The patch catalogue's drive levels put nominal white at 235 and super-white at 255 over a
// full-range signal: Grey1 (16) is a dark grey, not black.
double relativeLuminance(int level, double gamma) {
    return std::pow(std::max(0, level) / 235.0, gamma);
}

}  // namespace

DisplayModel::DisplayModel(DisplayConfig config) { setConfig(config); }

void DisplayModel::setConfig(const DisplayConfig& config) {
    config_ = config;
    rgbToXyz_ = primariesMatrix(config_);
    xyzToBasis_ = inverse(emitterMatrix());
}

Tristimulus DisplayModel::tristimulusOf(QColor colour) const {
    const std::array<double, 3> linear = {relativeLuminance(colour.red(), config_.gamma),
                                          relativeLuminance(colour.green(), config_.gamma),
                                          relativeLuminance(colour.blue(), config_.gamma)};
    const auto xyz = multiply(rgbToXyz_, linear);
    const auto black = xyzOfChromaticity(config_.white);
    const double gain = config_.whiteLuminance - config_.blackLuminance;
    return {xyz[0] * gain + black[0] * config_.blackLuminance,
            xyz[1] * gain + black[1] * config_.blackLuminance,
            xyz[2] * gain + black[2] * config_.blackLuminance};
}

Tristimulus DisplayModel::tristimulus() const { return tristimulusOf(shown_); }

Cs2000Spectrum DisplayModel::radiance() const {
    const Tristimulus t = tristimulus();
    const auto weights = multiply(xyzToBasis_, {t.X, t.Y, t.Z});
    Cs2000Spectrum spectrum{};
    for (int i = 0; i < kCs2000Samples; ++i) {
        double value = 0.0;
        for (int j = 0; j < 3; ++j) value += weights[j] * emitterRadiance(kEmitters[j], 380.0 + i);
        spectrum[i] = static_cast<float>(std::max(0.0, value));
    }
    return spectrum;
}

Tristimulus integrateRadiance(const Cs2000Spectrum& radiance) {
    Tristimulus t;
    for (const ObserverRow& row : cie1931Observer) {
        if (row.wavelength < 380.0f || row.wavelength > 780.0f) continue;
        const double value = radiance[static_cast<int>(row.wavelength) - 380];
        t.X += value * row.xbar;
        t.Y += value * row.ybar;
        t.Z += value * row.zbar;
    }
    t.X *= kRadianceToLuminance;
    t.Y *= kRadianceToLuminance;
    t.Z *= kRadianceToLuminance;
    return t;
}

}  // namespace vqs::sim
