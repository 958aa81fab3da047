#pragma once
// The serial monitor link: one COM port at 115200 baud, 8 data bits, even parity, 1 stop bit,
// no flow control, DTR and RTS off. Its record is a SerialLink whose state is 1 while the port
// is usable; the serial report query counts on its countdown.

#include "platform/serial_link.h"

#include <QByteArray>

namespace vqs {

inline constexpr int32_t kLinkOpen = 1;

// Closes the port if open, resets the record for COM n and opens it. A port that does not exist
// or is busy leaves the link closed, silently; one that refuses a line setting is kept.
bool openLink(SerialLink& link, int comNumber);

void closeLink(SerialLink& link);

inline bool isLinkOpen(const SerialLink& link) {
    return link.state == kLinkOpen && link.handle;
}

// Writes the bytes as they are, nothing added; dropped while the link is closed. The result is
// for callers that care; the link's own messages ignore it.
bool writeLink(SerialLink& link, const QByteArray& bytes);

// Moves every byte that has arrived into rxBuffer, wrapping to index 0 past 32766; never waits.
// A port that went away (adapter unplugged) closes the link.
void readLink(SerialLink& link);

}  // namespace vqs
