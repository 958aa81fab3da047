#pragma once
// How the main window shows whether a probe position is delivering: a short text with a dot in
// the colour of the state, under the position's readout, and a hint that says more.

#include "probes/probe_freshness.h"

#include <QColor>
#include <QString>

namespace vqs {

// The readout colours: lime for the first position, silver for the second, and grey for
// values that are not a current reading.
inline const QColor kFirstReadoutColour(0x00, 0xFF, 0x00);
inline const QColor kSecondReadoutColour(0xC0, 0xC0, 0xC0);
inline const QColor kStaleReadoutColour(0x78, 0x78, 0x78);

struct ProbeStateLook {
    QString text;  // empty while nothing is selected in the second position
    QColor colour;
    QString hint;
};

// position: 1 or 2, as the readouts are marked. The first position needs a probe, so its
// lack is shown; "none" is a normal choice for the second.
ProbeStateLook probeStateLook(const ProbeFreshness& freshness, int position);

}  // namespace vqs
