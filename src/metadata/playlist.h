#pragma once

// The playlist of a rip: an extended M3U in UTF-8 (*.m3u8) listing the files in the order of the
// disc, each with its length and "artist - title", by paths relative to the playlist, so the
// folder can be moved whole.

#include <QList>
#include <QString>

struct PlaylistEntry {
    QString path;     // relative to the playlist, "/" between folders
    int seconds = -1; // -1 when unknown
    QString artist;
    QString title;
};

QString M3u8Playlist(const QList<PlaylistEntry>& entries);
