#include "data/monitor_records.h"

namespace vqs {

void resetReport(Tcaldaten& report) { report = Tcaldaten{}; }

void clearDicomResults(Tcaldaten& report) {
    for (int slot = kFirstDicomSlot; slot <= kLastSlot; ++slot) report.xyz[slot] = XyzTriple{};
}

}  // namespace vqs
