#pragma once

// What the databases know about a disc: one release (an edition of an album) with its tracks.
// Several releases can match one disc; the user picks one.

#include <QList>
#include <QString>
#include <QStringList>

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

// The longest title, artist or other text of a release the program takes in: a database or a
// disc can hold hundreds of thousands of characters there, which no window, tag or log needs.
inline constexpr qsizetype kLongestReleaseText = 1000;

// Cuts every text of release longer than kLongestReleaseText there; returns a line for the rip
// log for each text cut ("track 3 title cut to its first 1000 of 500000 characters").
QStringList CutLongTexts(ReleaseInfo& release);
// The same for every release found, the lines added to notes.
void CutLongTexts(QList<ReleaseInfo>& releases, QStringList& notes);
