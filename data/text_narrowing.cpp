#include "data/text_narrowing.h"

namespace vqs {

QByteArray narrowText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        if (c.unicode() >= 0x20) bytes.append(static_cast<char>(c.unicode() & 0xFF));
    return bytes;
}

}  // namespace vqs
