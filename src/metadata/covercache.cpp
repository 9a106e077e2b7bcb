#include "metadata/covercache.h"

#include "metadata/disccache.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString kCoverKey = QStringLiteral("cover");

QString CoverPath(const QString& discId, const QString& extension) {
    return DiscCachePath(discId, QStringLiteral(".cover.") + extension);
}

} // namespace

bool StoreCover(const QString& discId, const CoverImage& cover, CoverOrigin origin,
                const QString& releaseId) {
    const QString path = CoverPath(discId, cover.extension());
    if (path.isEmpty() || !QDir().mkpath(DiscCacheFolder()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(cover.data) != cover.data.size() ||
        !file.commit())
        return false;
    const QString other = cover.extension() == QLatin1String("png") ? "jpg" : "png";
    QFile::remove(CoverPath(discId, other));
    const QJsonObject entry{{"file", QFileInfo(path).fileName()},
                            {"origin", origin == CoverOrigin::User ? QStringLiteral("user")
                                                                   : QStringLiteral("archive")},
                            {"releaseId", releaseId}};
    return StoreDiscValue(discId, kCoverKey, entry);
}

std::optional<StoredCover> StoredCoverOf(const QString& discId) {
    const QJsonObject entry = DiscValue(discId, kCoverKey).toObject();
    const QString name = entry.value(QLatin1String("file")).toString();
    // Only one of the disc's own two names, never a path the entry makes up.
    QString path;
    for (const QString& extension : {QStringLiteral("jpg"), QStringLiteral("png")}) {
        const QString candidate = CoverPath(discId, extension);
        if (!candidate.isEmpty() && QFileInfo(candidate).fileName() == name)
            path = candidate;
    }
    if (path.isEmpty() || !QFile::exists(path))
        return std::nullopt;
    const bool user = entry.value(QLatin1String("origin")).toString() == QLatin1String("user");
    return StoredCover{path, user ? CoverOrigin::User : CoverOrigin::Archive,
                       entry.value(QLatin1String("releaseId")).toString()};
}
