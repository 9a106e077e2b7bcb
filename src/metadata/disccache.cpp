#include "metadata/disccache.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace {

constexpr qint64 kLargestFile = 4 * 1024 * 1024;

QString CacheFile(const QString& discId) {
    return DiscCachePath(discId, QStringLiteral(".json"));
}

QJsonObject ReadEntry(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || file.size() > kLargestFile || !file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool WriteEntry(const QString& path, const QJsonObject& entry) {
    if (path.isEmpty() || !QDir().mkpath(DiscCacheFolder()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact));
    return file.commit();
}

ReleaseSource SourceNamed(const QString& name) {
    for (const auto source :
         {ReleaseSource::MusicBrainz, ReleaseSource::Gnudb, ReleaseSource::CdText}) {
        if (SourceName(source) == name)
            return source;
    }
    return ReleaseSource::Cache;
}

QJsonObject ToJson(const ReleaseInfo& release) {
    QJsonArray tracks;
    for (const TrackInfo& track : release.tracks) {
        tracks.append(QJsonObject{
            {"title", track.title}, {"artist", track.artist}, {"recordingId", track.recordingId}});
    }
    return QJsonObject{{"title", release.title},         {"artist", release.artist},
                       {"year", release.year},           {"country", release.country},
                       {"label", release.label},         {"catalogNumber", release.catalogNumber},
                       {"barcode", release.barcode},     {"genre", release.genre},
                       {"releaseId", release.releaseId}, {"source", SourceName(release.source)},
                       {"guess", release.guess},         {"tracks", tracks}};
}

ReleaseInfo FromJson(const QJsonObject& object) {
    const auto text = [&](const char* key) { return object.value(QLatin1String(key)).toString(); };
    ReleaseInfo release;
    release.title = text("title");
    release.artist = text("artist");
    release.year = object.value(QLatin1String("year")).toInt();
    release.country = text("country");
    release.label = text("label");
    release.catalogNumber = text("catalogNumber");
    release.barcode = text("barcode");
    release.genre = text("genre");
    release.releaseId = text("releaseId");
    release.source = SourceNamed(text("source"));
    release.guess = object.value(QLatin1String("guess")).toBool();
    for (const QJsonValue value : object.value(QLatin1String("tracks")).toArray()) {
        const QJsonObject track = value.toObject();
        release.tracks << TrackInfo{track.value(QLatin1String("title")).toString(),
                                    track.value(QLatin1String("artist")).toString(),
                                    track.value(QLatin1String("recordingId")).toString()};
    }
    return release;
}

} // namespace

QString DiscCacheFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base)) // the variable is ignored unless it is an absolute path
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/mivo");
}

std::optional<QList<ReleaseInfo>> CachedReleases(const QString& discId) {
    const QJsonArray stored = DiscValue(discId, QStringLiteral("releases")).toArray();
    if (stored.isEmpty())
        return std::nullopt;
    QList<ReleaseInfo> releases;
    for (const QJsonValue release : stored)
        releases << FromJson(release.toObject());
    return releases;
}

bool StoreReleases(const QString& discId, const QList<ReleaseInfo>& releases) {
    QJsonArray stored;
    for (const ReleaseInfo& release : releases)
        stored.append(ToJson(release));
    // A fresh answer: a choice among the releases before means nothing now; a cover stays.
    const QString path = CacheFile(discId);
    QJsonObject entry = ReadEntry(path);
    entry.remove(QStringLiteral("choice"));
    entry.insert(QStringLiteral("releases"), stored);
    return WriteEntry(path, entry);
}

bool RememberChoice(const QString& discId, int releaseIndex) {
    return StoreDiscValue(discId, QStringLiteral("choice"), releaseIndex);
}

std::optional<int> RememberedChoice(const QString& discId) {
    const QJsonValue choice = DiscValue(discId, QStringLiteral("choice"));
    if (!choice.isDouble())
        return std::nullopt;
    return choice.toInt();
}

bool StoreDiscValue(const QString& discId, const QString& name, const QJsonValue& value) {
    const QString path = CacheFile(discId);
    QJsonObject entry = ReadEntry(path);
    entry.insert(name, value);
    return WriteEntry(path, entry);
}

QJsonValue DiscValue(const QString& discId, const QString& name) {
    return ReadEntry(CacheFile(discId)).value(name);
}

// Disc ids are base64-like; anything else never becomes a file name.
QString DiscCachePath(const QString& discId, const QString& suffix) {
    static const QRegularExpression safe(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    if (!safe.match(discId).hasMatch())
        return QString();
    return DiscCacheFolder() + '/' + discId + suffix;
}
