#include "platform/regular_file.h"

#include <QFile>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vqs {

namespace {

bool isRegular(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Reads until `maxBytes` or the end of the file; false on a read error.
bool readUpTo(int fd, qsizetype maxBytes, QByteArray& bytes) {
    constexpr qsizetype kChunk = 64 * 1024;
    while (bytes.size() < maxBytes) {
        const qsizetype filled = bytes.size();
        bytes.resize(filled + std::min(kChunk, maxBytes - filled));
        const ssize_t got =
            ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        const int error = errno;
        bytes.truncate(filled + std::max<ssize_t>(got, 0));
        if (got < 0 && error == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
    }
    return true;
}

}  // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype maxBytes) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    // The entry may be swapped between the look and the open: the open must not wait either,
    // and what was opened is looked at once more.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    QByteArray bytes;
    const bool read = isRegular(fd) && readUpTo(fd, std::max<qsizetype>(maxBytes, 0), bytes);
    ::close(fd);
    if (!read) return std::nullopt;
    return bytes;
}

// One byte more than allowed is read: a file that gives it is too large, whatever its size
// said when it was looked at.
WholeFile readWholeRegularFile(const QString& path, qsizetype maxBytes) {
    const qsizetype limit = std::max<qsizetype>(maxBytes, 0);
    std::optional<QByteArray> bytes = readRegularFile(path, limit + 1);
    if (bytes && bytes->size() > limit) return {std::nullopt, true};
    return {std::move(bytes), false};
}

}  // namespace vqs
