#include "charts/chromaticity_locus.h"

#include "tables/cie2012_observer.h"

namespace vqs {

Locus buildLocus(bool xyMode) {
    Locus locus;
    for (std::size_t i = 1; i < cie2012Observer.size() && locus.count + 1 < 90; ++i) {
        const ObserverRow& row = cie2012Observer[i];
        if (row.wavelength == 0.0f) break;
        LocusRow& out = locus.rows[locus.count++];
        out.wavelength = static_cast<int32_t>(row.wavelength);
        if (xyMode) {
            const float s = row.xbar + row.ybar + row.zbar;
            out.a = row.xbar / s;
            out.b = row.ybar / s;
        } else {
            const float d = row.xbar + 15.0f * row.ybar + 3.0f * row.zbar;
            out.a = 4.0f * row.xbar / d;
            out.b = 9.0f * row.ybar / d;
        }
    }
    locus.rows[locus.count] = LocusRow{};
    return locus;
}

LocusCrossings locusCrossings(const Locus& locus, float a) {
    LocusCrossings found;
    for (int k = 0; k + 1 < locus.count && found.count < 2; ++k) {
        const LocusRow& p = locus.rows[k];
        const LocusRow& q = locus.rows[k + 1];
        float b = 0.0f;
        if (p.a <= q.a && p.a <= a && a < q.a)
            b = (q.b - p.b) / (q.a - p.a) * (a - p.a) + p.b;
        else if (p.a > q.a && q.a <= a && a < p.a)
            b = (p.b - q.b) / (p.a - q.a) * (a - q.a) + q.b;
        else
            continue;
        (found.count == 0 ? found.b1 : found.b2) = b;
        ++found.count;
    }
    return found;
}

XyPoint uvToXy(float up, float vp) {
    const float d = 6.0f * up - 16.0f * vp + 12.0f;
    return {9.0f * up / d, 4.0f * vp / d};
}

}  // namespace vqs
