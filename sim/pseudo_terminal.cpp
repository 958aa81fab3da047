#include "sim/pseudo_terminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vqs::sim {

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() { close(); }

bool PseudoTerminal::open(const QString& linkPath) {
    close();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        close();
        return false;
    }
    const QString slavePath = QString::fromLocal8Bit(::ptsname(master_));
    slave_ = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
    termios raw{};
    if (slave_ >= 0 && ::tcgetattr(slave_, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    QDir().mkpath(QFileInfo(linkPath).path());
    QFile::remove(linkPath);
    if (!QFile::link(slavePath, linkPath)) {
        error_ = QStringLiteral("cannot link %1 to %2").arg(linkPath, slavePath);
        close();
        return false;
    }
    linkPath_ = linkPath;
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PseudoTerminal::readMaster);
    return true;
}

void PseudoTerminal::close() {
    delete notifier_;
    notifier_ = nullptr;
    if (!linkPath_.isEmpty()) QFile::remove(linkPath_);
    linkPath_.clear();
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

bool PseudoTerminal::write(const QByteArray& bytes) {
    if (master_ < 0) return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

void PseudoTerminal::readMaster() {
    char chunk[4096];
    const ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n > 0) emit received(QByteArray(chunk, static_cast<int>(n)));
}

}  // namespace vqs::sim
