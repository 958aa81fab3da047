#pragma once
// Texts become 8-bit bytes wherever they leave the program as bytes (files, file names, link
// messages, numbers read with C formats): control characters are dropped, every other UTF-16
// code unit keeps its low 8 bits.

#include <QByteArray>
#include <QString>

namespace vqs {

QByteArray narrowText(const QString& text);

}  // namespace vqs
