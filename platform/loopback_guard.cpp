#include "platform/loopback_guard.h"

#include <cstdio>

namespace vqs {

bool destinationAllowed(const QHostAddress& destination, bool loopbackOnly) {
    if (!loopbackOnly) return true;
    bool isIpv4 = false;
    const quint32 ip = destination.toIPv4Address(&isIpv4);
    // An IPv4-mapped IPv6 address converts too; only a plain IPv4 address counts.
    return isIpv4 && destination.protocol() == QAbstractSocket::IPv4Protocol && (ip >> 24) == 127;
}

bool loopbackOnlyRequested() {
    const QByteArray value = qgetenv("VQS_LOOPBACK_ONLY");
    return !value.isEmpty() && value != "0";
}

bool LoopbackGuard::admits(const QHostAddress& destination, const QString& shownAs) {
    if (destinationAllowed(destination, loopbackOnly_)) return true;
    if (!told_.contains(shownAs)) {
        told_.insert(shownAs);
        std::fprintf(stderr, "VQS_LOOPBACK_ONLY: refusing to send to %s (not a loopback address)\n",
                     shownAs.toLocal8Bit().constData());
    }
    return false;
}

}  // namespace vqs
