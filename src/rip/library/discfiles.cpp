#include "rip/library/discfiles.h"

#include "common/audiolibrary.h"
#include "metadata/cuesheet.h"
#include "metadata/playlist.h"
#include "metadata/trackfilename.h"
#include "rip/files/tracktagging.h"
#include "verify/discids.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr int kHidden = int(BASS_CD_TRACK_HIDDEN);

QString TitleOf(const DiscTags& tags, int lTrack) {
    return TagsOfTrack(tags, DiscTrack{lTrack, 0}, 0).title;
}

QString ArtistOf(const DiscTags& tags, int lTrack) {
    return TagsOfTrack(tags, DiscTrack{lTrack, 0}, 0).artist;
}

int SecondsOf(const DiscToc& toc, int lTrack) {
    if (lTrack == kHidden)
        return toc.tracks.isEmpty() ? -1 : toc.tracks.first().lsn / kSectorsPerSecond;
    if (lTrack < 0 || lTrack >= toc.tracks.size())
        return -1;
    return (TrackEnd(toc, lTrack) - toc.tracks[lTrack].lsn) / kSectorsPerSecond;
}

} // namespace

bool EveryAudioTrackRipped(const DiscFilesJob& job) {
    for (qsizetype i = 0; i < job.toc.tracks.size(); ++i) {
        const bool ripped = std::any_of(job.files.begin(), job.files.end(),
                                        [&](const auto& file) { return file.first == i; });
        if (job.toc.tracks[i].audio && !ripped)
            return false;
    }
    return !job.toc.tracks.isEmpty();
}

// The window's stand-in for an album nobody named names no file.
QString AlbumOf(const DiscFilesJob& job) {
    const QString title = job.tags.release.title;
    return title == QLatin1String("Unknown Album") ? QString() : title;
}

namespace {

QString Relative(const QDir& folder, const QString& file) {
    return QDir::fromNativeSeparators(folder.relativeFilePath(file));
}

QString CueSheetOf(const DiscFilesJob& job, const QDir& folder) {
    const ReleaseInfo& release = job.tags.release;
    CueSheetDisc disc{job.toc,
                      job.subcode,
                      release.artist,
                      release.title,
                      release.year,
                      AccurateRipDisplayId(AccurateRipDiscIds(job.toc)),
                      FreedbIdText(job.toc),
                      MusicBrainzDiscId(job.toc)};
    QList<CueSheetTrack> tracks;
    for (const auto& [lTrack, file] : job.files)
        tracks.append({lTrack == kHidden ? -1 : lTrack, Relative(folder, file),
                       TitleOf(job.tags, lTrack), ArtistOf(job.tags, lTrack)});
    if (!job.image.isEmpty())
        return DiscImageCueSheet(disc, Relative(folder, job.image), job.imageFirstSector, tracks);
    return TrackFilesCueSheet(disc, tracks);
}

QString PlaylistOf(const DiscFilesJob& job, const QDir& folder) {
    QList<PlaylistEntry> entries;
    if (!job.image.isEmpty())
        return M3u8Playlist({{Relative(folder, job.image),
                              (job.toc.audioLeadOut - job.imageFirstSector) / kSectorsPerSecond,
                              job.tags.release.artist, job.tags.release.title}});
    for (const auto& [lTrack, file] : job.files)
        entries.append({Relative(folder, file), SecondsOf(job.toc, lTrack),
                        ArtistOf(job.tags, lTrack), TitleOf(job.tags, lTrack)});
    return M3u8Playlist(entries);
}

// The reason when it could not be written; nothing when it was.
std::optional<QString> Save(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0 && file.commit())
        return std::nullopt;
    return file.errorString();
}

void Write(const QString& path, const QString& text, const QString& what,
           DiscFilesWritten& written) {
    if (const std::optional<QString> failure = Save(path, text)) {
        written.notes << QStringLiteral("%1: not written (%2)").arg(what, *failure);
        written.failures << QStringLiteral("\"%1\": %2").arg(path, *failure);
        return;
    }
    written.notes << QStringLiteral("%1: %2").arg(what, QFileInfo(path).fileName());
}

} // namespace

DiscFilesWritten WriteDiscFiles(const DiscFilesJob& job) {
    DiscFilesWritten written;
    if (job.files.empty())
        return written;
    const QDir folder = QFileInfo(job.files.front().second).absoluteDir();
    const QString album = AlbumOf(job);
    if (EveryAudioTrackRipped(job))
        Write(folder.filePath(DiscFileName(album, QStringLiteral("cue"))), CueSheetOf(job, folder),
              QStringLiteral("Cue sheet"), written);
    else
        written.notes << QStringLiteral("Cue sheet: none, not every audio track was ripped");
    if (job.files.size() > 1)
        Write(folder.filePath(DiscFileName(album, QStringLiteral("m3u8"))), PlaylistOf(job, folder),
              QStringLiteral("Playlist"), written);
    return written;
}
