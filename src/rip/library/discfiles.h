#pragma once

// The files a rip leaves beside its tracks' files, in the folder of the first track's file: the
// cue sheet when the job ripped every audio track of the disc, and the playlist when it ripped
// more than one track.

#include "common/discsubcode.h"
#include "common/disctoc.h"
#include "metadata/disctags.h"

#include <QStringList>

#include <utility>
#include <vector>

struct DiscFilesJob {
    DiscToc toc;
    DiscSubcode subcode; // empty when the drive could not tell it
    DiscTags tags;
    // Each ripped track (0-based, BASS_CD_TRACK_HIDDEN for the hidden one) and its file, in the
    // order of the disc.
    std::vector<std::pair<int, QString>> files;
    // The one file that holds the disc's audio from its sector imageFirstSector to the audio
    // lead-out, when the tracks were joined into it; empty otherwise.
    QString image;
    qint32 imageFirstSector = 0;
};

struct DiscFilesWritten {
    QStringList notes;    // for the rip log: what was written where, or why not
    QStringList failures; // "<file>: <reason>" for each that could not be written
};

DiscFilesWritten WriteDiscFiles(const DiscFilesJob& job);
// Every audio track of the disc has its file.
bool EveryAudioTrackRipped(const DiscFilesJob& job);
// The album's name for the files about the whole disc; empty when nobody named it.
QString AlbumOf(const DiscFilesJob& job);
