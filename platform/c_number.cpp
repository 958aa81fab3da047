#include "platform/c_number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace vqs {

namespace {

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::optional<CNumber> readCNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhite(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // from_chars takes neither a second sign nor a leading plus.
    if (i >= text.size() || text[i] == '+' || text[i] == '-') return std::nullopt;
    double value = 0.0;
    const char* first = text.data() + i;
    const auto [end, error] = std::from_chars(first, text.data() + text.size(), value);
    if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
    return CNumber{negative ? -value : value, static_cast<std::size_t>(end - text.data())};
}

QByteArray formatCFixed(double value, int decimals, int width) {
    // The widest double in fixed notation has 309 integer digits.
    std::array<char, 512> text{};
    const int shown = std::clamp(decimals, 0, 100);
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed, shown);
    if (error != std::errc{}) return {};
    QByteArray number(text.data(), end - text.data());
    const qsizetype padding = std::clamp(width, 0, 100) - number.size();
    if (padding > 0) number.prepend(QByteArray(padding, ' '));
    return number;
}

}  // namespace vqs
