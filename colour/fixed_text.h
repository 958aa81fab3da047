#pragma once
// The number format of every readout, patch list entry and report figure.

#include <QString>

namespace vqs {

// Rounds value to at most `precision` significant digits and at most `decimals` digits after
// the decimal separator, then writes it with exactly `decimals` digits after the separator
// (padded with zeros). When the integer part needs more digits than `precision`, the value is
// written in scientific notation ("1.2346E+05"). The separator is the user's locale's (QLocale);
// the digits never depend on the C library's number locale.
QString fixedText(double value, int precision, int decimals);

}  // namespace vqs
