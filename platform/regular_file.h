#pragma once
// Reading files that other programs may have put in a folder the program lists. Only regular
// files are read (through a link, too): opening a named pipe waits for a writer that never
// comes, and opening a device may act on it (a serial line, a tape) or never end (/dev/zero).

#include <QByteArray>
#include <QString>

#include <optional>

namespace vqs {

// Up to `maxBytes` bytes from the start of the file; none when it is no regular file or cannot
// be read. Anything else is not even opened.
std::optional<QByteArray> readRegularFile(const QString& path, qsizetype maxBytes);

// A whole regular file, or why not: one larger than `maxBytes` is refused, never cut.
struct WholeFile {
    std::optional<QByteArray> bytes;  // the whole file; none when it is not read
    bool tooLarge = false;            // it holds more than maxBytes
};
WholeFile readWholeRegularFile(const QString& path, qsizetype maxBytes);

}  // namespace vqs
