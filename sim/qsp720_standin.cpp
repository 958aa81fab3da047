// The virtual lab's QSP720: a stand-in for the maker's library "qsp72XP", built as the shared
// library the program loads (libqsp72XP.so). It models the instrument, not the program's driver:
//   - a device memory with an identity text ("#" and the serial number) and the three
//     coefficients of the pixel-to-wavelength polynomial, as texts;
//   - a detector of 2048 pixels whose counts are the spectral radiance in front of it times the
//     pixel's sensitivity times the integration time, plus a dark level (an offset that differs
//     from pixel to pixel and a dark current that grows with the time) and noise, clipped at
//     65535;
//   - scans that take their integration time: SWDscanLV starts a scan when none runs and says
//     "not finished" until the time has passed; it never waits.
// The light comes from the lab (see sim/qsp720_standin_control.h).
// Built with VQS_STANDIN_WITHOUT_SCAN it is a library of another version that lacks SWDscanLV,
// for the tests of a library without all its exports. The calibration file
// sim/data/qsp720_standin.cal is made for this detector: with it the spectrometer measures
// the lab's display as the virtual CS-2000 does.

#include "probes/qsp720_library.h"
#include "sim/qsp720_standin_control.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <type_traits>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPixels = 2048;
constexpr int kScanValues = 2051;
constexpr int kRadianceValues = 401;  // 380..780 nm
constexpr float kFullScale = 65535.0f;

// The polynomial's coefficients as the device keeps them; pixel i lies at
// c3 + c1 * 0.5 * i + c2 * 0.25 * i * i nm, about 340 to 1020 nm.
// (The texts and the numbers are kept apart: the C library reads numbers in the user's locale.)
constexpr char kC1[] = "0.67464";
constexpr char kC2[] = "-0.00001";
constexpr char kC3[] = "340.25";
constexpr double kC1Value = 0.67464;
constexpr double kC2Value = -0.00001;
constexpr double kC3Value = 340.25;
constexpr char kIdentity[] = "QSP720 array spectrometer, virtual lab #SIM72001";

// Counts per (W/(sr·m²·nm)) per ms at full sensitivity: a white of 100 cd/m² peaks at about
// 6000 counts in 100 ms, so a grey of 25 cd/m² stays below saturation even in 2400 ms.
constexpr double kGain = 16000.0;

double pixelWavelength(int i) {
    return kC3Value + kC1Value * 0.5 * i + kC2Value * 0.25 * i * i;
}

// A silicon detector behind a grating: most sensitive in the red, less at both ends.
double sensitivity(double wavelength) {
    const double t = (wavelength - 620.0) / 220.0;
    return 0.25 + 0.75 * std::exp(-t * t);
}

double darkCounts(int pixel, int milliseconds) {
    return 900.0 + 40.0 * std::sin(0.013 * pixel) + 0.25 * milliseconds;
}

struct Instrument {
    std::mutex mutex;
    int fault = kVqsSimQsp720NoFault;
    bool covered = false;
    double timeScale = 1.0;
    VqsSimQsp720RadianceSource source = nullptr;
    void* sourceContext = nullptr;
    int rateMs = 100;
    bool scanning = false;
    int scanMs = 100;
    Clock::time_point scanStart;
    int finishedScans = 0;
    std::mt19937 noise{7201};

    void reset() {
        fault = kVqsSimQsp720NoFault;
        covered = false;
        timeScale = 1.0;
        rateMs = 100;
        scanning = false;
        finishedScans = 0;
        noise.seed(7201);
    }
    int devices() const { return fault == kVqsSimQsp720NoDevice ? 0 : 1; }
};

Instrument& instrument() {
    static Instrument the;
    return the;
}

std::array<uint8_t, 256> memoryImage(bool unprintable) {
    std::array<uint8_t, 256> memory{};
    auto put = [&memory](int address, const char* text, bool padded) {
        const std::size_t length = std::min<std::size_t>(std::strlen(text), 32);
        std::memcpy(memory.data() + address, text, length);
        if (padded) std::memset(memory.data() + address + length, ' ', 32 - length);
    };
    put(0, "NORVALE QSP720", false);
    std::memset(memory.data() + 32, ' ', 64);
    std::memcpy(memory.data() + 32, kIdentity, sizeof kIdentity - 1);
    if (unprintable) memory[40] = 0x07;
    put(128, kC1, true);
    put(160, kC2, true);
    put(192, kC3, true);
    put(224, "0", true);
    return memory;
}

// The radiance at a wavelength, from the lab's 380..780 nm values; nothing outside them.
double radianceAt(const std::array<float, kRadianceValues>& radiance, double wavelength) {
    const double position = wavelength - 380.0;
    if (position < 0.0 || position > kRadianceValues - 1) return 0.0;
    const int below = std::min(static_cast<int>(position), kRadianceValues - 2);
    const double t = position - below;
    return radiance[below] * (1.0 - t) + radiance[below + 1] * t;
}

// Unused in the version without SWDscanLV.
[[maybe_unused]] void fillScan(Instrument& the, float* buffer) {
    std::array<float, kRadianceValues> radiance{};
    if (the.source != nullptr && !the.covered) the.source(the.sourceContext, radiance.data());
    const double gain = the.fault == kVqsSimQsp720Saturated ? kGain * 1000.0 : kGain;
    std::normal_distribution<double> noise(0.0, 3.0);
    for (int i = 0; i < kPixels; ++i) {
        const double wavelength = pixelWavelength(i);
        const double light = radianceAt(radiance, wavelength) * sensitivity(wavelength) * gain;
        const double counts = light * the.scanMs + darkCounts(i, the.scanMs) + noise(the.noise);
        buffer[i] = std::clamp(static_cast<float>(counts), 0.0f, kFullScale);
    }
    buffer[2048] = 0.0f;
    buffer[2049] = static_cast<float>(the.scanMs);
    buffer[2050] = 25.0f;  // detector temperature, °C
}

bool isDevice(const Instrument& the, int device) {
    return device >= 1 && device <= the.devices();
}

}  // namespace

extern "C" {

int SWDinit() {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    if (the.fault == kVqsSimQsp720CrashesInInit) std::abort();
    return 1;
}

int SWDdevcnt() {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    return the.devices();
}

int SWDeeRead(int16_t device, int address, uint8_t* block) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    if (!isDevice(the, device) || block == nullptr || address < 0 || address > 224 ||
        address % 32 != 0)
        return 0;
    const auto memory = memoryImage(the.fault == kVqsSimQsp720Unprintable);
    std::memcpy(block, memory.data() + address, 32);
    return 1;
}

int SWDrate(int milliseconds) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.rateMs = std::clamp(milliseconds, 1, 60000);
    return 1;
}

int SWDupdate(int, int, int) {
    return 1;
}

int SWDxtrate(int) {
    return 1;
}

#ifndef VQS_STANDIN_WITHOUT_SCAN
int SWDscanLV(int device, float* buffer) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    if (!isDevice(the, device) || buffer == nullptr) return -1;
    if (!the.scanning) {
        the.scanning = true;
        the.scanMs = the.rateMs;
        the.scanStart = Clock::now();
        return 1;
    }
    if (the.fault == kVqsSimQsp720NeverFinishes) return 1;
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(Clock::now() - the.scanStart).count();
    if (elapsedMs * the.timeScale < the.scanMs) return 1;
    fillScan(the, buffer);
    the.scanning = false;
    ++the.finishedScans;
    return 0;
}
#endif

int SWDclose() {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.scanning = false;
    return 1;
}

void vqsSimQsp720SetRadianceSource(VqsSimQsp720RadianceSource source, void* context) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.source = source;
    the.sourceContext = context;
}

void vqsSimQsp720SetCovered(int covered) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.covered = covered != 0;
}

void vqsSimQsp720SetFault(int fault) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.fault = fault;
}

void vqsSimQsp720SetTimeScale(double scale) {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.timeScale = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

void vqsSimQsp720Reset() {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    the.reset();
}

int vqsSimQsp720FinishedScans() {
    Instrument& the = instrument();
    const std::lock_guard lock(the.mutex);
    return the.finishedScans;
}

}  // extern "C"

// The exports keep the signatures the program calls them with.
static_assert(std::is_same_v<decltype(&SWDinit), vqs::Qsp720Init>);
static_assert(std::is_same_v<decltype(&SWDdevcnt), vqs::Qsp720DeviceCount>);
static_assert(std::is_same_v<decltype(&SWDeeRead), vqs::Qsp720MemoryRead>);
static_assert(std::is_same_v<decltype(&SWDrate), vqs::Qsp720Rate>);
static_assert(std::is_same_v<decltype(&SWDupdate), vqs::Qsp720Update>);
static_assert(std::is_same_v<decltype(&SWDxtrate), vqs::Qsp720ExtraRate>);
#ifndef VQS_STANDIN_WITHOUT_SCAN
static_assert(std::is_same_v<decltype(&SWDscanLV), vqs::Qsp720Scan>);
#endif
static_assert(std::is_same_v<decltype(&SWDclose), vqs::Qsp720Close>);
static_assert(
    std::is_same_v<decltype(&vqsSimQsp720SetRadianceSource), VqsSimQsp720SetRadianceSourceFn>);
