#include "platform/c_number.h"

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

}  // namespace vqs
