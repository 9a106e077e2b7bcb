#include "metadata/playlist.h"

#include "metadata/releaseinfo.h"

#include <QFileInfo>

namespace {

// "artist - title", or what of them is known, else the file's name.
QString Shown(const PlaylistEntry& entry) {
    const QString artist = CleanText(entry.artist);
    const QString title = CleanText(entry.title);
    if (!artist.isEmpty() && !title.isEmpty())
        return artist + QStringLiteral(" - ") + title;
    if (!artist.isEmpty() || !title.isEmpty())
        return artist + title;
    return QFileInfo(entry.path).completeBaseName();
}

// A line that starts with "#" would be read as a comment, not as a file.
QString PathLine(const QString& path) {
    return path.startsWith(QLatin1Char('#')) ? QStringLiteral("./") + path : path;
}

} // namespace

QString M3u8Playlist(const QList<PlaylistEntry>& entries) {
    QString text = QStringLiteral("#EXTM3U\n");
    for (const PlaylistEntry& entry : entries)
        text += QStringLiteral("#EXTINF:%1,%2\n%3\n")
                    .arg(entry.seconds < 0 ? -1 : entry.seconds)
                    .arg(Shown(entry), PathLine(entry.path));
    return text;
}
