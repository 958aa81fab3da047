#pragma once
// Adding lines to a file that grows through the day (log and spectrum files): the new bytes go
// to the end, every write and the flush to the disk are checked, and a write that fails takes
// back what it added, so the lines already there are never lost and no half line is left.

#include "platform/atomic_file.h"

#include <QByteArray>
#include <QString>

namespace vqs {

// Appends `bytes` to the file at `path`, creating it when missing. When the file is empty the
// `header` goes first. The result names the file and, on failure, the reason.
FileWriteResult appendToFile(const QString& path, const QByteArray& header,
                             const QByteArray& bytes);

}  // namespace vqs
