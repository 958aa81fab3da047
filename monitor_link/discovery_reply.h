#pragma once
// The answer of a network monitor to the discovery request: "XHB1.0-YES!" somewhere in the
// datagram, then '#'-separated fields after the first '#': 1 the name, 2 and 3 unused, 4 the
// serial identity. Pure: bytes in, fields out, safe for any bytes.

#include <QByteArray>
#include <QString>

#include <optional>

namespace vqs {

inline const QByteArray kDiscoveryRequest = QByteArrayLiteral("XHB1.0-AREYOUTHERE?");
inline const QByteArray kDiscoveryAnswer = QByteArrayLiteral("XHB1.0-YES!");
inline constexpr qsizetype kDiscoveryReplyMaxBytes = 8192;
inline constexpr qsizetype kDiscoveryFieldMaxChars = 63;

struct DiscoveryAnswer {
    QString devname;  // field 1
    QString devsnid;  // field 4
};

// The datagram is read as text up to its first zero byte, each byte one Latin-1 character. A
// field keeps its first 63 characters; the rest of a longer one is skipped up to its '#', so
// the fields after it keep their numbers. None unless the answer text occurs and both the name
// and the serial identity are non-empty.
std::optional<DiscoveryAnswer> parseDiscoveryReply(const QByteArray& datagram);

}  // namespace vqs
