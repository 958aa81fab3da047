#include "platform/append_file.h"

#include "platform/checked_write.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vqs {

namespace {

int sizeOf(int fd, off_t& size) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return errno;
    if (!S_ISREG(status.st_mode)) return EISDIR;  // a folder or device is no log file
    size = status.st_size;
    return 0;
}

// Writes the addition and flushes it to the disk; on failure cuts the file back to the size it
// had, so a full disk leaves the earlier lines and no fragment after them.
int appendAt(int fd, off_t size, const QByteArray& addition) {
    int error = writeAll(fd, addition);
    if (!error && ::fsync(fd) != 0) error = errno;
    if (error && ::ftruncate(fd, size) == 0) ::fsync(fd);
    return error;
}

}  // namespace

FileWriteResult appendToFile(const QString& path, const QByteArray& header,
                             const QByteArray& bytes) {
    FileWriteResult result;
    result.path = path;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd < 0) {
        result.error = errorText(errno);
        return result;
    }
    off_t size = 0;
    int error = sizeOf(fd, size);
    if (!error) error = appendAt(fd, size, size == 0 ? header + bytes : bytes);
    if (::close(fd) != 0 && !error) error = errno;
    result.ok = error == 0;
    if (error) result.error = errorText(error);
    return result;
}

}  // namespace vqs
