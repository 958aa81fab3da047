#pragma once
// The QSP720 maker's driver library "qsp72XP" as this program calls it: eight exports with C
// linkage, looked up by name. The stand-in of the virtual lab implements the same table.

#include <cstdint>

namespace vqs {

inline constexpr char kQsp720LibraryName[] = "qsp72XP";
inline constexpr int kQsp720Pixels = 2048;
inline constexpr int kQsp720ScanValues = 2051;  // the library fills 2048 pixels and three more
inline constexpr int kQsp720MemoryBytes = 256;
inline constexpr int kQsp720MemoryBlock = 32;

extern "C" {
// Once before counting the devices.
using Qsp720Init = int (*)();
// Number of attached devices; 0 = none.
using Qsp720DeviceCount = int (*)();
// 32 bytes of a device's memory from block address 0, 32 .. 224; nonzero when they were read.
using Qsp720MemoryRead = int (*)(int16_t device, int address, uint8_t* block);
// Integration time in ms of the scans that follow.
using Qsp720Rate = int (*)(int milliseconds);
// Called (1, 0, 0) after opening and after every change of the integration time.
using Qsp720Update = int (*)(int a, int b, int c);
// Called (2) once after opening.
using Qsp720ExtraRate = int (*)(int mode);
// 0 when a finished scan's 2051 values are in the buffer; nonzero while none is finished. The
// call after a consumed scan requests the next one.
using Qsp720Scan = int (*)(int device, float* buffer);
// Ends the library's work.
using Qsp720Close = int (*)();
}

// The exports as resolved; any of them may be missing.
struct Qsp720Functions {
    Qsp720Init SWDinit = nullptr;
    Qsp720DeviceCount SWDdevcnt = nullptr;
    Qsp720MemoryRead SWDeeRead = nullptr;
    Qsp720Rate SWDrate = nullptr;
    Qsp720Update SWDupdate = nullptr;
    Qsp720ExtraRate SWDxtrate = nullptr;
    Qsp720Scan SWDscanLV = nullptr;
    Qsp720Close SWDclose = nullptr;

    bool complete() const {
        return SWDinit && SWDdevcnt && SWDeeRead && SWDrate && SWDupdate && SWDxtrate &&
               SWDscanLV && SWDclose;
    }
};

}  // namespace vqs
