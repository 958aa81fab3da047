#include "monitor_link/com_setting.h"

#include "data/text_narrowing.h"
#include "monitor_link/serial_monitor_link.h"

#include <cctype>

namespace vqs {

int comNumberOf(const QString& fieldText) {
    const QByteArray text = narrowText(fieldText);
    qsizetype i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
    // Saturates instead of overflowing: a long string of digits is as invalid as 300.
    int value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value > kLastComNumber ? value : value * 10 + (text[i] - '0');
    if (negative || value < 1 || value > kLastComNumber) return 0;
    return value;
}

QString takeOverComNumber(SerialLink& link, const QString& fieldText) {
    const int comNumber = comNumberOf(fieldText);
    if (comNumber == 0) {
        closeLink(link);
        return QStringLiteral("0");
    }
    openLink(link, comNumber);
    return QString::number(comNumber);
}

}  // namespace vqs
