#include "settings/cregister.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>

#include <utility>

// A hive file is one JSON object: each member is a key path ("" for the root itself) whose
// object maps value names to texts. JSON keeps every text exactly, whatever characters it
// holds, and a key with no values still exists, as a registry key does.

namespace {

struct RootHive {
    std::uint32_t handle;
    const char* fileName;
};

constexpr RootHive kRootHives[] = {{HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT.json"},
                                   {HKEY_CURRENT_USER, "HKEY_CURRENT_USER.json"},
                                   {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE.json"},
                                   {HKEY_USERS, "HKEY_USERS.json"}};

const QChar kSeparator = u'\\';

enum class HiveState { Absent, Understood, NotUnderstood, Unreadable };

struct LoadedHive {
    HiveState state = HiveState::Absent;
    QJsonObject keys;
    QString problem;
};

// "*" names the key's unnamed value, which has the empty name.
QString ValueName(const QString& sKey) {
    return sKey == QStringLiteral("*") ? QString() : sKey;
}

// The root itself, or names that are none of them empty.
bool IsKeyPath(const QString& path) {
    return path.isEmpty() || !path.split(kSeparator).contains(QString());
}

bool IsHive(const QJsonObject& keys) {
    for (const QJsonValue& values : keys) {
        if (!values.isObject())
            return false;
        for (const QJsonValue& text : values.toObject())
            if (!text.isString())
                return false;
    }
    return true;
}

LoadedHive LoadHive(const QString& file) {
    QFile in(file);
    if (!in.exists())
        return {};
    if (!in.open(QIODevice::ReadOnly))
        return {HiveState::Unreadable, {}, in.errorString()};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        return {HiveState::NotUnderstood,
                {},
                QStringLiteral("%1 at byte %2").arg(error.errorString()).arg(error.offset)};
    if (!document.isObject() || !IsHive(document.object()))
        return {
            HiveState::NotUnderstood, {}, QStringLiteral("not an object of keys holding texts")};
    return {HiveState::Understood, document.object(), {}};
}

bool KeyExists(const QJsonObject& keys, const QString& path) {
    return path.isEmpty() || keys.contains(path);
}

bool HasSubkeys(const QJsonObject& keys, const QString& path) {
    const QString prefix = path + kSeparator;
    for (auto it = keys.begin(); it != keys.end(); ++it)
        if (it.key().startsWith(prefix))
            return true;
    return false;
}

// Makes the key and every missing key along its path.
void CreateKey(QJsonObject& keys, const QString& path) {
    const QStringList names = path.split(kSeparator);
    for (qsizetype count = 1; count <= names.size(); ++count) {
        const QString ancestor = names.first(count).join(kSeparator);
        if (!keys.contains(ancestor))
            keys.insert(ancestor, QJsonObject());
    }
}

void SetText(QJsonObject& keys, const QString& path, const QString& name, const QString& text) {
    QJsonObject values = keys.value(path).toObject();
    values.insert(name, text);
    keys.insert(path, values);
}

} // namespace

QString DefaultRegistryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Mivo");
}

CRegister::CRegister(QString folder) : m_folder(std::move(folder)) {}

bool CRegister::REGDeleteSetting(std::uint32_t regHKEY, const QString& sSection,
                                 const QString& sKey) {
    if (sKey.isEmpty())
        return deleteKey(regHKEY, sSection);
    return deleteValue(regHKEY, TrimKeyPath(sSection), ValueName(sKey));
}

QString CRegister::REGGetSetting(std::uint32_t regHKEY, const QString& sSection,
                                 const QString& sKey, const QString& sDefault) {
    const QString file = hivePath(regHKEY);
    const QString path = TrimKeyPath(sSection);
    if (file.isEmpty() || !IsKeyPath(path))
        return sDefault;
    const QString text = readHive(file).value(path).toObject().value(ValueName(sKey)).toString();
    return text.isEmpty() ? sDefault : text;
}

bool CRegister::REGSaveSetting(std::uint32_t regHKEY, const QString& sSection, const QString& sKey,
                               const QString& sValue) {
    const QString file = hivePath(regHKEY);
    const QString path = TrimKeyPath(sSection);
    if (!IsKeyPath(path))
        return fail(file, QStringLiteral("\"%1\" is not a key path").arg(sSection));
    std::optional<QJsonObject> keys = readHiveToChange(file);
    if (!keys)
        return false;
    CreateKey(*keys, path);
    SetText(*keys, path, ValueName(sKey), sValue);
    return writeHive(file, *keys);
}

QString CRegister::hivePath(std::uint32_t regHKEY) const {
    for (const RootHive& root : kRootHives)
        if (root.handle == regHKEY)
            return QDir(m_folder).filePath(QString::fromLatin1(root.fileName));
    return {};
}

QString CRegister::TrimKeyPath(const QString& path) {
    QString trimmed = path;
    if (trimmed.startsWith(kSeparator))
        trimmed.remove(0, 1);
    if (trimmed.endsWith(kSeparator))
        trimmed.chop(1);
    return trimmed;
}

QJsonObject CRegister::readHive(const QString& file) {
    LoadedHive hive = LoadHive(file);
    const bool bad = hive.state == HiveState::NotUnderstood || hive.state == HiveState::Unreadable;
    if (bad && !m_unreadableHives.contains(file))
        m_unreadableHives.append(file);
    return hive.keys;
}

std::optional<QJsonObject> CRegister::readHiveToChange(const QString& file) {
    if (file.isEmpty()) {
        fail(file, QStringLiteral("no hive for this root key"));
        return std::nullopt;
    }
    LoadedHive hive = LoadHive(file);
    // A hive that cannot even be read may hold settings that replacing it would lose; one that
    // was read but not understood is replaced, as the user was told.
    if (hive.state == HiveState::Unreadable) {
        fail(file, hive.problem);
        return std::nullopt;
    }
    return hive.keys;
}

bool CRegister::writeHive(const QString& file, const QJsonObject& keys) {
    if (!QDir().mkpath(m_folder))
        return fail(file, QStringLiteral("the folder %1 cannot be made").arg(m_folder));
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return fail(file, out.errorString());
    out.write(QJsonDocument(keys).toJson(QJsonDocument::Indented));
    if (!out.commit())
        return fail(file, out.errorString());
    m_lastError.clear();
    return true;
}

bool CRegister::deleteValue(std::uint32_t regHKEY, const QString& path, const QString& name) {
    const QString file = hivePath(regHKEY);
    std::optional<QJsonObject> keys = readHiveToChange(file);
    if (!keys)
        return false;
    QJsonObject values = keys->value(path).toObject();
    if (!KeyExists(*keys, path) || !values.contains(name))
        return fail(file, QStringLiteral("no value \"%1\" in key \"%2\"").arg(name, path));
    values.remove(name);
    keys->insert(path, values);
    return writeHive(file, *keys);
}

// The path is taken as given: only a key's own name, without a leading or trailing "\", names
// a key to delete.
bool CRegister::deleteKey(std::uint32_t regHKEY, const QString& path) {
    const QString file = hivePath(regHKEY);
    std::optional<QJsonObject> keys = readHiveToChange(file);
    if (!keys)
        return false;
    if (path.isEmpty() || !IsKeyPath(path) || !keys->contains(path))
        return fail(file, QStringLiteral("no key \"%1\"").arg(path));
    if (HasSubkeys(*keys, path))
        return fail(file, QStringLiteral("the key \"%1\" has subkeys").arg(path));
    keys->remove(path);
    return writeHive(file, *keys);
}

bool CRegister::fail(const QString& file, const QString& reason) {
    m_lastError = file.isEmpty() ? reason : QStringLiteral("%1: %2").arg(file, reason);
    return false;
}
