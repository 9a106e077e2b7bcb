#pragma once

// The cue sheet of a rip: the disc's tracks with their index points, ISRCs, flags and catalog
// number, the titles and the disc's ids, pointing into the files that hold the audio, so that
// a player plays the files as the disc and the disc can be rebuilt from them. UTF-8 text.

#include "common/discsubcode.h"
#include "common/disctoc.h"

#include <QList>
#include <QString>

struct CueSheetDisc {
    DiscToc toc;         // where each track starts (INDEX 01), data tracks included
    DiscSubcode subcode; // where pregaps start (INDEX 00), ISRCs, flags, the catalog number
    QString performer;
    QString title;
    int year = 0;          // 0 when unknown
    QString accurateRipId; // "003-0008100c-001ac008-190dcc03"
    QString freedbId;      // "190dcc03"
    QString musicBrainzDiscId;
};

// A track of the sheet: its position in toc.tracks, or -1 for the hidden track (the audio
// before the first track's INDEX 01, see BASS_CD_TRACK_HIDDEN); the file that holds it, relative
// to the sheet, with "/" between folders (a name as the rip names files: no '"', no line break);
// its titles.
struct CueSheetTrack {
    int track = 0;
    QString file;
    QString title;
    QString performer;
};

// A sheet for tracks ripped to a file each, every file from its track's INDEX 01 to the next
// track's, so that a track's pregap (INDEX 00) lies at the end of the file before ("gaps
// appended to the previous track"). The hidden track, when among the tracks, holds the first
// track's INDEX 00 in a file of its own. A pregap no file holds (the hidden track not ripped,
// the first audio track after a data track) is declared as PREGAP silence, so the tracks keep
// their places on the disc.
QString TrackFilesCueSheet(const CueSheetDisc& disc, const QList<CueSheetTrack>& tracks);

// A sheet for the disc's audio in one file that begins at the disc's sector firstSector: FILE
// once, every INDEX at its place. The tracks give the titles (their file is not used) and which
// tracks the sheet lists.
QString DiscImageCueSheet(const CueSheetDisc& disc, const QString& file, qint32 firstSector,
                          const QList<CueSheetTrack>& tracks);

// The type a FILE line gives a file: MP3 for MP3 files, AIFF for AIFF, and WAVE for the other
// audio files (WAV, FLAC, OGG, WMA), as players read it: decoded audio.
QString CueFileType(const QString& fileName);
