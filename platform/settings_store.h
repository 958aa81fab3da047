#pragma once
// The per-user settings store: keys that each hold named values of three types, text, 32-bit
// integer and raw bytes. Callers speak in key paths below the user's root, separated by
// backslashes ("NORVALE\VQS1.0\COMNO"), so a registry backend fits behind the same interface.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vqs {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool keyExists(const QString& key) const = 0;

    // A value of the key; none when the key or the value is missing or the value has another
    // type than asked for.
    virtual std::optional<QString> readText(const QString& key, const QString& name) const = 0;
    virtual std::optional<int32_t> readInt(const QString& key, const QString& name) const = 0;
    virtual std::optional<QByteArray> readBytes(const QString& key, const QString& name) const = 0;

    // Opens the key for writing, creating it when missing; false when the user may not write.
    virtual bool openKeyForWriting(const QString& key) = 0;

    // Each write opens or creates the key, sets the value and closes the key again; false when
    // the value could not be written.
    virtual bool writeText(const QString& key, const QString& name, const QString& text) = 0;
    virtual bool writeInt(const QString& key, const QString& name, int32_t value) = 0;
    virtual bool writeBytes(const QString& key, const QString& name, const QByteArray& bytes) = 0;
};

}  // namespace vqs
