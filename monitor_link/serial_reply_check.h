#pragma once
// The report query of the monitor on the serial link, one step per measurement tick after the
// link's bytes were read.

#include "data/monitor_records.h"
#include "platform/serial_link.h"
#include "tables/patch_catalogue.h"

namespace vqs {

struct MonitorLink;

// Sends the query when the monitor says it is there, and merges its complete report into the
// monitor list as the serial monitor. The device grid is refilled when the result is Added or
// Updated; None while no complete reply was merged.
MergeResult serialReplyCheck(SerialLink& link, MonitorList& monitors,
                             const PatchCatalogue& targets);

// The same on the program's link; waits while a save sends over the serial link.
MergeResult serialReplyCheck(MonitorLink& link, MonitorList& monitors,
                             const PatchCatalogue& targets);

}  // namespace vqs
