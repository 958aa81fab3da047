#include "probes/cs200_replies.h"

#include "platform/c_number.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

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

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// "OK00", "ER10": two capitals and two digits.
bool beginsWithStatus(QByteArrayView line) {
    auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return line.size() >= 4 && capital(line[0]) && capital(line[1]) && digit(line[2]) &&
           digit(line[3]);
}

}  // namespace

std::optional<QByteArray> Cs200ReplyReader::add(QByteArrayView buffer) {
    qsizetype written = 0;
    while (written < buffer.size() && buffer[written] != '\0' && buffer[written] != kCs200Unwritten)
        ++written;
    const bool zeroEnded = written < buffer.size() && buffer[written] == '\0';
    lastReadEmpty_ = written == 0;
    pending_ += buffer.first(written);
    if (pending_.size() > kCs200LongestReply) pending_.clear();  // no reply is that long
    if (std::any_of(pending_.begin(), pending_.end(), isLineEnd)) endsLines_ = true;
    while (const std::optional<QByteArray> line = takeLine())
        if (beginsWithStatus(*line)) return line;
    // Without line ends the zero byte ends the reply: whatever came before it is one.
    if (zeroEnded && !endsLines_ && !pending_.isEmpty()) {
        const QByteArray reply = std::exchange(pending_, {});
        if (beginsWithStatus(reply)) return reply;
    }
    return std::nullopt;
}

// The next whole line of what came so far; the line ends before it are the rest of earlier ones.
std::optional<QByteArray> Cs200ReplyReader::takeLine() {
    while (!pending_.isEmpty() && isLineEnd(pending_.front())) pending_.remove(0, 1);
    const auto end = std::find_if(pending_.begin(), pending_.end(), isLineEnd);
    if (end == pending_.end()) return std::nullopt;
    const qsizetype length = end - pending_.begin();
    QByteArray line = pending_.first(length);
    pending_.remove(0, length + 1);
    return line;
}

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
