#include "metadata/musicbrainzanswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <functional>
#include <optional>

namespace {

using MediumTest = std::function<bool(const QJsonObject&)>;

QString Text(const QJsonObject& object, const char* key) {
    return CleanText(object.value(QLatin1String(key)).toString());
}

// "Artist A & Artist B": every credited name followed by its join phrase.
QString ArtistCredit(const QJsonObject& owner) {
    QString credit;
    for (const QJsonValue part : owner.value(QLatin1String("artist-credit")).toArray()) {
        const QJsonObject name = part.toObject();
        credit += name.value(QLatin1String("name")).toString() +
                  name.value(QLatin1String("joinphrase")).toString();
    }
    return CleanText(credit);
}

// The distinct labels and catalogue numbers, joined, for a release issued by several labels.
void ReadLabels(const QJsonObject& release, ReleaseInfo& info) {
    QStringList labels;
    QStringList numbers;
    for (const QJsonValue entry : release.value(QLatin1String("label-info")).toArray()) {
        const QString label =
            Text(entry.toObject().value(QLatin1String("label")).toObject(), "name");
        const QString number = Text(entry.toObject(), "catalog-number");
        if (!label.isEmpty() && !labels.contains(label))
            labels << label;
        if (!number.isEmpty() && !numbers.contains(number))
            numbers << number;
    }
    info.label = labels.join(QStringLiteral(", "));
    info.catalogNumber = numbers.join(QStringLiteral(", "));
}

TrackInfo ReadTrack(const QJsonObject& track, const QString& releaseArtist) {
    const QJsonObject recording = track.value(QLatin1String("recording")).toObject();
    TrackInfo info;
    info.title = Text(track, "title");
    if (info.title.isEmpty())
        info.title = Text(recording, "title");
    info.artist = ArtistCredit(track);
    if (info.artist.isEmpty())
        info.artist = ArtistCredit(recording);
    if (info.artist.isEmpty())
        info.artist = releaseArtist;
    info.recordingId = Text(recording, "id");
    return info;
}

std::optional<ReleaseInfo> ReadRelease(const QJsonObject& release, const MediumTest& isDisc) {
    for (const QJsonValue medium : release.value(QLatin1String("media")).toArray()) {
        if (!isDisc(medium.toObject()))
            continue;
        ReleaseInfo info;
        info.source = ReleaseSource::MusicBrainz;
        info.releaseId = Text(release, "id");
        info.title = Text(release, "title");
        info.artist = ArtistCredit(release);
        info.year = Text(release, "date").left(4).toInt();
        info.country = Text(release, "country");
        info.barcode = Text(release, "barcode");
        ReadLabels(release, info);
        for (const QJsonValue track : medium.toObject().value(QLatin1String("tracks")).toArray())
            info.tracks << ReadTrack(track.toObject(), info.artist);
        return info;
    }
    return std::nullopt;
}

QList<ReleaseInfo> ReadReleases(const QByteArray& json, const MediumTest& isDisc) {
    QList<ReleaseInfo> releases;
    const QJsonObject answer = QJsonDocument::fromJson(json).object();
    for (const QJsonValue release : answer.value(QLatin1String("releases")).toArray()) {
        if (auto info = ReadRelease(release.toObject(), isDisc))
            releases << *info;
    }
    return releases;
}

} // namespace

QList<ReleaseInfo> ParseMusicBrainzDiscAnswer(const QByteArray& json, const QString& discId) {
    return ReadReleases(json, [&](const QJsonObject& medium) {
        for (const QJsonValue disc : medium.value(QLatin1String("discs")).toArray()) {
            if (disc.toObject().value(QLatin1String("id")).toString() == discId)
                return true;
        }
        return false;
    });
}

QList<ReleaseInfo> ParseMusicBrainzTocAnswer(const QByteArray& json, int trackCount) {
    QList<ReleaseInfo> releases = ReadReleases(json, [&](const QJsonObject& medium) {
        const int count = medium.value(QLatin1String("track-count")).toInt(-1);
        const qsizetype listed = medium.value(QLatin1String("tracks")).toArray().size();
        return count == trackCount && listed == trackCount;
    });
    for (ReleaseInfo& release : releases)
        release.guess = true;
    return releases;
}
