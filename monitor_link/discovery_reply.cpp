#include "monitor_link/discovery_reply.h"

#include <algorithm>
#include <array>

namespace vqs {

namespace {

constexpr int kFieldsRead = 4;

// The '#'-separated fields after the first '#', each cut to its first 63 characters.
std::array<QByteArray, kFieldsRead> fieldsOf(const QByteArray& text) {
    std::array<QByteArray, kFieldsRead> fields;
    qsizetype at = text.indexOf('#');
    if (at < 0) return fields;
    ++at;
    for (QByteArray& field : fields) {
        if (at > text.size()) break;
        qsizetype end = text.indexOf('#', at);
        if (end < 0) end = text.size();
        field = text.mid(at, std::min(end - at, kDiscoveryFieldMaxChars));
        at = end + 1;
    }
    return fields;
}

}  // namespace

std::optional<DiscoveryAnswer> parseDiscoveryReply(const QByteArray& datagram) {
    const qsizetype zero = datagram.indexOf('\0');
    const QByteArray text = zero < 0 ? datagram : datagram.left(zero);
    if (!text.contains(kDiscoveryAnswer)) return std::nullopt;
    const auto fields = fieldsOf(text);
    if (fields[0].isEmpty() || fields[3].isEmpty()) return std::nullopt;
    return DiscoveryAnswer{QString::fromLatin1(fields[0]), QString::fromLatin1(fields[3])};
}

}  // namespace vqs
