#pragma once
// The rules by which a monitor is judged from the results of a report, and the target,
// band and measured values the gamma and DICOM panels plot. Chromaticity tolerances are in
// CIE 1976 u', v'. Grading keeps no state: the report, the catalogue (display levels of the
// patches) and the target-gamma setting text are passed in.

#include "data/monitor_records.h"
#include "tables/patch_catalogue.h"

#include <QString>

namespace vqs {

struct UvPoint {
    float up = 0.0f;
    float vp = 0.0f;
};

// u' = 4X / d, v' = 9Y / d with d = X + 15Y + 3Z; (0, 0) when d is 0, which lies outside
// every tolerance.
UvPoint toUV(float X, float Y, float Z);

// Whether (pu, pv) lies inside or on the ellipse of full width `width` and full height `height`
// around (cu, cv); with equal sizes a circle.
bool insideTolerance(float cu, float cv, float width, float height, float pu, float pv);

// Grade of one grey measurement against the grey-scale ellipses: "1", "2", "3" or "--".
QString pointGrade(float up, float vp);

// The grey-scale text ("Grade 1: ..%  2: ..%  3: ..%  Out: ..%") over Grey20..Grey2 and the
// colour text ("In: ..%  Out: ..%") over the 15 EBU colours.
struct GradingTexts {
    QString greyScale;
    QString colours;
};
GradingTexts gradeReport(const Tcaldaten& report, const PatchCatalogue& targets);

// The power-law target gamma: the setting's number (`targetGammaValue` of the settings store),
// or 2.35 when there is none or it is below 1.
float effectiveTargetGamma(const QString& targetGamma);

// True when the setting text is exactly "DICOM".
bool isDicomTarget(const QString& targetGamma);

// DICOM PS3.14 Greyscale Standard Display Function: the JND index of a luminance in cd/m²
// (rounded to the nearest whole index) and the luminance of a whole JND index.
int jndIndex(double luminance);
double gsdfLuminance(int jnd);

// Display level 0..255 of a slot: the R of its display colour.
int displayLevel(const PatchCatalogue& targets, int slot);

// Gamma that luminance L at the slot's display level corresponds to, normalised to the white
// luminance; the difference to black is held at 1 cd/m² or more. 1.0 where the logarithms
// would be undefined (no luminance, no white, or a slot at level 0 or 255).
float levelGamma(const PatchCatalogue& targets, int slot, float luminance, float blackLuminance,
                 float normLuminance);

// Gamma measured at a slot against the report's black and white slots; 1.0 when the slot or
// the white is not measured.
float measuredGamma(const Tcaldaten& report, const PatchCatalogue& targets, int slot, int blackSlot,
                    int whiteSlot);

// Relative luminance in percent measured at a slot; 0 when white and black are equal.
float measuredRelative(const Tcaldaten& report, int slot, int blackSlot, int whiteSlot);

// The DICOM target of a grey run: black and white luminances from the report (0.5 and
// 100 cd/m² when not measured) and their JND indices.
struct GsdfTarget {
    float blackLuminance = 0.5f;
    float whiteLuminance = 100.0f;
    int blackJnd = 0;
    int whiteJnd = 0;
    int blackLevel = 0;
    int whiteLevel = 255;
};

GsdfTarget gsdfTarget(const Tcaldaten& report, const PatchCatalogue& targets, int blackSlot,
                      int whiteSlot);

// Target luminance at a slot: the luminance of the JND index that lies at the slot's level
// between black and white.
double gsdfTargetLuminance(const GsdfTarget& target, const PatchCatalogue& targets, int slot);

}  // namespace vqs
