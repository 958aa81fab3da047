#include "monitor_link/serial_reply_check.h"

#include "monitor_link/monitor_messages.h"
#include "monitor_link/serial_monitor_link.h"
#include "monitor_link/serial_reply.h"

namespace vqs {

bool serialReplyCheck(SerialLink& link, MonitorList& monitors, const PatchCatalogue& targets) {
    if (!isLinkOpen(link)) return false;
    Tcaldaten parsed;
    switch (serialReplyStep(link, parsed, targets)) {
        case SerialReplyAction::Query:
            writeLink(link, kReportQuery);
            return false;
        case SerialReplyAction::Complete:
            mergeSerialMonitor(monitors, parsed);
            return true;
        case SerialReplyAction::None:
            return false;
    }
    return false;
}

}  // namespace vqs
