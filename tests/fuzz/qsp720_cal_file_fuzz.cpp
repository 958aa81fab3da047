// A QSP720 calibration file is whatever file the operator picks: whatever its bytes, reading it
// must stay inside its buffers and leave finite values and possible times in the probe's entry.

#include "probes/qsp720_cal_file.h"
#include "probes/qsp720_device_memory.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto probe = std::make_unique<vqs::Tsmlist>();
    probe->type = vqs::kProbeQsp720;
    vqs::setPixelWavelengths(*probe, {0.67464, -0.00001, 340.25});
    probe->calCurve.fill(1.0f);
    vqs::applyCalFileText(std::string_view(reinterpret_cast<const char*>(data), size), *probe);
    for (const float c : probe->calCurve)
        if (!std::isfinite(c)) __builtin_trap();
    if (!std::isfinite(probe->radCalCor)) __builtin_trap();
    for (const int32_t time : probe->integrationTime)
        if (time < 1 || time > vqs::kQsp720LongestTimeMs) __builtin_trap();
    return 0;
}
