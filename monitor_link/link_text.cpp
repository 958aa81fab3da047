#include "monitor_link/link_text.h"

namespace vqs {

QByteArray asciiOnly(QByteArray text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) > 0x7F) c = '?';
    return text;
}

}  // namespace vqs
