#pragma once
// The QSP720 calibration file: 8-bit text of entries "KEY = number", read strictly in order.
//   RADCALCOR = f          overall correction factor
//   INTEGRATIONTIME = ms   the first four set the times of ranges 1..4
//   RADCALWAVES [= n] list wavelength list
//   RADCALDATA [= n] list  (first one only) the curve per pixel, and the value list
//   LEGALRADCAL [= n] pairs (wavelength, value): the curve interpolated at each pixel,
//                          normalised to a maximum of 1
//   REFWAVES [= n] list    wavelength list
//   REFRADCAL [= n] list   reference values: curve := normalised reference / normalised curve
//   ENDCALFILE             stop reading
// Lists hold at most 2048 numbers (pairs) and end at the first text that is no number. Words
// that are no keys are skipped. Whatever the file holds, the reader stays inside its buffers and
// leaves finite values in the probe's entry.

#include "probes/probe_list.h"

#include <QString>

#include <string_view>

namespace vqs {

inline constexpr int kQsp720CalListCapacity = 2048;
// More than any calibration file needs (2048 pairs take some 50 KB); a larger file is refused,
// since a part of it is no calibration.
inline constexpr qsizetype kQsp720CalFileMaxBytes = 16 * 1024 * 1024;
inline const QString kNoCalFileStatus = QStringLiteral("NO CAL FILE");
// The status of a file refused for its size: this, then the path.
inline const QString kCalFileTooLargeStatus = QStringLiteral("CAL FILE OVER 16 MiB, NOT USED: ");
inline constexpr int32_t kCalStatusRed = 0x0000FF;
inline constexpr int32_t kCalStatusWhite = 0xFFFFFF;
// A time outside these bounds is no integration time: its entry still counts, the time stays.
inline constexpr double kQsp720ShortestTimeMs = 1.0;
inline constexpr double kQsp720LongestTimeMs = 3600000.0;

// Applies the entries of a calibration file's text to the probe (radCalCor, calCurve and the
// integration times); the pixel wavelengths must be set.
void applyCalFileText(std::string_view text, Tsmlist& probe);

// The file of calFilePath, as the program opens it: control characters and '"' dropped.
QString calFileOpenPath(const QString& calFilePath);

// Reads the probe's calibration file: the integration times start from their defaults; a file
// that cannot be read leaves the factor and the curve alone and sets the red "NO CAL FILE"
// status (a file over 16 MiB: the red kCalFileTooLargeStatus and its path), a readable one
// shows its path in white. True when the file was read.
bool readCalFile(Tsmlist& probe);

}  // namespace vqs
