// Whatever the CS-200's library leaves in the reply buffer (a reply of another command, noise,
// a text without its zero byte), reading it must stay inside the bytes it came in and give
// either no result or finite values. The input is read as it is, and as the driver holds it:
// cut to the library's capacity in a zero-filled buffer, and as pieces of a reply handed over
// read by read (each piece as long as its first byte says), gathered into replies.

#include "probes/cs200_library.h"
#include "probes/cs200_replies.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void read(QByteArrayView reply) {
    (void)vqs::isCs200Ok(reply);
    (void)vqs::cs200SerialNumber(reply);
    if (vqs::cs200Tokens(reply, 12).size() > 12) __builtin_trap();
    if (const auto xyz = vqs::parseCs200Measurement(reply))
        if (!std::isfinite(xyz->X) || !std::isfinite(xyz->Y) || !std::isfinite(xyz->Z))
            __builtin_trap();
}

// Whatever the pieces, a reply gathered from them is no longer than a reply can be and begins
// with a status code.
void gather(const uint8_t* data, size_t size) {
    vqs::Cs200ReplyReader reader(size > 0 && data[0] % 2 == 1);
    std::array<char, vqs::kCs200ReplyBuffer> buffer{};
    for (size_t at = 0; at < size;) {
        const size_t length = std::min<size_t>({data[at], size - at - 1, vqs::kCs200ReplyCapacity});
        buffer.fill(vqs::kCs200Unwritten);
        std::memcpy(buffer.data(), data + at + 1, length);
        at += length + 1;
        const auto reply = reader.add(QByteArrayView(buffer.data(), vqs::kCs200ReplyCapacity));
        if (!reply) continue;
        if (reply->size() > vqs::kCs200LongestReply || reply->size() < 4) __builtin_trap();
        read(*reply);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    read(QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    std::array<char, vqs::kCs200ReplyBuffer> buffer{};
    const size_t n = std::min<size_t>(size, vqs::kCs200ReplyCapacity);
    std::memcpy(buffer.data(), data, n);
    read(vqs::cs200ReplyText(QByteArrayView(buffer.data(), vqs::kCs200ReplyCapacity)));
    gather(data, size);
    return 0;
}
