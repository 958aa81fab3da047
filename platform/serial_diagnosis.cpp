#include "platform/serial_diagnosis.h"

#include <QFileInfo>
#include <QMutex>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vqs {

namespace {

struct Channel {
    QMutex mutex;
    std::vector<SerialProblem> noted;  // every problem ever noted, so each is noted once
    std::size_t told = 0;              // how many of them were taken
};

Channel& channel() {
    static Channel instance;
    return instance;
}

QString nameOfUser(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid)) return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(uid);
}

QString nameOfGroup(gid_t gid) {
    if (const group* gr = ::getgrgid(gid)) return QString::fromLocal8Bit(gr->gr_name);
    return QString::number(gid);
}

// "crw-rw---- root dialout", the way ls -l shows who may use the device.
QString accessOf(const QString& device) {
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0) return {};
    QString mode = S_ISCHR(info.st_mode) ? QStringLiteral("c") : QStringLiteral("-");
    const char letters[] = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        mode += (info.st_mode & (0400 >> bit)) ? QLatin1Char(letters[bit]) : QLatin1Char('-');
    return mode + QLatin1Char(' ') + nameOfUser(info.st_uid) + QLatin1Char(' ') +
           nameOfGroup(info.st_gid);
}

}  // namespace

std::optional<SerialProblem> diagnoseComEntry(int comNumber, const QString& entryPath) {
    const QFileInfo entry(entryPath);
    if (entry.isSymLink() && !entry.exists())
        return SerialProblem{SerialProblemKind::DanglingLink, comNumber, entryPath,
                             entry.symLinkTarget(), {}};
    if (!entry.exists()) return std::nullopt;
    const QString device = entry.canonicalFilePath();
    if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return std::nullopt;
    return SerialProblem{SerialProblemKind::PermissionDenied, comNumber, entryPath, device,
                         accessOf(device)};
}

void noteSerialProblem(const SerialProblem& problem) {
    Channel& c = channel();
    const QMutexLocker lock(&c.mutex);
    const auto same = [&problem](const SerialProblem& p) {
        return p.kind == problem.kind && p.entryPath == problem.entryPath;
    };
    if (std::any_of(c.noted.begin(), c.noted.end(), same)) return;
    c.noted.push_back(problem);
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(serialProblemText(problem)));
}

std::vector<SerialProblem> takeUntoldSerialProblems() {
    Channel& c = channel();
    const QMutexLocker lock(&c.mutex);
    std::vector<SerialProblem> untold(c.noted.begin() + static_cast<std::ptrdiff_t>(c.told),
                                      c.noted.end());
    c.told = c.noted.size();
    return untold;
}

QString serialProblemText(const SerialProblem& problem) {
    switch (problem.kind) {
        case SerialProblemKind::PermissionDenied:
            return QStringLiteral(
                       "COM%1 cannot be opened: you have no permission to use %2 (%3). On "
                       "Debian, serial devices belong to the group dialout: add yourself with "
                       "\"sudo adduser %4 dialout\", then log out and in again.")
                .arg(problem.comNumber)
                .arg(problem.devicePath, problem.access, nameOfUser(::getuid()));
        case SerialProblemKind::DanglingLink:
            return QStringLiteral(
                       "COM%1 cannot be opened: %2 is a link to %3, which does not exist. Plug "
                       "the adapter in again, or point the link at the device's present name "
                       "(see /dev/serial/by-id).")
                .arg(problem.comNumber)
                .arg(problem.entryPath, problem.devicePath);
    }
    return {};
}

}  // namespace vqs
