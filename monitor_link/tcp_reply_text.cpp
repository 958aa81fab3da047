#include "monitor_link/tcp_reply_text.h"

#include <algorithm>

namespace vqs {

void appendReply(TcpReplyText& reply, const QByteArray& arrived) {
    const qsizetype room = std::max<qsizetype>(0, kTcpReplyCapacity - reply.text.size());
    const qsizetype kept = std::min(room, arrived.size());
    reply.text += arrived.left(kept);
    reply.dropped += arrived.size() - kept;
}

}  // namespace vqs
