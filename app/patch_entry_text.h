#pragma once

#include "data/monitor_records.h"

#include <QString>

namespace vqs {

// A patch list entry with its measured values: label, two blanks and the chromaticity pair of
// the presentation (x, y or u', v') with Y in parentheses.
QString patchEntryText(const QString& label, const XyzTriple& xyz, bool xyMode);

}  // namespace vqs
