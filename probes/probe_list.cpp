#include "probes/probe_list.h"

namespace vqs {

void resetProbeList(ProbeList& probes) {
    for (Tsmlist& p : probes) {
        p.type = kProbeFree;
        p.serialNumber.clear();
        p.calStatus.clear();
        p.calStatusColour = -1;
        p.radCalCor = 1.0f;
        p.rangeFactor.fill(1.0f);
        p.scanCount = 0;
        p.userRange = 0;
        p.skipCount = 0;
        p.holdCount = 0;
    }
}

int findFreeProbeRow(const ProbeList& probes) {
    for (int row = 0; row < kProbeRows; ++row)
        if (probes[row].type == kProbeFree) return row;
    return -1;
}

int32_t probeTypeAt(const ProbeList& probes, int row) {
    if (row < 0 || row >= kProbeRows) return kProbeFree;
    return probes[row].type;
}

}  // namespace vqs
