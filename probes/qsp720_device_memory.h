#pragma once
// What a QSP720 keeps in its 256-byte memory (eight blocks of 32 bytes): a text with its serial
// number after a '#' in bytes 32..95, and the coefficients of its pixel-to-wavelength
// polynomial as texts at 128, 160 and 192. Pure functions on the bytes; the driver reads them.

#include "probes/probe_list.h"
#include "probes/qsp720_library.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace vqs {

using Qsp720Memory = std::array<uint8_t, kQsp720MemoryBytes>;
using Qsp720MemoryBlock = std::span<const uint8_t, kQsp720MemoryBlock>;

inline constexpr int kQsp720IdentityFirst = 32;
inline constexpr int kQsp720IdentityEnd = 96;  // one past the identity text
inline constexpr int kQsp720SerialLength = 8;
inline constexpr int kQsp720CoefficientChars = 14;

// Every byte of the identity text was read and lies in 0x20..0x80. `bytesRead` counts the
// memory bytes from address 0 that were read.
bool hasPrintableIdentity(const Qsp720Memory& memory, int bytesRead);

// The up to eight characters after the first '#' of the identity text, up to a zero byte;
// none without a '#'.
std::optional<QString> serialFromMemory(const Qsp720Memory& memory);

// The first coefficient block is trusted only when its first 17 bytes are all 0x20 or above.
bool isCoefficientText(Qsp720MemoryBlock block);

// A coefficient: the block's text cut after 14 characters, read as a decimal number; 0 when
// it holds none.
double coefficientFromBlock(Qsp720MemoryBlock block);

struct WavelengthCoefficients {
    double c1 = 0.0;
    double c2 = 0.0;
    double c3 = 0.0;
};

// wavelength[i] = c3 + c1 * 0.5 * i + c2 * 0.25 * i * i (computed in double, kept as float), and
// the pixel bounds of the visible range: firstPixel the last pixel below 380 nm, lastPixel the
// last below 780 nm (0 where no pixel is below).
void setPixelWavelengths(Tsmlist& probe, const WavelengthCoefficients& coefficients);

}  // namespace vqs
