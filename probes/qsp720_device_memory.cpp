#include "probes/qsp720_device_memory.h"

#include "platform/c_number.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace vqs {

namespace {

constexpr int kTrustedCoefficientBytes = 17;

}  // namespace

bool hasPrintableIdentity(const Qsp720Memory& memory, int bytesRead) {
    if (bytesRead < kQsp720IdentityEnd) return false;
    return std::all_of(memory.begin() + kQsp720IdentityFirst, memory.begin() + kQsp720IdentityEnd,
                       [](uint8_t byte) { return byte >= 0x20 && byte <= 0x80; });
}

std::optional<QString> serialFromMemory(const Qsp720Memory& memory) {
    const auto identityEnd = memory.begin() + kQsp720IdentityEnd;
    const auto hash = std::find(memory.begin() + kQsp720IdentityFirst, identityEnd, uint8_t{'#'});
    if (hash == identityEnd) return std::nullopt;
    QString serial;
    for (auto it = hash + 1; it != memory.end() && serial.size() < kQsp720SerialLength; ++it) {
        if (*it == 0) break;
        serial += QChar(*it);  // the memory's bytes are Latin-1
    }
    return serial;
}

bool isCoefficientText(Qsp720MemoryBlock block) {
    return std::all_of(block.begin(), block.begin() + kTrustedCoefficientBytes,
                       [](uint8_t byte) { return byte >= 0x20; });
}

double coefficientFromBlock(Qsp720MemoryBlock block) {
    const char* text = reinterpret_cast<const char*>(block.data());
    const std::string_view cut(text, kQsp720CoefficientChars);
    const std::string_view upToZero = cut.substr(0, cut.find('\0'));
    const auto number = readCNumber(upToZero);
    return number ? number->value : 0.0;
}

void setPixelWavelengths(Tsmlist& probe, const WavelengthCoefficients& c) {
    probe.firstPixel = 0;
    probe.lastPixel = 0;
    for (int i = 0; i < kQsp720Pixels; ++i) {
        const double pixel = i;
        const double wavelength = c.c3 + c.c1 * 0.5 * pixel + c.c2 * 0.25 * pixel * pixel;
        // A coefficient text may hold anything; a wavelength beyond what a float holds is
        // kept as infinity rather than converted out of range.
        probe.wavelength[i] = std::abs(wavelength) <= 3.0e38
                                  ? static_cast<float>(wavelength)
                                  : (wavelength > 0 ? HUGE_VALF : -HUGE_VALF);
        if (probe.wavelength[i] < 380.0f) probe.firstPixel = i;
        if (probe.wavelength[i] < 780.0f) probe.lastPixel = i;
    }
}

}  // namespace vqs
