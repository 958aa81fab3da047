// A monitor's reply is whatever a device on the serial link or a host on the network sends:
// whatever its bytes, the serial report query (presence text, countdown, report read from the
// buffer) and the TCP reply text read into a monitor record must neither crash nor read outside
// their buffers, and keep their counts in range.

#include "data/report_file.h"
#include "monitor_link/serial_reply.h"
#include "monitor_link/tcp_reply_text.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

using namespace vqs;

// The bytes arrive over two ticks, and the query runs its whole countdown.
void serialReply(const QByteArray& bytes, const PatchCatalogue& targets) {
    static const auto link = std::make_unique<SerialLink>();
    link->rxBuffer.fill(0);
    link->rxCount = 0;
    link->countdown = 0;
    const qsizetype half = bytes.size() / 2;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        link->storeByte(static_cast<uint8_t>(bytes[i]));
        if (i + 1 != half) continue;
        Tcaldaten parsed;
        serialReplyStep(*link, parsed, targets);
    }
    for (int tick = 0; tick <= kSerialReplyTicks; ++tick) {
        Tcaldaten parsed;
        const SerialReplyAction action = serialReplyStep(*link, parsed, targets);
        if (action == SerialReplyAction::Complete && (link->rxCount != 0 || link->countdown != 0))
            __builtin_trap();
        if (link->rxCount < 0 || link->rxCount > kRxWrapCount || link->countdown < 0 ||
            link->countdown > kSerialReplyTicks)
            __builtin_trap();
    }
}

// The bytes arrive in two parts, each read into the record as the report query does.
void networkReply(const QByteArray& bytes, const PatchCatalogue& targets) {
    TcpReplyText reply;
    Tcaldaten record;
    const qsizetype half = bytes.size() / 2;
    for (const QByteArray& part : {bytes.left(half), bytes.mid(half)}) {
        appendReply(reply, part);
        parseReport(reply.text, reply.text.size(), record, targets);
    }
    if (reply.text.size() > kTcpReplyCapacity || reply.text.size() + reply.dropped != bytes.size())
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const PatchCatalogue targets = makePatchCatalogue();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    serialReply(bytes, targets);
    networkReply(bytes, targets);
    return 0;
}
