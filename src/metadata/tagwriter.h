#pragma once

// Tags a finished MP3 (ID3v2.4), OGG or FLAC file (Vorbis comments) with what is known about
// its track, under the names music players and taggers read. Tags already in the file stay.
// (WMA files get the WMA tag boxes from their encoder, before the audio, and the rest here.)

#include <QString>

#include <optional>

struct TrackTags {
    QString title;
    QString artist;
    QString album;
    QString albumArtist;
    QString genre;
    int trackNumber = 0;
    int trackTotal = 0;
    int year = 0;
    QString releaseId;   // MusicBrainz release
    QString recordingId; // MusicBrainz recording
    QString discId;      // MusicBrainz disc id

    // The codes of the disc and the release (see disccodetags.h).
    QString isrc{};          // the track's recording code
    QString barcode{};       // the disc's catalog number (MCN), else the release's barcode
    QString catalogNumber{}; // the label's number for the release
};

// The reason when the file could not be tagged; nothing when it was.
std::optional<QString> WriteTags(const QString& path, const TrackTags& tags);

// What a finished WMA file's tag boxes have no box for: the track number, the album artist and
// the MusicBrainz ids (the attribute names Picard and Windows Media Player use).
std::optional<QString> WriteWmaTags(const QString& path, const TrackTags& tags);
