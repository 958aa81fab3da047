#include "probes/cs200_replies.h"

#include "platform/c_number.h"

#include <array>
#include <cmath>
#include <limits>
#include <string_view>

namespace vqs {

namespace {

constexpr QByteArrayView kOk = "OK00";
constexpr int kSerialToken = 4;
constexpr int kFirstValueField = 10;

bool isSeparator(char c) {
    return c == ',' || c == ' ' || (c >= '\t' && c <= '\r');
}

// A whole token as a finite number; "12abc" or "nan" is none.
std::optional<float> tokenNumber(const QByteArray& token) {
    const std::string_view text(token.constData(), static_cast<std::size_t>(token.size()));
    const std::optional<CNumber> number = readCNumber(text);
    if (!number || number->consumed != text.size()) return std::nullopt;
    if (!(std::fabs(number->value) <= std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(number->value);
}

}  // namespace

QByteArrayView cs200ReplyText(QByteArrayView bytes) {
    const qsizetype end = bytes.indexOf('\0');
    return end < 0 ? bytes : bytes.first(end);
}

QList<QByteArray> cs200Tokens(QByteArrayView bytes, int maxTokens) {
    const QByteArrayView text = cs200ReplyText(bytes);
    QList<QByteArray> tokens;
    qsizetype at = 0;
    while (tokens.size() < maxTokens) {
        while (at < text.size() && isSeparator(text[at])) ++at;
        if (at == text.size()) break;
        const qsizetype start = at;
        while (at < text.size() && !isSeparator(text[at])) ++at;
        tokens.append(text.sliced(start, at - start).toByteArray());
    }
    return tokens;
}

bool isCs200Ok(QByteArrayView bytes) {
    const QList<QByteArray> first = cs200Tokens(bytes, 1);
    return !first.isEmpty() && first[0].startsWith(kOk);
}

std::optional<QByteArray> cs200SerialNumber(QByteArrayView bytes) {
    const QList<QByteArray> tokens = cs200Tokens(bytes, kSerialToken);
    if (tokens.size() < kSerialToken || !tokens[0].startsWith(kOk)) return std::nullopt;
    return tokens[kSerialToken - 1];
}

std::optional<Cs200Xyz> parseCs200Measurement(QByteArrayView bytes) {
    const QList<QByteArray> tokens = cs200Tokens(bytes, kCs200MeasurementFields);
    if (tokens.size() < kCs200MeasurementFields || !tokens[0].startsWith(kOk)) return std::nullopt;
    std::array<float, 3> xyz{};
    for (int i = 0; i < 3; ++i) {
        const std::optional<float> value = tokenNumber(tokens[kFirstValueField - 1 + i]);
        if (!value) return std::nullopt;
        xyz[i] = *value;
    }
    return Cs200Xyz{xyz[0], xyz[1], xyz[2]};
}

QByteArray cs200SpeedCommand(int userRange) {
    static constexpr std::array<const char*, 5> kCommands = {
        "SPS,6, 0\r\n", "SPS,5, 1\r\n", "SPS,5, 2\r\n", "SPS,5, 4\r\n", "SPS,5,10\r\n"};
    if (userRange < 0 || userRange >= static_cast<int>(kCommands.size())) return {};
    return QByteArray(kCommands[userRange]);
}

}  // namespace vqs
