#include "monitor_link/serial_reply_check.h"

#include "monitor_link/monitor_link.h"
#include "monitor_link/monitor_messages.h"
#include "monitor_link/serial_monitor_link.h"
#include "monitor_link/serial_reply.h"

namespace vqs {

MergeResult serialReplyCheck(SerialLink& link, MonitorList& monitors,
                             const PatchCatalogue& targets) {
    if (!isLinkOpen(link)) return MergeResult::None;
    Tcaldaten parsed;
    switch (serialReplyStep(link, parsed, targets)) {
        case SerialReplyAction::Query:
            writeLink(link, kReportQuery);
            return MergeResult::None;
        case SerialReplyAction::Complete:
            return mergeSerialMonitor(monitors, parsed);
        case SerialReplyAction::None:
            return MergeResult::None;
    }
    return MergeResult::None;
}

MergeResult serialReplyCheck(MonitorLink& link, MonitorList& monitors,
                             const PatchCatalogue& targets) {
    // The bytes keep arriving meanwhile; the save drops them, and the query under way, at its end.
    if (link.heldForSave.serialLink) return MergeResult::None;
    return serialReplyCheck(link.linkPort, monitors, targets);
}

}  // namespace vqs
