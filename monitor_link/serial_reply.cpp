#include "monitor_link/serial_reply.h"

#include "data/report_file.h"

#include <cstring>
#include <string_view>

namespace vqs {

namespace {

constexpr std::string_view kPresence = "OK!";

void clearReceivedBytes(SerialLink& link) {
    link.rxBuffer.fill(0);
    link.rxCount = 0;
}

}  // namespace

bool holdsPresence(const SerialLink& link) {
    const char* bytes = reinterpret_cast<const char*>(link.rxBuffer.data());
    const void* zero = std::memchr(bytes, 0, link.rxBuffer.size());
    const std::size_t end = zero ? static_cast<const char*>(zero) - bytes : link.rxBuffer.size();
    return std::string_view(bytes, end).find(kPresence) != std::string_view::npos;
}

void dropSerialReply(SerialLink& link) {
    clearReceivedBytes(link);
    link.countdown = 0;
}

SerialReplyAction serialReplyStep(SerialLink& link, Tcaldaten& parsed,
                                  const PatchCatalogue& targets) {
    if (!holdsPresence(link)) {
        // Later bytes overwrite the buffer from its start.
        link.rxCount = 0;
        return SerialReplyAction::None;
    }
    if (link.countdown <= 0) {
        clearReceivedBytes(link);
        link.countdown = kSerialReplyTicks;
        return SerialReplyAction::Query;
    }
    if (--link.countdown > 0) return SerialReplyAction::None;
    const QByteArray text(reinterpret_cast<const char*>(link.rxBuffer.data()),
                          static_cast<qsizetype>(link.rxBuffer.size()));
    // Incomplete: on the next tick the countdown is 0 and the query is repeated.
    if (!parseReport(text, link.rxCount, parsed, targets)) return SerialReplyAction::None;
    clearReceivedBytes(link);
    return SerialReplyAction::Complete;
}

}  // namespace vqs
