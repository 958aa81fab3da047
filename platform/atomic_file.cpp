#include "platform/atomic_file.h"

#include "platform/checked_write.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vqs {

namespace {

// The file a write to `path` really changes: the target of a link, else the path itself.
QString writtenPath(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) return info.absoluteFilePath();
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

std::optional<mode_t> permissionsOf(const QByteArray& path) {
    struct stat status {};
    if (::stat(path.constData(), &status) != 0) return std::nullopt;
    return status.st_mode & 07777;
}

// A fresh file beside the target, created exclusively so that no other file is ever touched;
// the name starts with a dot and so never matches a listing of the folder's reports.
int createSibling(const QFileInfo& target, QByteArray& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString suffix = QString::number(QRandomGenerator::global()->generate(), 36);
        name = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                 QLatin1Char('.') + suffix);
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes the new file through to the disk and closes it; 0 or the error that stopped it. A
// write-back error shows only in fsync or close, so both count.
int fillSibling(int fd, const QByteArray& bytes, std::optional<mode_t> keptPermissions) {
    int error = writeAll(fd, bytes);
    if (!error && keptPermissions && ::fchmod(fd, *keptPermissions) != 0) error = errno;
    if (!error && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && !error) error = errno;
    return error;
}

// Makes the rename itself survive a power loss. Once renamed the new file is in place, so a
// failure here is no failure of the write.
void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

FileWriteResult writeFileAtomically(const QString& path, const QByteArray& bytes) {
    FileWriteResult result;
    result.path = path;
    const QFileInfo target(writtenPath(path));
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    QByteArray sibling;
    const int fd = createSibling(target, sibling);
    if (fd < 0) {
        result.error = errorText(errno);
        return result;
    }
    int error = fillSibling(fd, bytes, permissionsOf(targetName));
    if (!error && ::rename(sibling.constData(), targetName.constData()) != 0) error = errno;
    if (error) {
        ::unlink(sibling.constData());
        result.error = errorText(error);
        return result;
    }
    syncFolder(target.absolutePath());
    result.ok = true;
    return result;
}

QString writeFailureText(const FileWriteResult& result) {
    return QStringLiteral("%1 could not be written: %2")
        .arg(QDir::toNativeSeparators(result.path), result.error);
}

}  // namespace vqs
