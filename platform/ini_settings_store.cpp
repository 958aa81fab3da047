#include "platform/ini_settings_store.h"

#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace vqs {

namespace {

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

bool IniSettingsStore::writeTagged(const QString& key, const QString& name, const QString& tagged) {
    const auto group = section(key);
    if (!group) return false;
    QSettings ini(filePath_, QSettings::IniFormat);
    if (!ini.isWritable()) return false;
    ini.setValue(*group + QLatin1Char('/') + entryName(name), tagged);
    ini.sync();
    // A damaged file reports a format error when read; only an access error means the value
    // did not reach the disk.
    return ini.status() != QSettings::AccessError;
}

bool IniSettingsStore::writeText(const QString& key, const QString& name, const QString& text) {
    return writeTagged(key, name, kTextTag + text);
}

bool IniSettingsStore::writeInt(const QString& key, const QString& name, int32_t value) {
    const QString digits =
        QStringLiteral("%1").arg(static_cast<uint32_t>(value), 8, 16, QLatin1Char('0'));
    return writeTagged(key, name, kIntTag + digits);
}

bool IniSettingsStore::writeBytes(const QString& key, const QString& name,
                                  const QByteArray& bytes) {
    return writeTagged(key, name, kBytesTag + QString::fromLatin1(bytes.toHex()));
}

QString defaultSettingsFilePath(const QString& baseKey) {
    // GenericConfigLocation is $XDG_CONFIG_HOME, or ~/.config when that is unset.
    QString relative = baseKey;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + relative + QStringLiteral(".ini");
}

}  // namespace vqs
