#pragma once
// The serial report query on the bytes received from the monitor on the link: a monitor says it
// is there with a text containing "OK!"; the system then asks for its report and gives it 30
// ticks to arrive, as long as "OK!" stays in the buffer. Pure: the received bytes in, what to do
// out; safe for any bytes.

#include "data/monitor_records.h"
#include "platform/serial_link.h"
#include "tables/patch_catalogue.h"

namespace vqs {

inline constexpr int32_t kSerialReplyTicks = 30;

enum class SerialReplyAction {
    None,      // wait (or nobody there)
    Query,     // the buffer was emptied; send the report query now
    Complete,  // a complete report was read into `parsed`; the buffer was emptied
};

// Whether the received text (up to its first zero byte) holds the presence text.
bool holdsPresence(const SerialLink& link);

// Forgets what was received and any query under way: its reply, should it still come, lands in
// an emptied buffer without a countdown and is never merged.
void dropSerialReply(SerialLink& link);

// One tick of the query on rxBuffer, rxCount and countdown. `parsed` must start empty: keys the
// reply lacks stay empty or zero in it.
SerialReplyAction serialReplyStep(SerialLink& link, Tcaldaten& parsed,
                                  const PatchCatalogue& targets);

}  // namespace vqs
