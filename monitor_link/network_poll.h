#pragma once
// The report query of the network monitors over pollConnection: one monitor of the list at a
// time, in list order, one step per measurement tick. A monitor gets the query "VQS_?" and 30
// ticks to deliver its whole report; the keys found so far are written into its record on every
// tick. Its pollState says where it stands: 0 not asked, 1..30 waiting, 31 given up, 100 done;
// neither 31 nor 100 is asked again.

#include "data/monitor_records.h"
#include "monitor_link/monitor_connection.h"
#include "monitor_link/tcp_reply_text.h"
#include "tables/patch_catalogue.h"

namespace vqs {

inline constexpr int32_t kPollNew = 0;
inline constexpr int32_t kPollAsked = 1;
inline constexpr int32_t kPollGivenUp = 31;
inline constexpr int32_t kPollDone = 100;

// Where the query stands between ticks. The cursor is an index into the monitor list; it wraps
// to 0 at the first empty slot and is not reset when the list changes.
struct NetworkPoll {
    int cursor = 0;
    // The current query waits for its connection to send "VQS_?", and for how many ticks.
    bool queryOwed = false;
    int connectingTicks = 0;
};

struct MonitorLink;

// One step of the query. Connecting never makes the tick wait: the query goes out on the first
// tick that finds the connection made, and the 30 ticks count from there. A monitor whose connect
// fails (refused, unreachable, or unanswered for 30 ticks) stays at 0 and is asked again when the
// cursor comes round, after the monitors behind it; one whose connection drops after the query
// waits out its 30 ticks with what it sent. True when the polled record's serial/ID or name
// changed, so the device grid should show it.
bool networkPollStep(NetworkPoll& poll, MonitorConnection& pollConnection, TcpReplyText& reply,
                     MonitorList& monitors, const PatchCatalogue& targets);
bool networkPollStep(MonitorLink& link, MonitorList& monitors, const PatchCatalogue& targets);

// The record was just given a report sent to its monitor: a query of it still under way asked
// for the report the monitor held before, so it is dropped unread and the record counts as done.
void forgetPollReply(MonitorLink& link, MonitorList& monitors, int index);

}  // namespace vqs
