#pragma once
// The record of one serial conversation: the port, the protocol state and the bytes received.
// The CS-2000 driver and the serial monitor link each keep one.

#include "platform/serial_port.h"

#include <array>
#include <cstdint>
#include <memory>

namespace vqs {

inline constexpr int kRxBufferSize = 32768;
// Past this count the buffer wraps to index 0, as the instruments' protocol code always did.
inline constexpr int kRxWrapCount = 32766;

struct SerialLink {
    std::unique_ptr<SerialPort> handle;  // null = no port open
    int32_t portNumber = 0;
    int32_t state = 0;  // protocol state; 0 = no port open
    int32_t countdown = 0;
    std::array<uint8_t, kRxBufferSize> rxBuffer{};
    int32_t rxCount = 0;

    void clearReceived() { rxCount = 0; }

    // Stores one received byte at rxCount and advances, wrapping when full.
    void storeByte(uint8_t byte) {
        rxBuffer[rxCount] = byte;
        rxCount = rxCount < kRxWrapCount ? rxCount + 1 : 0;
    }
};

}  // namespace vqs
