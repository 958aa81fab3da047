#pragma once
// Between the two stand-in JETI libraries: libjeti_core.so keeps the instruments, and
// libjeti_radio_ex.so (linked against it, as the SDK's own is) hands its calls on through these
// entries. Not part of the SDK; nothing in the program calls them.

#include <cstdint>

extern "C" {
uint32_t vqsSimJetiCoreCount(uint32_t* count);
uint32_t vqsSimJetiCoreSerial(uint32_t index, int32_t* serial, int32_t* other);
uint32_t vqsSimJetiCoreOpen(uint32_t device, int32_t* handle);
uint32_t vqsSimJetiCoreMeasure(int32_t handle, float integrationMs, uint16_t averages,
                               uint8_t step);
uint32_t vqsSimJetiCoreStatus(int32_t handle, int32_t* busy);
uint32_t vqsSimJetiCoreXyz(int32_t handle, int32_t first, int32_t last, float* X, float* Y,
                           float* Z);
uint32_t vqsSimJetiCoreSpectrum(int32_t handle, int32_t first, int32_t last, float* values);
}
