#include "rip/files/tracktagging.h"

#include "common/audiolibrary.h"

namespace {
TrackInfo TrackOf(const DiscTags& disc, int lTrack) {
    const QList<TrackInfo>& tracks = disc.release.tracks;
    if (lTrack == int(BASS_CD_TRACK_HIDDEN)) { // no database names it: the track list's title
        TrackInfo hidden;
        hidden.title = disc.hiddenTrackTitle;
        return hidden;
    }
    return lTrack >= 0 && lTrack < tracks.size() ? tracks[lTrack] : TrackInfo{};
}

QString ArtistOf(const DiscTags& disc, int lTrack) {
    const QString artist = TrackOf(disc, lTrack).artist;
    return artist.isEmpty() ? disc.release.artist : artist;
}
} // namespace

TrackTags TagsOfTrack(const DiscTags& disc, const DiscTrack& track, int trackTotal) {
    const ReleaseInfo& release = disc.release;
    const TrackInfo info = TrackOf(disc, track.index);
    return {info.title,
            ArtistOf(disc, track.index),
            release.title,
            release.artist,
            release.genre,
            track.number,
            trackTotal,
            release.year,
            release.releaseId,
            info.recordingId,
            disc.musicBrainzDiscId};
}

TrackNameFields NameFieldsOfTrack(const DiscTags& disc, const DiscTrack& track) {
    return {track.number, TrackOf(disc, track.index).title, ArtistOf(disc, track.index),
            disc.release.title, disc.release.year};
}

std::map<int, QString> NameTrackFiles(const QString& pattern, const DiscTags& disc,
                                      const DiscToc& toc, const std::vector<int>& tracks,
                                      const QString& format) {
    std::map<int, QString> names;
    UniqueFileNames taken;
    for (const int lTrack : tracks) {
        TrackNameFields fields = NameFieldsOfTrack(disc, DiscTrack::At(toc, lTrack));
        fields.format = format;
        names[lTrack] = pattern.trimmed().isEmpty()
                            ? QString()
                            : taken.claim(TrackFileName(pattern.trimmed(), fields));
    }
    return names;
}

QString DiscValueOfWmaBox(const DiscTags& disc, int lTrack, std::size_t box) {
    const ReleaseInfo& release = disc.release;
    switch (box) {
    case 0:
        return TrackOf(disc, lTrack).title;
    case 1:
        return ArtistOf(disc, lTrack);
    case 2:
        return release.title;
    case 6:
        return release.genre;
    case 7:
        return release.year > 0 ? QString::number(release.year) : QString();
    default: // description, rating, copyright: no database knows them
        return {};
    }
}
