#pragma once
// The 62 test patches. The patch slot 0..61 is the one index shared by the catalogue, the
// results of a report, the patch list, the report file keys and the monitor messages.

#include <QString>

#include <array>
#include <cstdint>

namespace vqs {

inline constexpr int kPatchSlots = 62;
inline constexpr int kStartSlot = 0;      // "Start Measurment": resumes the live readout
inline constexpr int kFirstPrimarySlot = 1;
inline constexpr int kFirstGreySlot = 4;  // Grey20 .. Grey0 in slots 4..24
inline constexpr int kLastGreySlot = 24;
inline constexpr int kFirstEbuSlot = 25;  // EBU1 .. EBU15 in slots 25..39
inline constexpr int kLastEbuSlot = 39;
inline constexpr int kStopSlot = 40;  // "Stop (Show All)": freezes the readout
inline constexpr int kFirstDicomSlot = 41;  // DICOM20 .. DICOM0 in slots 41..61
inline constexpr int kLastSlot = 61;

// One patch. The target chromaticity is x, y when targetInXy is set, otherwise u', v'.
struct Ttarget {
    QString key;   // keyword in report files and monitor messages
    QString name;  // display name
    bool targetInXy = false;
    float targetY = 0.0f;  // relative to Grey19 = 1 for x, y targets; nominal Y for EBU colours
    float targetA = 0.0f;  // x or u'
    float targetB = 0.0f;  // y or v'
    int32_t r = 0;  // drive levels 0..255 on the monitor under test
    int32_t g = 0;
    int32_t b = 0;
};

using PatchCatalogue = std::array<Ttarget, kPatchSlots>;
using PatchLabels = std::array<QString, kPatchSlots>;

// The catalogue with its texts set, as at program start.
PatchCatalogue makePatchCatalogue();

// First part of a patch list entry once measured values are appended; equal to the names
// except for slot 38, whose name keeps its historical spelling.
PatchLabels makePatchLabels();

inline bool isPatchSlot(int slot) {
    return slot > kStartSlot && slot <= kLastSlot && slot != kStopSlot;
}

}  // namespace vqs
