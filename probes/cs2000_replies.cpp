#include "probes/cs2000_replies.h"

#include "platform/c_number.h"

#include <algorithm>

namespace vqs {

namespace {

const QByteArray kOk = QByteArrayLiteral("OK00");

bool isBlank(uint8_t byte) { return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n'; }

QByteArray firstBytes(std::span<const uint8_t> buffer, int n) {
    n = std::clamp(n, 0, static_cast<int>(buffer.size()));
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), n);
}

}  // namespace

void tokeniseReply(std::span<uint8_t> buffer, int n) {
    n = std::clamp(n, 0, static_cast<int>(buffer.size()));
    for (int i = 0; i < n && buffer[i] != 0; ++i) {
        uint8_t& b = buffer[i];
        if (b == ',' || b == '_' || b < 0x20) b = ' ';
    }
}

QList<QByteArray> replyTokens(std::span<const uint8_t> buffer, int n, int maxTokens) {
    QList<QByteArray> tokens;
    const QByteArray bytes = firstBytes(buffer, n);
    int i = 0;
    while (tokens.size() < maxTokens) {
        while (i < bytes.size() && isBlank(bytes[i])) ++i;
        if (i >= bytes.size() || bytes[i] == '\0') break;
        const int start = i;
        while (i < bytes.size() && !isBlank(bytes[i]) && bytes[i] != '\0') ++i;
        tokens << bytes.mid(start, i - start);
    }
    return tokens;
}

Identification parseIdentification(std::span<const uint8_t> buffer) {
    const QList<QByteArray> tokens = replyTokens(buffer, 24, 4);
    Identification id;
    id.ok = !tokens.isEmpty() && tokens[0].contains(kOk);
    if (tokens.size() > 1) id.model = tokens[1];
    if (tokens.size() > 2) id.serial = tokens.back();
    return id;
}

QList<float> parseSpectralBlock(std::span<const uint8_t> buffer, int n, int expected) {
    const QByteArray bytes = firstBytes(buffer, n);
    QList<float> values;
    qsizetype position = bytes.indexOf(kOk);
    if (position < 0) return values;
    const std::string_view text(bytes.constData(), bytes.size());
    while (values.size() < expected) {
        position = bytes.indexOf(' ', position);
        if (position < 0) break;
        ++position;
        if (position >= bytes.size()) break;
        // Runs of blanks (a CR LF pair) hold no number; the next blank follows.
        if (bytes[position] == ' ') continue;
        const auto number = readCNumber(text.substr(position));
        if (!number) break;
        values << static_cast<float>(number->value);
    }
    return values;
}

}  // namespace vqs
