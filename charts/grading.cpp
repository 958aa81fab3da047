#include "charts/grading.h"

#include "colour/fixed_text.h"
#include "data/settings_store.h"
#include "tables/tolerance_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vqs {

namespace {

// DICOM PS3.14 section 7.1, equation 7-1: log10 L(j) as a rational function of ln j.
constexpr double kGsdfA = -1.3011877;
constexpr double kGsdfB = -2.5840191E-2;
constexpr double kGsdfC = 8.0242636E-2;
constexpr double kGsdfD = -1.0320229E-1;
constexpr double kGsdfE = 1.3646699E-1;
constexpr double kGsdfF = 2.8745620E-2;
constexpr double kGsdfG = -2.5468404E-2;
constexpr double kGsdfH = -3.1978977E-3;
constexpr double kGsdfK = 1.2992634E-4;
constexpr double kGsdfM = 1.3635334E-3;

// DICOM PS3.14 section 7.1, note 1: the inverse, j(L) as a polynomial of degree 8 in log10 L.
constexpr double kJndCoefficients[9] = {
    71.498068,     // A
    94.593053,     // B
    41.912053,     // C
    9.8247004,     // D
    0.28175407,    // E
    -1.1878455,    // F
    -0.18014349,   // G
    0.14710899,    // H
    -0.017046845,  // I
};

float luminanceOf(const Tcaldaten& report, int slot) {
    return report.xyz[slot].Y;
}

}  // namespace

UvPoint toUV(float X, float Y, float Z) {
    const float d = X + 15.0f * Y + 3.0f * Z;
    if (d == 0.0f) return {};
    return {4.0f * X / d, 9.0f * Y / d};
}

bool insideTolerance(float cu, float cv, float width, float height, float pu, float pv) {
    const float dx = std::fabs(cu - pu);
    const float dy = std::fabs(cv - pv);
    const float a = width * 0.5f;
    const float b = height * 0.5f;
    const float rx = dx / a;
    const float ry = dy / b;
    return rx * rx + ry * ry <= 1.0f;
}

namespace {

bool insideGrade(const TolerancePair& size, float up, float vp) {
    const TolerancePair& centre = greyTolerance.pairs[0];
    return insideTolerance(centre.a, centre.b, size.a, size.b, up, vp);
}

QString percent(float value) {
    return fixedText(value, 3, 0) + QLatin1Char('%');
}

}  // namespace

QString pointGrade(float up, float vp) {
    QString grade = QStringLiteral("--");
    if (insideGrade(greyTolerance.pairs[1], up, vp)) grade = QStringLiteral("3");
    if (insideGrade(greyTolerance.pairs[2], up, vp)) grade = QStringLiteral("2");
    if (insideGrade(greyTolerance.pairs[3], up, vp)) grade = QStringLiteral("1");
    return grade;
}

GradingTexts gradeReport(const Tcaldaten& report, const PatchCatalogue& targets) {
    // Grey1 and Grey0 are too dark to have a reliable chromaticity and are not graded.
    int n = 0, c1 = 0, c2 = 0, c3 = 0;
    for (int slot = kFirstGreySlot; slot <= 22; ++slot) {
        const XyzTriple& v = report.xyz[slot];
        const UvPoint uv = toUV(v.X, v.Y, v.Z);
        ++n;
        c3 += insideGrade(greyTolerance.pairs[1], uv.up, uv.vp);
        c2 += insideGrade(greyTolerance.pairs[2], uv.up, uv.vp);
        c1 += insideGrade(greyTolerance.pairs[3], uv.up, uv.vp);
    }
    const float s = static_cast<float>(n) * 0.01f;
    GradingTexts texts;
    texts.greyScale = QStringLiteral("Grade 1: ") + percent(static_cast<float>(c1) / s) +
                      QStringLiteral("  2: ") + percent(static_cast<float>(c2) / s) +
                      QStringLiteral("  3: ") + percent(static_cast<float>(c3) / s) +
                      QStringLiteral("  Out: ") + percent(static_cast<float>(n - c3) / s);

    int m = 0, k = 0;
    for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot) {
        const XyzTriple& v = report.xyz[slot];
        const UvPoint uv = toUV(v.X, v.Y, v.Z);
        ++m;
        k += insideTolerance(targets[slot].targetA, targets[slot].targetB, 0.006f, 0.006f, uv.up,
                             uv.vp);
    }
    const float in = static_cast<float>(k) / static_cast<float>(m) * 100.0f;
    const float out = static_cast<float>(m - k) / static_cast<float>(m) * 100.0f;
    texts.colours = QStringLiteral("In: ") + percent(in) + QStringLiteral("  Out: ") + percent(out);
    return texts;
}

float effectiveTargetGamma(const QString& targetGamma) {
    const float g = targetGammaValue(targetGamma);
    // No number reads as 0; "nan" and "inf" are no usable gamma either.
    return std::isfinite(g) && g >= 1.0f ? g : 2.35f;
}

bool isDicomTarget(const QString& targetGamma) {
    return targetGamma == QLatin1String("DICOM");
}

int jndIndex(double luminance) {
    const double x = std::log10(luminance);
    double j = 0.0;
    for (int n = 0; n < 9; ++n) j += kJndCoefficients[n] * std::pow(x, n);
    // No luminance (or a negative reading) has no index; keep the conversion defined.
    if (!std::isfinite(j)) return 0;
    return static_cast<int>(std::clamp(j + 0.5, -1.0e6, 1.0e6));
}

double gsdfLuminance(int jnd) {
    const double x = std::log(static_cast<double>(jnd));
    const double x2 = x * x;
    const double x3 = x2 * x;
    const double x4 = x3 * x;
    const double x5 = x4 * x;
    const double numerator = kGsdfA + kGsdfC * x + kGsdfE * x2 + kGsdfG * x3 + kGsdfM * x4;
    const double denominator =
        1.0 + kGsdfB * x + kGsdfD * x2 + kGsdfF * x3 + kGsdfH * x4 + kGsdfK * x5;
    return std::pow(10.0, numerator / denominator);
}

int displayLevel(const PatchCatalogue& targets, int slot) {
    return targets[slot].r;
}

float levelGamma(const PatchCatalogue& targets, int slot, float luminance, float blackLuminance,
                 float normLuminance) {
    const int level = displayLevel(targets, slot);
    if (normLuminance == 0.0f || luminance == 0.0f) return 1.0f;
    // At level 0 or 255 the level's logarithm is undefined or zero: no gamma can be read there.
    if (level <= 0 || level >= 255) return 1.0f;
    float d = luminance - blackLuminance;
    if (d < 1.0f) d = 1.0f;
    const double gamma = std::log(d / normLuminance) / std::log(static_cast<float>(level) / 255.0f);
    return static_cast<float>(gamma);
}

float measuredGamma(const Tcaldaten& report, const PatchCatalogue& targets, int slot, int blackSlot,
                    int whiteSlot) {
    const float white = luminanceOf(report, whiteSlot);
    const float value = luminanceOf(report, slot);
    if (white == 0.0f || value == 0.0f) return 1.0f;
    return levelGamma(targets, slot, value, luminanceOf(report, blackSlot), white);
}

float measuredRelative(const Tcaldaten& report, int slot, int blackSlot, int whiteSlot) {
    const float black = luminanceOf(report, blackSlot);
    const float range = luminanceOf(report, whiteSlot) - black;
    if (range == 0.0f) return 0.0f;
    return 100.0f * (luminanceOf(report, slot) - black) / range;
}

GsdfTarget gsdfTarget(const Tcaldaten& report, const PatchCatalogue& targets, int blackSlot,
                      int whiteSlot) {
    GsdfTarget target;
    target.blackLuminance = luminanceOf(report, blackSlot);
    if (target.blackLuminance == 0.0f) target.blackLuminance = 0.5f;
    target.whiteLuminance = luminanceOf(report, whiteSlot);
    if (target.whiteLuminance == 0.0f) target.whiteLuminance = 100.0f;
    target.blackJnd = jndIndex(target.blackLuminance);
    target.whiteJnd = jndIndex(target.whiteLuminance);
    target.blackLevel = displayLevel(targets, blackSlot);
    target.whiteLevel = displayLevel(targets, whiteSlot);
    return target;
}

double gsdfTargetLuminance(const GsdfTarget& target, const PatchCatalogue& targets, int slot) {
    const float f = static_cast<float>(displayLevel(targets, slot) - target.blackLevel) /
                    static_cast<float>(target.whiteLevel - target.blackLevel);
    const float j = static_cast<float>(target.blackJnd) +
                    static_cast<float>(target.whiteJnd - target.blackJnd) * f;
    return gsdfLuminance(static_cast<int>(j));
}

}  // namespace vqs
