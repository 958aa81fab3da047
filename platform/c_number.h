#pragma once
// Numbers in files, instrument replies and monitor messages are written with a full stop,
// whatever the user's locale (which Qt installs as the C library's locale, so strtod and
// scanf would read "2.35" as 2 under a German locale, and printf would write "2,350"). These
// readers and writers never consult it.

#include <QByteArray>

#include <optional>
#include <string_view>

namespace vqs {

struct CNumber {
    double value = 0.0;
    std::size_t consumed = 0;  // characters read, leading white space included
};

// Reads one number in the manner of scanf's "%f": white space first, an optional sign, then
// digits with an optional fraction and exponent. Infinity and not-a-number are no numbers here.
std::optional<CNumber> readCNumber(std::string_view text);

// Writes a number exactly as printf's "%W.Nf" does in the "C" locale (N = decimals, W = width):
// the exact binary value rounded, halfway cases to even ("%.3f" of 0.0625 is "0.062"), "-0.000"
// for negative zero and tiny negative values, spaces in front up to the width.
QByteArray formatCFixed(double value, int decimals, int width = 0);

}  // namespace vqs
