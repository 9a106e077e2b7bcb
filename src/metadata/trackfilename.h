#pragma once

// The name of a ripped track's file, from a pattern the user chooses: {n} {nn} {title}
// {artist} {album} {year} {format}, where a "/" makes sub-folders. What cannot be in a file name,
// on this system or on a memory stick's, and what would hide or disguise a name, is replaced, so
// every name is a valid relative path that shows what it is.

#include <QSet>
#include <QString>

// Today's names: TRACK1, TRACK2, …
inline const QString kDefaultTrackFilePattern = QStringLiteral("TRACK{n}");

struct TrackNameFields {
    int number = 0;
    QString title;
    QString artist;
    QString album;
    int year = 0;        // 0 when unknown
    QString format = {}; // the output format's name ("FLAC", "MP3")
};

// The path relative to the output folder, without the format's extension.
QString TrackFileName(const QString& pattern, const TrackNameFields& fields);

// The pattern of a second format's files: the one typed, or when none is, the first format's in
// a folder named after the format ("{format}/TRACK{n}"). Typed the same as the first while both
// formats' files end alike (Mivo Default and MP3), it gets that folder too: the second format's
// files would otherwise take the first's names.
QString SecondFormatPattern(const QString& firstPattern, const QString& typed, bool sameExtension);

// The name of a file about the whole disc, beside its tracks' files: "<album>.<extension>" made
// safe as track names are, "Disc.<extension>" when the album is unknown.
QString DiscFileName(const QString& album, const QString& extension);

// How many folders below the output folder the pattern makes: 2 for "{artist}/{album}/{title}".
int PatternFolderLevels(const QString& pattern);

// Gives each track of a job its own name: the name itself the first time, then "name (2)",
// "name (3)", …. Case is ignored, as the file systems of memory sticks ignore it.
class UniqueFileNames {
public:
    QString claim(const QString& name);

private:
    QSet<QString> m_taken;
};
