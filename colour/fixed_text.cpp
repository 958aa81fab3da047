#include "colour/fixed_text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vqs {

namespace {

QString withLocaleSeparator(QString text) {
    const QString separator = QLocale().decimalPoint();
    if (separator != QLatin1String(".")) text.replace(QLatin1Char('.'), separator);
    return text;
}

QString nonFinite(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
}

// "-0.000" is what rounding a tiny negative value gives; it is shown as zero.
bool isNegativeZero(const char* text) {
    if (text[0] != '-') return false;
    for (const char* c = text + 1; *c; ++c)
        if (*c != '0' && *c != '.') return false;
    return true;
}

}  // namespace

QString fixedText(double value, int precision, int decimals) {
    if (!std::isfinite(value)) return nonFinite(value);
    precision = std::clamp(precision, 1, 18);
    decimals = std::clamp(decimals, 0, 18);

    char buffer[64];
    // Rounding to `precision` significant digits tells the decimal exponent of the result.
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    if (value != 0.0 && exponent + 1 > precision) {
        *std::strchr(buffer, 'e') = 'E';
        return withLocaleSeparator(QString::fromLatin1(buffer));
    }

    const int significantDecimals = value == 0.0 ? decimals : precision - 1 - exponent;
    const int shownDecimals = std::min(decimals, significantDecimals);
    std::snprintf(buffer, sizeof buffer, "%.*f", shownDecimals, value);
    QString text = QString::fromLatin1(isNegativeZero(buffer) ? buffer + 1 : buffer);
    if (decimals > shownDecimals) {
        if (shownDecimals == 0) text += QLatin1Char('.');
        text += QString(decimals - shownDecimals, QLatin1Char('0'));
    }
    return withLocaleSeparator(text);
}

}  // namespace vqs
