#pragma once
// The COM number of the serial monitor link as the operator types it into the COM field.

#include "platform/serial_link.h"

#include <QString>

namespace vqs {

inline constexpr int kLastComNumber = 255;

// The port a COM field text names: the decimal integer at the start of the narrowed text, read
// as scanf's "%d" reads it (white space, an optional sign, digits; the rest ignored). 0 when
// there is none or it lies outside 1..255, however many digits it has.
int comNumberOf(const QString& fieldText);

// Takes the COM field over: opens the link on the port the text names (even when that port
// cannot be opened), or closes the link for 0. Returns what the field and the COM setting then
// hold: the number in decimal, or "0".
QString takeOverComNumber(SerialLink& link, const QString& fieldText);

}  // namespace vqs
