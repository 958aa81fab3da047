#pragma once
// What a monitor replied over TCP, for the report parser. Pure.

#include <QByteArray>

namespace vqs {

inline constexpr qsizetype kTcpReplyCapacity = 32768;

struct TcpReplyText {
    QByteArray text;        // at most kTcpReplyCapacity bytes
    qsizetype dropped = 0;  // bytes that arrived after the text was full

    void clear() {
        text.clear();
        dropped = 0;
    }
};

// Appends the bytes. A full reply keeps its first 32768 bytes (a report starts with its keys)
// and counts the rest as dropped.
void appendReply(TcpReplyText& reply, const QByteArray& arrived);

}  // namespace vqs
