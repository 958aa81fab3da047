#pragma once
// Replacing a file's contents so that a failure never costs the old contents: the bytes go into
// a new file beside it, every write and the flush to the disk are checked, and only a complete
// file is renamed over the old one. Report, settings, log and spectrum writers share it.

#include <QByteArray>
#include <QString>

namespace vqs {

struct FileWriteResult {
    bool ok = false;
    QString path;
    QString error;  // why it failed, in words the operator can act on
};

// Either the file holds exactly `bytes` afterwards, or it is as it was (missing, if it was) and
// the result says why. A link is followed: the file it points to is replaced. An existing file
// keeps its permissions; a new one gets the usual ones of the user (0666 less the umask).
FileWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes);

// "<file> could not be written: <why>", for the operator.
QString writeFailureText(const FileWriteResult& result);

}  // namespace vqs
