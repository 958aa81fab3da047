#include "platform/ini_settings_store.h"

#include "platform/atomic_file.h"
#include "platform/regular_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariantMap>

#include <algorithm>

namespace vqs {

namespace {

// Larger than any store the program writes (its dark spectra take about 70 kB).
constexpr qsizetype kMaxFileBytes = 16 * 1024 * 1024;

// Every entry's text starts with the type of its value, in the words of a registry export, so
// that a value of another type is told apart from a missing one.
const QString kTextTag = QStringLiteral("sz:");
const QString kIntTag = QStringLiteral("dword:");
const QString kBytesTag = QStringLiteral("hex:");

// QSettings takes '/' for a group separator, but a probe's serial number may hold one; '%' is
// escaped too so that two different names never meet.
QString entryName(QString part) {
    part.replace(QLatin1Char('%'), QLatin1String("%25"));
    part.replace(QLatin1Char('/'), QLatin1String("%2F"));
    return part;
}

bool isHexText(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
    });
}

// The whole file; none when it cannot be read or is larger than any store (cutting it would
// lose its end).
std::optional<QByteArray> wholeFile(const QString& path) {
    auto bytes = readRegularFile(path, kMaxFileBytes + 1);
    if (bytes && bytes->size() > kMaxFileBytes) return std::nullopt;
    return bytes;
}

// The file as it is now: empty when there is none yet.
std::optional<QByteArray> currentText(const QString& path) {
    if (!QFileInfo::exists(path)) return QByteArray();
    return wholeFile(path);
}

bool writeScratch(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
           file.write(bytes) == bytes.size();
}

// Whether the file, read afresh, holds exactly these entries.
bool holdsExactly(const QString& path, const QVariantMap& entries) {
    const QSettings ini(path, QSettings::IniFormat);
    const QStringList keys = ini.allKeys();
    if (keys.size() != entries.size()) return false;
    return std::all_of(keys.begin(), keys.end(), [&](const QString& entry) {
        const auto it = entries.find(entry);
        return it != entries.end() && *it == ini.value(entry);
    });
}

QString taggedText(const std::variant<QString, int32_t, QByteArray>& value) {
    if (const auto* text = std::get_if<QString>(&value)) return kTextTag + *text;
    if (const auto* number = std::get_if<int32_t>(&value))
        return kIntTag +
               QStringLiteral("%1").arg(static_cast<uint32_t>(*number), 8, 16, QLatin1Char('0'));
    return kBytesTag + QString::fromLatin1(std::get<QByteArray>(value).toHex());
}

struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
};

FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    return {info.exists(), info.size(), info.lastModified()};
}

// QSettings keeps what it read of a file and reads it again only when the file's size or time
// changed. A rewrite of the same size within the time resolution of the file system (up to two
// seconds) would go unseen, so the new file's time is moved on then.
void keepApartFromCache(const QString& path, const FileStamp& before) {
    const FileStamp after = stampOf(path);
    if (!before.exists || after.size != before.size || after.modified != before.modified) return;
    QFile file(path);
    if (file.open(QIODevice::Append))
        file.setFileTime(before.modified.addSecs(2), QFileDevice::FileModificationTime);
}

}  // namespace

IniSettingsStore::IniSettingsStore(QString filePath, QString baseKey)
    : filePath_(std::move(filePath)), baseKey_(std::move(baseKey)) {}

// Every key below the base key has a section of its own; keys elsewhere do not exist and
// cannot be written.
std::optional<QString> IniSettingsStore::section(const QString& key) const {
    const QString prefix = baseKey_ + QLatin1Char('\\');
    if (!key.startsWith(prefix)) return std::nullopt;
    const QString name = key.mid(prefix.size());
    if (name.isEmpty()) return std::nullopt;
    return entryName(name);
}

bool IniSettingsStore::keyExists(const QString& key) const {
    const auto group = section(key);
    if (!group) return false;
    QSettings ini(filePath_, QSettings::IniFormat);
    ini.beginGroup(*group);
    return !ini.allKeys().isEmpty();
}

std::optional<QString> IniSettingsStore::readTagged(const QString& key, const QString& name,
                                                    const QString& tag) const {
    const auto group = section(key);
    if (!group) return std::nullopt;
    const QSettings ini(filePath_, QSettings::IniFormat);
    const QVariant value = ini.value(*group + QLatin1Char('/') + entryName(name));
    if (value.typeId() != QMetaType::QString) return std::nullopt;
    const QString text = value.toString();
    if (!text.startsWith(tag)) return std::nullopt;
    return text.mid(tag.size());
}

std::optional<QString> IniSettingsStore::readText(const QString& key, const QString& name) const {
    return readTagged(key, name, kTextTag);
}

std::optional<int32_t> IniSettingsStore::readInt(const QString& key, const QString& name) const {
    const auto digits = readTagged(key, name, kIntTag);
    if (!digits || digits->isEmpty() || digits->size() > 8 || !isHexText(*digits))
        return std::nullopt;
    return static_cast<int32_t>(digits->toUInt(nullptr, 16));
}

std::optional<QByteArray> IniSettingsStore::readBytes(const QString& key,
                                                      const QString& name) const {
    const auto digits = readTagged(key, name, kBytesTag);
    if (!digits || digits->size() % 2 != 0 || !isHexText(*digits)) return std::nullopt;
    return QByteArray::fromHex(digits->toLatin1());
}

// An INI file cannot hold a section without entries, so opening only proves that the file
// can be written (creating its folder when missing).
bool IniSettingsStore::openKeyForWriting(const QString& key) {
    if (!section(key)) return false;
    return QSettings(filePath_, QSettings::IniFormat).isWritable();
}

bool IniSettingsStore::writeValues(std::span<const StoreValue> values) {
    if (values.empty()) return true;
    QList<std::pair<QString, QString>> entries;
    for (const StoreValue& v : values) {
        const auto group = section(v.key);
        if (!group) return false;
        entries.append({*group + QLatin1Char('/') + entryName(v.name), taggedText(v.value)});
    }
    const FileStamp before = stampOf(filePath_);
    if (!QDir().mkpath(QFileInfo(filePath_).absolutePath())) return false;
    const auto text = renderedFile(entries);
    if (!text || !writeFileAtomically(filePath_, *text).ok) return false;
    keepApartFromCache(filePath_, before);
    return true;
}

// QSettings writes the INI format, but its own save reports success when the disk took only
// part of the file (a failed flush goes unnoticed) and leaves that part in place of the old
// file. So it writes into a scratch folder beside the file, what it wrote is read back under a
// name it has not seen (it would answer from its cache) and compared with what it meant to
// write, and only a text that passed replaces the file.
std::optional<QByteArray> IniSettingsStore::renderedFile(
    const QList<std::pair<QString, QString>>& entries) const {
    const QFileInfo file(filePath_);
    const QTemporaryDir scratch(file.absolutePath() + QStringLiteral("/.") + file.fileName() +
                                QStringLiteral("-XXXXXX"));
    const auto current = currentText(filePath_);
    if (!scratch.isValid() || !current) return std::nullopt;
    const QString drafted = scratch.filePath(QStringLiteral("drafted.ini"));
    const QString checked = scratch.filePath(QStringLiteral("checked.ini"));
    if (!current->isEmpty() && !writeScratch(drafted, *current)) return std::nullopt;
    QVariantMap meant;
    {
        QSettings ini(drafted, QSettings::IniFormat);
        for (const auto& [entry, text] : entries) ini.setValue(entry, text);
        ini.sync();
        // A damaged old file reports a format error; only an access error is a failed write.
        if (ini.status() == QSettings::AccessError) return std::nullopt;
        for (const QString& entry : ini.allKeys()) meant.insert(entry, ini.value(entry));
    }
    if (!QFile::rename(drafted, checked) || !holdsExactly(checked, meant)) return std::nullopt;
    return wholeFile(checked);
}

QString defaultSettingsFilePath(const QString& baseKey) {
    // GenericConfigLocation is $XDG_CONFIG_HOME, or ~/.config when that is unset.
    QString relative = baseKey;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + relative + QStringLiteral(".ini");
}

}  // namespace vqs
