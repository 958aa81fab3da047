#include "charts/gallery_report.h"

#include "charts/chromaticity_locus.h"
#include "charts/grading.h"

#include <cmath>

namespace vqs {

namespace {

XyzTriple fromXyY(float x, float y, float Y) {
    return {x / y * Y, Y, (1.0f - x - y) / y * Y};
}

XyzTriple fromUvY(float up, float vp, float Y) {
    const XyPoint p = uvToXy(up, vp);
    return fromXyY(p.x, p.y, Y);
}

}  // namespace

Tcaldaten makeGalleryReport(const PatchCatalogue& targets) {
    Tcaldaten report;
    report.devsnid = QStringLiteral("GAL-001");
    report.devname = QStringLiteral("Gallery");
    report.repgamma = QStringLiteral("2.35");
    constexpr float kWhite = 250.0f;
    constexpr float kBlack = 0.25f;

    // Primaries a little off their targets.
    report.xyz[1] = fromXyY(0.636f, 0.334f, 0.2126f * kWhite);
    report.xyz[2] = fromXyY(0.305f, 0.592f, 0.7152f * kWhite);
    report.xyz[3] = fromXyY(0.152f, 0.063f, 0.0722f * kWhite);

    // Grey scale: gamma 2.3 over a black of 0.25 cd/m², drifting slightly towards blue in
    // the dark steps, so that some greys leave the inner ellipses.
    for (int slot = kFirstGreySlot; slot <= kLastGreySlot; ++slot) {
        const float t = static_cast<float>(displayLevel(targets, slot)) / 255.0f;
        const float Y = kBlack + (kWhite - kBlack) * std::pow(t, 2.3f);
        const float drift = (1.0f - t) * 0.004f;
        report.xyz[slot] = fromUvY(0.1978f - drift * 0.3f, 0.4683f - drift, Y);
    }

    // EBU colours: most within their circle, two outside.
    for (int slot = kFirstEbuSlot; slot <= kLastEbuSlot; ++slot) {
        const Ttarget& t = targets[slot];
        const float offset = (slot == 28 || slot == 35) ? 0.0045f : 0.0015f * ((slot % 3) - 1);
        report.xyz[slot] = fromUvY(t.targetA + offset, t.targetB - offset * 0.5f, t.targetY);
    }

    // DICOM steps: the standard's curve between 0.5 and 300 cd/m², with a bend in the middle.
    const int jmin = jndIndex(0.5);
    const int jmax = jndIndex(300.0);
    for (int slot = kFirstDicomSlot; slot <= kLastSlot; ++slot) {
        const float f = static_cast<float>(displayLevel(targets, slot)) / 255.0f;
        const float bend = 1.0f + 0.06f * std::sin(f * 3.1415927f);
        const auto j = static_cast<int>(jmin + (jmax - jmin) * f);
        report.xyz[slot] = fromXyY(0.3127f, 0.329f, static_cast<float>(gsdfLuminance(j)) * bend);
    }
    return report;
}

}  // namespace vqs
