#pragma once
// The checked writes the file writers share: every byte handed to the file or an error number,
// and that number in words the operator can act on.

#include <QByteArray>
#include <QString>

namespace vqs {

// write() may take less than it was given; the next call then names the reason (a full disk, a
// file-size limit), so it loops until everything is taken or an error comes. 0 or the errno.
int writeAll(int fd, const QByteArray& bytes);

QString errorText(int error);

}  // namespace vqs
