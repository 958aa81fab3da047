#pragma once
// Reading the CS-2000's replies: ASCII lines with comma-separated fields, "OK00" for success.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <span>

namespace vqs {

// Turns every ',' and '_' and every control byte of the first n bytes into a blank, stopping
// early at a zero byte, so a reply splits into blank-separated tokens.
void tokeniseReply(std::span<uint8_t> buffer, int n);

// Up to maxTokens blank-separated tokens of the first n bytes.
QList<QByteArray> replyTokens(std::span<const uint8_t> buffer, int n, int maxTokens);

struct Identification {
    bool ok = false;  // the first token carries "OK00"
    QByteArray model;
    QByteArray serial;
};

// The identification reply in the first 24 bytes (already tokenised). The serial number is the
// fourth token, or the third when there are only three.
Identification parseIdentification(std::span<const uint8_t> buffer);

// The values of a spectral block in the first n (tokenised) bytes: after "OK00", each blank
// starts the next number. Reading stops at the expected count, at the end of the bytes, or at
// a field that is not a number.
QList<float> parseSpectralBlock(std::span<const uint8_t> buffer, int n, int expected);

}  // namespace vqs
