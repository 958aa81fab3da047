#pragma once
// The JETI specbos SDK as this program calls it: two libraries, "jeti_core" and
// "jeti_radio_ex", with C linkage, looked up by name. Every call returns 0 on success or an
// error code. The stand-ins of the virtual lab implement the same table.

#include <cstdint>

namespace vqs {

inline constexpr char kJetiCoreLibraryName[] = "jeti_core";
inline constexpr char kJetiRadioLibraryName[] = "jeti_radio_ex";
inline constexpr int kJetiFirstWavelength = 380;
inline constexpr int kJetiLastWavelength = 780;
inline constexpr int kJetiSpectrumValues = kJetiLastWavelength - kJetiFirstWavelength + 1;

extern "C" {
// jeti_radio_ex: the number of attached instruments.
using JetiGetNumRadioEx = uint32_t (*)(uint32_t* count);
// jeti_radio_ex: the serial number of instrument `index` (the first value).
using JetiGetSerialRadioEx = uint32_t (*)(uint32_t index, int32_t* serial, int32_t* other);
// jeti_radio_ex: opens device `device`; its handle.
using JetiOpenRadioEx = uint32_t (*)(uint32_t device, int32_t* handle);
// jeti_core: the cycle mode and cycle time of the measurements that follow.
using JetiSetCycModeConf = uint32_t (*)(int32_t handle, uint32_t mode);
using JetiSetCycTimeConf = uint32_t (*)(int32_t handle, uint32_t time);
// jeti_radio_ex: starts one measurement (integration time 0: the instrument chooses).
using JetiMeasureEx = uint32_t (*)(int32_t handle, float integrationMs, uint16_t averages,
                                   uint8_t step);
// jeti_radio_ex: busy stays nonzero until the measurement has finished.
using JetiMeasureStatusEx = uint32_t (*)(int32_t handle, int32_t* busy);
// jeti_radio_ex: X, Y, Z (Y in cd/m²) of the last measurement between two wavelengths.
using JetiChromXYZEx = uint32_t (*)(int32_t handle, int32_t first, int32_t last, float* X,
                                    float* Y, float* Z);
// jeti_radio_ex: spectral radiance in W/(sr·m²·nm) at first, first + 1 ... last nm.
using JetiSpecRadEx = uint32_t (*)(int32_t handle, int32_t first, int32_t last, float* values);
// jeti_core: ends the work with a device.
using JetiCloseDevice = uint32_t (*)(int32_t handle);
}

// The functions as resolved; any of them may be missing.
struct JetiFunctions {
    JetiGetNumRadioEx getNumRadio = nullptr;
    JetiGetSerialRadioEx getSerialRadio = nullptr;
    JetiOpenRadioEx openRadio = nullptr;
    JetiSetCycModeConf setCycModeConf = nullptr;
    JetiSetCycTimeConf setCycTimeConf = nullptr;
    JetiMeasureEx measure = nullptr;
    JetiMeasureStatusEx measureStatus = nullptr;
    JetiChromXYZEx chromXyz = nullptr;
    JetiSpecRadEx specRad = nullptr;
    JetiCloseDevice closeDevice = nullptr;

    bool complete() const {
        return getNumRadio && getSerialRadio && openRadio && setCycModeConf && setCycTimeConf &&
               measure && measureStatus && chromXyz && specRad && closeDevice;
    }
};

}  // namespace vqs
