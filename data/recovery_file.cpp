#include "data/recovery_file.h"

#include "data/report_file.h"
#include "platform/regular_file.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace vqs {

namespace {

constexpr char kRecoveryFileName[] = "working-report.recovery";
constexpr char kOwnerKey[] = "VQS_RECOVERY_OWNER";
// The report's texts again, percent-encoded UTF-8: the report lines narrow them to 8 bits, and
// a monitor name with an umlaut would come back cut short.
constexpr struct {
    const char* key;
    QString Tcaldaten::*field;
} kTextKeys[] = {{"VQS_RECOVERY_DEVSNID", &Tcaldaten::devsnid},
                 {"VQS_RECOVERY_DEVNAME", &Tcaldaten::devname},
                 {"VQS_RECOVERY_REPDATE", &Tcaldaten::repdate},
                 {"VQS_RECOVERY_REPGAMMA", &Tcaldaten::repgamma}};

QByteArray firstLineOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readLine(200).trimmed();
}

// Field 22 of /proc/<pid>/stat; the name in field 2 may hold spaces and parentheses, so the
// fields are counted after its last ')'.
qint64 startTimeOf(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray stat = file.read(4096);
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0) return 0;
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    constexpr int kStartTimeAfterName = 22 - 3;  // fields 3.. follow the name
    return fields.size() > kStartTimeAfterName ? fields[kStartTimeAfterName].toLongLong() : 0;
}

QByteArray bootId() {
    return firstLineOf(QStringLiteral("/proc/sys/kernel/random/boot_id"));
}

QString valueOf(const QByteArray& text, const char* key) {
    const auto start = findReportKey(text, text.size(), QByteArray(key));
    return start ? reportTextValue(text, *start) : QString();
}

std::optional<RecoveryOwner> parseOwner(const QString& value) {
    const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3) return std::nullopt;
    bool pidOk = false, startOk = false;
    RecoveryOwner owner{parts[0].toLatin1(), parts[1].toLongLong(&pidOk),
                        parts[2].toLongLong(&startOk)};
    if (!pidOk || !startOk || owner.pid <= 0) return std::nullopt;
    return owner;
}

}  // namespace

QString defaultDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/lumiquest");
}

RecoveryOwner thisProcess() {
    const qint64 pid = ::getpid();
    return {bootId(), pid, startTimeOf(pid)};
}

bool stillRuns(const RecoveryOwner& owner) {
    const QByteArray boot = bootId();
    if (!boot.isEmpty() && boot != owner.bootId) return false;  // written before a reboot
    if (::kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH) return false;
    // The id may belong to another program by now: the start time tells.
    const qint64 started = startTimeOf(owner.pid);
    return started == 0 || started == owner.startTime;
}

int capturedPatchCount(const Tcaldaten& report) {
    int count = 0;
    for (int slot = kFirstPrimarySlot; slot <= kLastSlot; ++slot) {
        const XyzTriple& t = report.xyz[slot];
        if (slot != kStopSlot && (t.X != 0 || t.Y != 0 || t.Z != 0)) ++count;
    }
    return count;
}

QByteArray recoveryText(const Tcaldaten& report, const PatchCatalogue& targets,
                        const RecoveryOwner& owner) {
    QByteArray text = reportText(report, targets);
    for (const auto& [key, field] : kTextKeys)
        text += QByteArray(key) + " = " + QUrl::toPercentEncoding(report.*field) + "\r\n";
    text += QByteArray(kOwnerKey) + " = " + owner.bootId + ' ' + QByteArray::number(owner.pid) +
            ' ' + QByteArray::number(owner.startTime) + "\r\n";
    return text;
}

std::optional<RecoveredReport> parseRecoveryText(const QByteArray& text,
                                                 const PatchCatalogue& targets) {
    if (!startsAsReportFile(text)) return std::nullopt;
    const auto owner = parseOwner(valueOf(text, kOwnerKey));
    if (!owner) return std::nullopt;
    RecoveredReport recovered;
    recovered.owner = *owner;
    parseReport(text, text.size(), recovered.report, targets);
    for (const auto& [key, field] : kTextKeys)
        if (findReportKey(text, text.size(), QByteArray(key)))
            recovered.report.*field =
                QUrl::fromPercentEncoding(valueOf(text, key).toLatin1());
    recovered.report.unsaved = 1;
    recovered.capturedPatches = capturedPatchCount(recovered.report);
    return recovered;
}

RecoveryFile::RecoveryFile(QString folder) : folder_(std::move(folder)) {}

QString RecoveryFile::path() const {
    return folder_ + QLatin1Char('/') + QLatin1String(kRecoveryFileName);
}

FileWriteResult RecoveryFile::write(const Tcaldaten& report, const PatchCatalogue& targets) const {
    if (!QDir().mkpath(folder_))
        return {false, path(), QStringLiteral("the folder %1 cannot be created").arg(folder_)};
    return writeFileAtomically(path(), recoveryText(report, targets, thisProcess()));
}

std::optional<RecoveredReport> RecoveryFile::leftBehind(const PatchCatalogue& targets) const {
    const auto text = readRegularFile(path(), kReportTextCapacity - 1);
    if (!text) return std::nullopt;
    auto recovered = parseRecoveryText(*text, targets);
    if (!recovered || stillRuns(recovered->owner)) return std::nullopt;
    return recovered;
}

bool RecoveryFile::remove() const {
    QFile file(path());
    return !file.exists() || file.remove();
}

}  // namespace vqs
