#pragma once
// The report query of the monitor on the serial link, one step per measurement tick after the
// link's bytes were read.

#include "data/monitor_records.h"
#include "platform/serial_link.h"
#include "tables/patch_catalogue.h"

namespace vqs {

// Sends the query when the monitor says it is there, and merges its complete report into the
// monitor list as the serial monitor. True when the device grid must be refilled.
bool serialReplyCheck(SerialLink& link, MonitorList& monitors, const PatchCatalogue& targets);

}  // namespace vqs
