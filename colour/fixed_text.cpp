#include "colour/fixed_text.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vqs {

namespace {

// Only the decimal separator comes from the user's locale; the digits are written without the
// C library, whose number locale Qt sets from the environment.
QString withLocaleSeparator(QString text) {
    const QString separator = QLocale().decimalPoint();
    if (separator != QLatin1String(".")) text.replace(QLatin1Char('.'), separator);
    return text;
}

QString nonFinite(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

// printf's "%.*e" / "%.*f" in the "C" locale.
std::string cFormat(double value, std::chars_format format, int digits) {
    std::array<char, 512> text{};
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, format, digits);
    return error == std::errc{} ? std::string(text.data(), end) : std::string();
}

// "-0.000" is what rounding a tiny negative value gives; it is shown as zero.
bool isNegativeZero(const std::string& text) {
    return text.size() > 1 && text[0] == '-' &&
           text.find_first_not_of("0.", 1) == std::string::npos;
}

}  // namespace

QString fixedText(double value, int precision, int decimals) {
    if (!std::isfinite(value)) return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);

    // Rounding to `precision` significant digits tells the decimal exponent of the result.
    std::string text = cFormat(value, std::chars_format::scientific, precision - 1);
    const std::size_t mark = text.find('e');
    const int exponent = std::atoi(text.c_str() + mark + 1);
    if (value != 0.0 && exponent + 1 > precision) {
        text[mark] = 'E';
        return withLocaleSeparator(QString::fromStdString(text));
    }

    const int significantDecimals = value == 0.0 ? decimals : precision - 1 - exponent;
    const int shownDecimals = std::min(decimals, significantDecimals);
    text = cFormat(value, std::chars_format::fixed, shownDecimals);
    if (isNegativeZero(text)) text.erase(0, 1);
    if (decimals > shownDecimals) {
        if (shownDecimals == 0) text += '.';
        text.append(static_cast<std::size_t>(decimals - shownDecimals), '0');
    }
    return withLocaleSeparator(QString::fromStdString(text));
}

}  // namespace vqs
