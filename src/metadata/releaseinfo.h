#pragma once

// What the databases know about a disc: one release (an edition of an album) with its tracks.
// Several releases can match one disc; the user picks one.

#include <QList>
#include <QString>

enum class ReleaseSource { None, MusicBrainz, Gnudb, CdText, Cache };

// The word the window and the rip log show: "MusicBrainz", "gnudb", "CD-TEXT", "cache".
QString SourceName(ReleaseSource source);

struct TrackInfo {
    QString title;
    QString artist;
    QString recordingId; // MusicBrainz recording id
};

struct ReleaseInfo {
    QString title;
    QString artist; // the artist credit as printed, joined from its parts
    int year = 0;   // 0 when unknown
    QString country;
    QString label;
    QString catalogNumber;
    QString barcode;
    QString genre;
    QString releaseId;                          // MusicBrainz release id
    ReleaseSource source = ReleaseSource::None; // the database it came from, kept in the cache
    // Found by the disc's track lengths (gnudb's inexact matches, MusicBrainz's search by
    // durations) rather than by its id: it may be another disc, so it is offered, never taken
    // without the user's choice.
    bool guess = false;
    QList<TrackInfo> tracks;

    int trackCount() const { return static_cast<int>(tracks.size()); }
};

// Text from a database as it may go into a tag or a list: control characters are dropped, tabs
// and line breaks become spaces, and the ends are trimmed.
QString CleanText(const QString& text);
