#include "data/text_narrowing.h"

namespace vqs {

namespace {

void appendEscape(QByteArray& bytes, char32_t codePoint) {
    const bool basic = codePoint <= 0xFFFF;
    bytes += basic ? 'u' : 'U';
    bytes += QByteArray::number(static_cast<uint>(codePoint), 16)
                 .toUpper()
                 .rightJustified(basic ? 4 : 8, '0');
}

}  // namespace

QByteArray narrowText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit < 0x20) continue;
        if (unit <= 0xFF) {
            bytes += static_cast<char>(unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            appendEscape(bytes, QChar::surrogateToUcs4(unit, text[++i].unicode()));
        } else {
            appendEscape(bytes, unit);  // a lone surrogate stands for itself
        }
    }
    return bytes;
}

QString narrowFileName(const QString& name) {
    QByteArray narrowed = narrowText(name);
    narrowed.replace('"', QByteArray());
    narrowed.replace('/', '-');
    narrowed.replace('\\', '-');
    return QString::fromLatin1(narrowed);
}

}  // namespace vqs
