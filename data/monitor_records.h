#pragma once
// The working report and the list of every known monitor.

#include "tables/patch_catalogue.h"

#include <QString>

#include <array>
#include <cstdint>

namespace vqs {

// Tristimulus values of one patch as the first probe delivered them; zeros = not measured.
struct XyzTriple {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};

// A report: the monitor's identity, the date, the target gamma and one result per patch slot.
struct Tcaldaten {
    QString devsnid;   // serial number or ID of the monitor
    QString devname;   // name of the monitor
    QString repdate;   // user's short date format
    QString repgamma;  // "1.8", "2.2", "2.35", "2.4", "DICOM" or what a file supplied
    int32_t unsaved = 0;
    std::array<XyzTriple, kPatchSlots> xyz{};
};

// Empties the texts, zeroes every result and clears the unsaved flag.
void resetReport(Tcaldaten& report);

// Zeroes the DICOM results (slots 41..61) only, before a DICOM capture run.
void clearDicomResults(Tcaldaten& report);

}  // namespace vqs
