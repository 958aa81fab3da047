#include "platform/checked_write.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace vqs {

int writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return errno;
        if (written == 0) return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace vqs
