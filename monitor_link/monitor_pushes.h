#pragma once
// The pushes every monitor hears: each new reading of the first probe, and the date. They go to
// the serial link when it is open and as a datagram to networkIp:7001; failures are ignored, the
// next push comes soon. While a save sends over the serial link, it gets none.

#include "monitor_link/monitor_link.h"

#include <QString>

namespace vqs {

void pushReading(MonitorLink& link, const QString& networkIp, float X, float Y, float Z);

// date: today as the user's short date.
void pushDate(MonitorLink& link, const QString& networkIp, const QString& date);

}  // namespace vqs
