#pragma once
// Texts on the monitors' TCP connections and datagrams are ASCII. A message arrives here already
// narrowed to 8-bit text; every byte beyond 7-bit ASCII becomes '?', as an ASCII encoder
// replaces what it cannot write.

#include <QByteArray>

namespace vqs {

QByteArray asciiOnly(QByteArray text);

}  // namespace vqs
