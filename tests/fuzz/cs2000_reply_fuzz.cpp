// Whatever an instrument on a serial port sends (noise on the cable, a device that is no
// CS-2000, a reply cut by a buffer wrap), reading it must neither crash nor read outside what
// arrived: the lines go through the reply ledger as the driver feeds it, and each is tokenised
// and read as an identification and as a spectral block in the driver's receive buffer.

#include "platform/serial_link.h"
#include "probes/cs2000_replies.h"
#include "probes/cs2000_reply_ledger.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kIdentificationLength = 24;
constexpr int kBlockValues = 101;

// The commands of one measurement, as the driver sends them, waiting for the last one.
void sendMeasurementCommands(vqs::Cs2000ReplyLedger& ledger) {
    for (const char* command : {"RMTS,1", "IDDR", "RMTS,0", "RMTS,1", "MEAS,1", "MEDR,1,0,01"})
        ledger.commandSent(command, 0, false);
    ledger.commandSent("MEDR,1,0,02", 0, true);
}

void readAsReply(const uint8_t* line, int size, std::array<uint8_t, vqs::kRxBufferSize>& buffer) {
    const int n = std::min(size, vqs::kRxBufferSize);
    std::memcpy(buffer.data(), line, static_cast<size_t>(n));
    std::fill(buffer.begin() + n, buffer.end(), uint8_t{0});
    vqs::tokeniseReply(buffer, n);
    (void)vqs::replyTokens(buffer, n, 4);
    if (n > kIdentificationLength) (void)vqs::parseIdentification(buffer);
    if (vqs::parseSpectralBlock(buffer, n, kBlockValues).size() > kBlockValues) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::array<uint8_t, vqs::kRxBufferSize> buffer;
    vqs::Cs2000ReplyLedger ledger;
    sendMeasurementCommands(ledger);
    size_t start = 0;
    for (size_t at = 0; at < size; ++at) {
        if (data[at] != '\n') continue;
        const auto* line = reinterpret_cast<const char*>(data + start);
        const auto length = static_cast<qsizetype>(at + 1 - start);
        (void)ledger.assign(QByteArrayView(line, length), static_cast<int64_t>(start));
        (void)vqs::isOkReply(QByteArrayView(line, length));
        readAsReply(data + start, static_cast<int>(length), buffer);
        start = at + 1;
    }
    if (start < size) readAsReply(data + start, static_cast<int>(size - start), buffer);
    return 0;
}
