// The virtual lab's JETI specbos 1211: a stand-in for JETI's SDK, built as the two shared
// libraries the program loads. This one, libjeti_core.so, keeps the instruments and exports the
// core calls; libjeti_radio_ex.so (sim/jeti_standin_radio.cpp) hands the radiometric calls here.
// It models the instrument, not the program's driver:
//   - up to four spectroradiometers with their serial numbers; opening "device 0" gives a new
//     handle to the first of them each time, as the SDK does;
//   - a measurement that takes about the instrument's real time: the automatic integration time
//     grows as the light fades (a dark reference and the light are both integrated), plus the
//     instrument's processing; it reports busy until then, and takes the light when it ends;
//   - the spectral radiance with the instrument's small calibration error and noise, and X, Y,
//     Z computed from exactly that spectrum with the CIE 1931 observer, so the two agree.
// The light comes from the lab (see sim/jeti_standin_control.h).

#include "probes/jeti_library.h"
#include "sim/jeti_standin_control.h"
#include "sim/jeti_standin_internal.h"
#include "sim/standin_light.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <mutex>
#include <random>
#include <type_traits>
#include <vector>

#define VQS_EXPORT __attribute__((visibility("default")))

namespace {

using Clock = std::chrono::steady_clock;
using vqs::sim::StandInRadiance;

constexpr int kMostInstruments = 4;
constexpr int32_t kFirstSerial = 1211001;
constexpr int32_t kFirstHandle = 0x4A0001;
constexpr uint32_t kErrorInvalidHandle = 0x13;
constexpr uint32_t kErrorArgument = 0x17;
constexpr uint32_t kErrorDevice = 0x22;
constexpr uint32_t kErrorNoResult = 0x25;
constexpr int kSpectralFirst = 350;  // what the instrument covers; the lab lights 380..780
constexpr int kSpectralLast = 1000;
// Timing: processing plus a dark reference and the light, each integrated as long as the light
// needs, within the instrument's bounds.
constexpr double kProcessingMs = 1200.0;
constexpr double kIntegrationMsCdm2 = 2000.0;
constexpr double kShortestIntegrationMs = 2.0;
constexpr double kLongestIntegrationMs = 5000.0;
constexpr double kCalibrationGain = 1.005;

struct Spectroradiometer {
    bool measuring = false;
    bool hasResult = false;
    double measuringMs = 0.0;
    Clock::time_point start;
    StandInRadiance result{};
};

struct Sdk {
    std::mutex mutex;
    int instruments = 0;
    int fault = kVqsSimJetiNoFault;
    double timeScale = 1.0;
    VqsSimJetiRadianceSource source = nullptr;
    void* sourceContext = nullptr;
    std::array<Spectroradiometer, kMostInstruments> devices{};
    std::vector<int32_t> handles;  // open handles, all on device 0
    int32_t nextHandle = kFirstHandle;
    int measurements = 0;
    std::mt19937 noise{1211};

    void reset() {
        instruments = 0;
        fault = kVqsSimJetiNoFault;
        timeScale = 1.0;
        devices.fill(Spectroradiometer{});
        handles.clear();
        nextHandle = kFirstHandle;
        measurements = 0;
        noise.seed(1211);
    }
    int count() const { return fault == kVqsSimJetiNoInstrument ? 0 : instruments; }
    Spectroradiometer* deviceOf(int32_t handle) {
        if (count() == 0 || std::find(handles.begin(), handles.end(), handle) == handles.end())
            return nullptr;
        return &devices[0];
    }
    StandInRadiance light() {
        StandInRadiance radiance{};
        if (source != nullptr) source(sourceContext, radiance.data());
        return radiance;
    }
};

Sdk& sdk() {
    static Sdk the;
    return the;
}

double measuringTimeMs(Sdk& s) {
    const double luminance = std::max(vqs::sim::standInTristimulus(s.light()).Y, 1e-6);
    const double integration =
        std::clamp(kIntegrationMsCdm2 / luminance, kShortestIntegrationMs, kLongestIntegrationMs);
    return kProcessingMs + 2.0 * integration;
}

void finishMeasurement(Sdk& s, Spectroradiometer& d) {
    const StandInRadiance light = s.light();
    std::normal_distribution<double> gainNoise(0.0, 0.002);
    std::normal_distribution<double> floorNoise(0.0, 2e-6);
    for (int i = 0; i < vqs::sim::kStandInRadianceValues; ++i)
        d.result[i] = static_cast<float>(std::max(
            0.0, light[i] * kCalibrationGain * (1.0 + gainNoise(s.noise)) + floorNoise(s.noise)));
    d.measuring = false;
    d.hasResult = true;
}

bool isFinished(Sdk& s, Spectroradiometer& d) {
    if (d.measuring && s.fault != kVqsSimJetiNeverFinishes) {
        const double elapsed =
            std::chrono::duration<double, std::milli>(Clock::now() - d.start).count();
        if (elapsed * s.timeScale >= d.measuringMs) finishMeasurement(s, d);
    }
    return !d.measuring;
}

bool isRange(int32_t first, int32_t last) {
    return first >= kSpectralFirst && last <= kSpectralLast && first <= last;
}

}  // namespace

extern "C" {

// ---- The core library's SDK calls -------------------------------------------------------------

VQS_EXPORT uint32_t JETI_SetCycModeConf(int32_t handle, uint32_t) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    return s.deviceOf(handle) ? 0 : kErrorInvalidHandle;
}

VQS_EXPORT uint32_t JETI_SetCycTimeConf(int32_t handle, uint32_t) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    return s.deviceOf(handle) ? 0 : kErrorInvalidHandle;
}

VQS_EXPORT uint32_t JETI_CloseDevice(int32_t handle) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    const auto open = std::find(s.handles.begin(), s.handles.end(), handle);
    if (open == s.handles.end()) return kErrorInvalidHandle;
    s.handles.erase(open);
    return 0;
}

// ---- What libjeti_radio_ex.so hands on --------------------------------------------------------

VQS_EXPORT uint32_t vqsSimJetiCoreCount(uint32_t* count) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    if (count == nullptr) return kErrorArgument;
    *count = static_cast<uint32_t>(s.count());
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreSerial(uint32_t index, int32_t* serial, int32_t* other) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    if (serial == nullptr || index >= static_cast<uint32_t>(s.count())) return kErrorArgument;
    *serial = kFirstSerial + static_cast<int32_t>(index);
    if (other != nullptr) *other = 0;
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreOpen(uint32_t device, int32_t* handle) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    if (handle == nullptr || device >= static_cast<uint32_t>(s.count())) return kErrorArgument;
    if (s.fault == kVqsSimJetiCannotOpen) return kErrorDevice;
    *handle = s.nextHandle++;
    s.handles.push_back(*handle);
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreMeasure(int32_t handle, float, uint16_t, uint8_t) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    Spectroradiometer* d = s.deviceOf(handle);
    if (d == nullptr) return kErrorInvalidHandle;
    d->measuringMs = measuringTimeMs(s);
    d->start = Clock::now();
    d->measuring = true;
    d->hasResult = false;
    ++s.measurements;
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreStatus(int32_t handle, int32_t* busy) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    Spectroradiometer* d = s.deviceOf(handle);
    if (d == nullptr) return kErrorInvalidHandle;
    if (busy == nullptr) return kErrorArgument;
    *busy = isFinished(s, *d) ? 0 : 1;
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreXyz(int32_t handle, int32_t first, int32_t last, float* X,
                                      float* Y, float* Z) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    Spectroradiometer* d = s.deviceOf(handle);
    if (d == nullptr) return kErrorInvalidHandle;
    if (X == nullptr || Y == nullptr || Z == nullptr || !isRange(first, last)) return kErrorArgument;
    if (!d->hasResult) return kErrorNoResult;
    StandInRadiance within{};
    for (int nm = std::max(first, 380); nm <= std::min(last, 780); ++nm)
        within[nm - 380] = d->result[nm - 380];
    const vqs::sim::StandInXyz xyz = vqs::sim::standInTristimulus(within);
    *X = static_cast<float>(xyz.X);
    *Y = static_cast<float>(xyz.Y);
    *Z = static_cast<float>(xyz.Z);
    return 0;
}

VQS_EXPORT uint32_t vqsSimJetiCoreSpectrum(int32_t handle, int32_t first, int32_t last,
                                           float* values) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    Spectroradiometer* d = s.deviceOf(handle);
    if (d == nullptr) return kErrorInvalidHandle;
    if (values == nullptr || !isRange(first, last)) return kErrorArgument;
    if (!d->hasResult) return kErrorNoResult;
    for (int nm = first; nm <= last; ++nm)
        values[nm - first] = nm >= 380 && nm <= 780 ? d->result[nm - 380] : 0.0f;
    return 0;
}

// ---- The lab's controls -------------------------------------------------------------------------

VQS_EXPORT void vqsSimJetiSetRadianceSource(VqsSimJetiRadianceSource source, void* context) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    s.source = source;
    s.sourceContext = context;
}

VQS_EXPORT void vqsSimJetiSetInstruments(int count) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    s.instruments = std::clamp(count, 0, kMostInstruments);
}

VQS_EXPORT void vqsSimJetiSetFault(int fault) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    s.fault = fault;
}

VQS_EXPORT void vqsSimJetiSetTimeScale(double scale) {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    s.timeScale = std::isfinite(scale) && scale > 0.0 ? scale : 1.0;
}

VQS_EXPORT void vqsSimJetiReset() {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    s.reset();
}

VQS_EXPORT int vqsSimJetiMeasurements() {
    Sdk& s = sdk();
    const std::lock_guard lock(s.mutex);
    return s.measurements;
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&JETI_SetCycModeConf), vqs::JetiSetCycModeConf>);
static_assert(std::is_same_v<decltype(&JETI_SetCycTimeConf), vqs::JetiSetCycTimeConf>);
static_assert(std::is_same_v<decltype(&JETI_CloseDevice), vqs::JetiCloseDevice>);
static_assert(std::is_same_v<decltype(&vqsSimJetiSetRadianceSource), VqsSimJetiSetRadianceSourceFn>);
static_assert(std::is_same_v<decltype(&vqsSimJetiMeasurements), VqsSimJetiMeasurementsFn>);
