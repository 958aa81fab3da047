// The virtual lab's JETI SDK, its second library: libjeti_radio_ex.so, the radiometric calls.
// The instruments live in libjeti_core.so (sim/jeti_standin_core.cpp); this library hands each
// call on to it.

#include "probes/jeti_library.h"
#include "sim/jeti_standin_internal.h"

#include <type_traits>

#define VQS_EXPORT __attribute__((visibility("default")))

extern "C" {

VQS_EXPORT uint32_t JETI_GetNumRadioEx(uint32_t* count) {
    return vqsSimJetiCoreCount(count);
}

VQS_EXPORT uint32_t JETI_GetSerialRadioEx(uint32_t index, int32_t* serial, int32_t* other) {
    return vqsSimJetiCoreSerial(index, serial, other);
}

VQS_EXPORT uint32_t JETI_OpenRadioEx(uint32_t device, int32_t* handle) {
    return vqsSimJetiCoreOpen(device, handle);
}

VQS_EXPORT uint32_t JETI_MeasureEx(int32_t handle, float integrationMs, uint16_t averages,
                                   uint8_t step) {
    return vqsSimJetiCoreMeasure(handle, integrationMs, averages, step);
}

VQS_EXPORT uint32_t JETI_MeasureStatusEx(int32_t handle, int32_t* busy) {
    return vqsSimJetiCoreStatus(handle, busy);
}

VQS_EXPORT uint32_t JETI_ChromXYZEx(int32_t handle, int32_t first, int32_t last, float* X,
                                    float* Y, float* Z) {
    return vqsSimJetiCoreXyz(handle, first, last, X, Y, Z);
}

VQS_EXPORT uint32_t JETI_SpecRadEx(int32_t handle, int32_t first, int32_t last, float* values) {
    return vqsSimJetiCoreSpectrum(handle, first, last, values);
}

}  // extern "C"

static_assert(std::is_same_v<decltype(&JETI_GetNumRadioEx), vqs::JetiGetNumRadioEx>);
static_assert(std::is_same_v<decltype(&JETI_GetSerialRadioEx), vqs::JetiGetSerialRadioEx>);
static_assert(std::is_same_v<decltype(&JETI_OpenRadioEx), vqs::JetiOpenRadioEx>);
static_assert(std::is_same_v<decltype(&JETI_MeasureEx), vqs::JetiMeasureEx>);
static_assert(std::is_same_v<decltype(&JETI_MeasureStatusEx), vqs::JetiMeasureStatusEx>);
static_assert(std::is_same_v<decltype(&JETI_ChromXYZEx), vqs::JetiChromXYZEx>);
static_assert(std::is_same_v<decltype(&JETI_SpecRadEx), vqs::JetiSpecRadEx>);
