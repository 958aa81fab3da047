#pragma once
// Texts become 8-bit bytes wherever they leave the program as bytes (files, file names, link
// messages, numbers read with C formats). Control characters (below U+0020) are dropped; every
// character of Latin-1 (U+0020..U+00FF) is its own byte, as the files have always held them.
//
// A character beyond Latin-1 is written as the ASCII text of its code point: "u" and four hex
// digits ("一" is "u4E00"), or "U" and eight beyond U+FFFF ("😀" is "U0001F600"; a surrogate
// pair is one character). Keeping the low byte instead would turn "一" into NUL and an en dash
// into a control byte, cutting names and making different names one file. The escape is
// printable ASCII, so it reads back unchanged (a text value ends at the first byte of 0x80 or
// more) and saving a report read back gives the same name again; it has a fixed width, so
// different characters give different texts; and it holds no "/", "\" or NUL, so it is safe
// inside a file name.

#include <QByteArray>
#include <QString>

namespace vqs {

QByteArray narrowText(const QString& text);

// A file name made from texts: narrowed, with '"' dropped and '/' and '\' turned into '-', so
// that a date such as 10/12/2026 or a name with a slash stays one name in the folder.
QString narrowFileName(const QString& name);

}  // namespace vqs
