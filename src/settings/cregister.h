#pragma once

// The registry on this platform: one hive file per root key in the user's configuration
// folder. A hive holds keys (paths of names separated by "\"), each with named texts; the
// empty name is the key's unnamed value. Every change rewrites its hive atomically, so a crash
// or a full disk leaves the previous hive in place.

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

inline constexpr std::uint32_t HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr std::uint32_t HKEY_CURRENT_USER = 0x80000001;
inline constexpr std::uint32_t HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr std::uint32_t HKEY_USERS = 0x80000003;

// $XDG_CONFIG_HOME/Mivo, else ~/.config/Mivo.
QString DefaultRegistryFolder();

class CRegister {
public:
    // folder: where the hive files live; it is made at the first save that needs it.
    explicit CRegister(QString folder = DefaultRegistryFolder());

    // sKey "*" names the unnamed value; an empty sKey deletes the key sSection itself, which
    // must exist and have no subkeys.
    bool REGDeleteSetting(std::uint32_t regHKEY, const QString& sSection, const QString& sKey);
    // The stored text, or sDefault when the key or the value is missing or the text is empty.
    QString REGGetSetting(std::uint32_t regHKEY, const QString& sSection, const QString& sKey,
                          const QString& sDefault);
    // Creates every missing key along sSection; false when the hive could not be replaced.
    bool REGSaveSetting(std::uint32_t regHKEY, const QString& sSection, const QString& sKey,
                        const QString& sValue);

    // The hive file of a root key; empty for a handle that names no root.
    QString hivePath(std::uint32_t regHKEY) const;
    // Hive files this object met that could not be read or understood, each once. Their
    // settings read as defaults; the file stays as it is until a save replaces it.
    QStringList unreadableHives() const { return m_unreadableHives; }
    // Why the last save or delete failed, naming the hive file; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    static QString TrimKeyPath(const QString& path);

    // The keys of a hive; none when it is missing or not understood.
    QJsonObject readHive(const QString& file);
    // The keys to change and store back; nothing (lastError set) when the hive must not be
    // replaced. A hive that was not understood is replaced by the change.
    std::optional<QJsonObject> readHiveToChange(const QString& file);
    bool writeHive(const QString& file, const QJsonObject& keys);
    bool deleteValue(std::uint32_t regHKEY, const QString& path, const QString& name);
    bool deleteKey(std::uint32_t regHKEY, const QString& path);
    bool fail(const QString& file, const QString& reason);

    QString m_folder;
    QStringList m_unreadableHives;
    QString m_lastError;
};
