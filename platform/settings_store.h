#pragma once
// The per-user settings store: keys that each hold named values of three types, text, 32-bit
// integer and raw bytes. Callers speak in key paths below the user's root, separated by
// backslashes ("NORVALE\VQS1.0\COMNO"), so a registry backend fits behind the same interface.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace vqs {

// One value to write: its key, its name inside the key and the value with its type.
struct StoreValue {
    QString key;
    QString name;
    std::variant<QString, int32_t, QByteArray> value;
};

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

    // Writes a group of values, each key opened or created, the value set and the key closed
    // again. Where the store allows, the group reaches it whole or not at all (a file store is
    // rewritten once per group, not once per value). False when the group was not written.
    virtual bool writeValues(std::span<const StoreValue> values) = 0;

    // A group of one.
    bool writeText(const QString& key, const QString& name, const QString& text) {
        return writeOne({key, name, text});
    }
    bool writeInt(const QString& key, const QString& name, int32_t value) {
        return writeOne({key, name, value});
    }
    bool writeBytes(const QString& key, const QString& name, const QByteArray& bytes) {
        return writeOne({key, name, bytes});
    }

private:
    bool writeOne(const StoreValue& value) { return writeValues(std::span(&value, 1)); }
};

}  // namespace vqs
