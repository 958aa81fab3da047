#pragma once
// The second guard of tests, demos and CI on a shared network: with VQS_LOOPBACK_ONLY set, no
// datagram and no connection leaves for an address outside 127.0.0.0/8. Every socket of the
// network layer asks its guard before it sends or connects.

#include <QHostAddress>
#include <QSet>
#include <QString>

namespace vqs {

// True when the address may be used: any address without the rule, with it only IPv4
// 127.0.0.0/8 (an unreadable address never).
bool destinationAllowed(const QHostAddress& destination, bool loopbackOnly);

// Whether the environment asks for the rule: VQS_LOOPBACK_ONLY set to anything but "" or "0".
bool loopbackOnlyRequested();

class LoopbackGuard {
public:
    LoopbackGuard() : LoopbackGuard(loopbackOnlyRequested()) {}
    explicit LoopbackGuard(bool loopbackOnly) : loopbackOnly_(loopbackOnly) {}

    // True when the destination may be used. A refusal is said on stderr the first time for
    // each destination: a tick that retries every 100 ms must not flood the log.
    bool admits(const QHostAddress& destination, const QString& shownAs);

private:
    bool loopbackOnly_;
    QSet<QString> told_;
};

}  // namespace vqs
