// A discovery answer is whatever any host on the segment sends to our port: whatever its bytes,
// reading it must neither crash nor read outside the datagram.

#include "monitor_link/discovery_reply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The endpoint hands over at most this much of a datagram.
    const size_t taken = size < static_cast<size_t>(vqs::kDiscoveryReplyMaxBytes)
                             ? size
                             : static_cast<size_t>(vqs::kDiscoveryReplyMaxBytes);
    const QByteArray datagram(reinterpret_cast<const char*>(data), static_cast<qsizetype>(taken));
    if (const auto answer = vqs::parseDiscoveryReply(datagram)) {
        if (answer->devname.isEmpty() || answer->devsnid.isEmpty() ||
            answer->devname.size() > vqs::kDiscoveryFieldMaxChars ||
            answer->devsnid.size() > vqs::kDiscoveryFieldMaxChars)
            __builtin_trap();
    }
    return 0;
}
