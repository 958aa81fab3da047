#pragma once
// The settings store as an INI file (QSettings). The file stands for one base key of the
// store; each key below it is a section, each value an entry whose text carries its type.
// The mapping is described in the README under "Settings store".

#include "platform/settings_store.h"

#include <QList>
#include <QString>

#include <utility>

namespace vqs {

class IniSettingsStore final : public SettingsStore {
public:
    // filePath: the INI file; baseKey: the key path the file stands for ("NORVALE\VQS1.0").
    IniSettingsStore(QString filePath, QString baseKey);

    const QString& filePath() const { return filePath_; }

    bool keyExists(const QString& key) const override;
    std::optional<QString> readText(const QString& key, const QString& name) const override;
    std::optional<int32_t> readInt(const QString& key, const QString& name) const override;
    std::optional<QByteArray> readBytes(const QString& key, const QString& name) const override;
    bool openKeyForWriting(const QString& key) override;
    // Replaces the file once per group, atomically and checked: a full disk or a file-size
    // limit leaves the old file as it was and gives false.
    bool writeValues(std::span<const StoreValue> values) override;

private:
    std::optional<QString> section(const QString& key) const;
    std::optional<QString> readTagged(const QString& key, const QString& name,
                                      const QString& tag) const;
    std::optional<QByteArray> renderedFile(const QList<std::pair<QString, QString>>& entries) const;

    QString filePath_;
    QString baseKey_;
};

// $XDG_CONFIG_HOME (default ~/.config) + "/NORVALE/VQS1.0.ini" for the base key
// "NORVALE\VQS1.0": the base key's path with its last part as the file name.
QString defaultSettingsFilePath(const QString& baseKey);

}  // namespace vqs
