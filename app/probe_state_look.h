#pragma once
// How the main window shows whether a probe position is delivering: a short text with a dot in
// the colour of the state, under the position's readout, and a hint that says more.

#include "probes/probe_freshness.h"

#include <QColor>
#include <QString>

namespace vqs {

struct ProbeStateLook {
    QString text;  // empty while nothing is selected in the position
    QColor colour;
    QString hint;
};

// position: 1 or 2, as the readouts are marked.
ProbeStateLook probeStateLook(const ProbeFreshness& freshness, int position);

}  // namespace vqs
